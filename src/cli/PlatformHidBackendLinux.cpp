#include "PlatformHidBackend.h"

#include "LinuxHidrawBackend.h"

std::shared_ptr<HidBackend> CreatePlatformHidBackend() {
    return std::make_shared<LinuxHidrawBackend>();
}
