#include "LinuxHidrawBackend.h"
#include "PlatformHidBackend.h"

std::shared_ptr<HidBackend> CreatePlatformHidBackend() {
    return std::make_shared<LinuxHidrawBackend>();
}
