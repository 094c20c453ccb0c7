#include "PlatformHidBackend.h"
#include "WindowsHidBackend.h"

std::shared_ptr<HidBackend> CreatePlatformHidBackend() {
    return std::make_shared<WindowsHidBackend>();
}
