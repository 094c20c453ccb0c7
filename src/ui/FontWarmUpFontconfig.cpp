// Linux: Qt reads the fonts through fontconfig, whose first call parses the
// configuration files and the font cache. Doing it first here leaves Qt's
// own call with nothing to load; fontconfig may be called from any thread.
#include "FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {
std::thread loader;
} // namespace

void FontWarmUp::Start() {
    if (!loader.joinable()) {
        loader = std::thread([] { FcInit(); });
    }
}

void FontWarmUp::Wait() {
    if (loader.joinable()) {
        loader.join();
    }
}
