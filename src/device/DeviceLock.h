#pragma once
// The hold of one controller for an exchange that must not interleave with
// another writer's (a program transfer, a backup, a restore, a parameter
// written and read back), across processes: the window, every kxrd4-cli and
// any other user of the same device. Released when destroyed.
//
// On Linux it is flock on the device's hidraw node (DeviceLockLinux.cpp; the
// holder is found in /proc/locks); on Windows a named mutex per device path,
// with the holder's name beside it in a named memory block
// (DeviceLockWindows.cpp). CMake picks one. A Windows hold must be released
// on the thread that took it.

#include <memory>
#include <string>

class DeviceLock {
public:
    virtual ~DeviceLock() = default;

    // One try, without waiting, at the system's hold of the device at path.
    // nullptr when another holds it; holder then names it ("kxrd4-cli
    // (process 1234)"), or is empty when the system does not tell. A node
    // that cannot be opened gives a hold that holds nothing (the exchange
    // then fails on its own).
    static std::unique_ptr<DeviceLock> TrySystem(const std::string& path, std::string& holder);

    // A hold that holds nothing: for back ends without holds.
    static std::unique_ptr<DeviceLock> Nothing();

    // "kxrd4-cli (process 1234)": how a holder is named.
    static std::string HolderName(const std::string& program, long processId);
};
