#pragma once
// What the command-line tool needs of the platform it was built for; CMake
// picks the one source file that defines it.

#include <memory>

class HidBackend;

// The platform's HID back end.
std::shared_ptr<HidBackend> CreatePlatformHidBackend();

// Whether a back end's notification descriptor (HidBackend::NotificationFd,
// >= 0) has a device-node change waiting; never blocks.
bool NotificationPending(int fd);
