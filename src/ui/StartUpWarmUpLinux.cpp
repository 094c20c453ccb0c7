// Linux: Qt reads the fonts through fontconfig, whose first call parses the
// configuration files and the font cache. Doing it first here leaves Qt's
// own call with nothing to load; fontconfig may be called from any thread.
// The image-format plugins follow, loaded with the flags Qt loads plugins
// with, once the display's own plugin is in (the font configuration takes
// longer than that), so that neither waits for the other's loading. Last,
// once the application object exists, Qt's font database is filled (its
// functions may be called from any thread) while the application loads its
// icon and translations.
#include <dirent.h>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QLibraryInfo>
#include <future>
#include <latch>
#include <memory>
#include <string>
#include <thread>

#include "StartUpWarmUp.h"

namespace {

std::thread loader;
std::unique_ptr<std::latch> fontsLoaded;
// True once the application object exists; false when it never will.
std::promise<bool> application;
bool applicationTold = false;

void LoadPlugins(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0)
            dlopen((folder + '/' + name).c_str(), RTLD_LAZY | RTLD_NODELETE);
    }
    closedir(dir);
}

void TellApplication(bool exists) {
    if (!applicationTold) {
        applicationTold = true;
        application.set_value(exists);
    }
}

} // namespace

void StartUpWarmUp::Start() {
    if (loader.joinable())
        return;
    // Asked here, before the application object exists: Qt's built-in folder.
    const std::string imageFormats =
        QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/imageformats";
    fontsLoaded = std::make_unique<std::latch>(1);
    application = std::promise<bool>();
    applicationTold = false;
    loader = std::thread([imageFormats, exists = application.get_future()]() mutable {
        FcInit();
        fontsLoaded->count_down();
        LoadPlugins(imageFormats);
        if (exists.get())
            QFontDatabase::families();
    });
}

void StartUpWarmUp::ApplicationCreated() {
    if (loader.joinable())
        TellApplication(true);
}

void StartUpWarmUp::WaitForFonts() {
    if (fontsLoaded)
        fontsLoaded->wait();
}

void StartUpWarmUp::Finish() {
    if (loader.joinable()) {
        TellApplication(false);
        loader.join();
    }
}
