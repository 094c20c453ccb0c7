#pragma once
// The HID back end of the system the program runs on: hidraw on Linux, the
// Windows HID services on Windows. Each system's factory lives in its own file.

#include <memory>

#include "HidBackend.h"

std::shared_ptr<HidBackend> CreatePlatformHidBackend();
