#pragma once
// The HID back end of the platform the tool was built for; CMake picks the
// one source file that defines it.

#include <memory>

class HidBackend;

std::shared_ptr<HidBackend> CreatePlatformHidBackend();
