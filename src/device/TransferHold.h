#pragma once
// The window's hold of the controller (DeviceLock) for a program transfer
// that runs through its reply chain: taken without waiting when the transfer
// starts (the window never blocks on another program), let go as soon as the
// transfer is no longer under way (stored, read, stalled, or the device
// gone).

#include <memory>
#include <string>

#include "HidBackend.h"

class TransferHold {
public:
    // Takes the hold of the device at path for the transfer about to start.
    // False when another holds it; holder then names it (may be empty).
    bool Take(HidBackend& backend, const std::string& path, std::string& holder);
    // Told now and then whether the transfer is still under way; lets go
    // once it is not.
    void Check(bool transferActive);
    void Release() { lock_.reset(); }
    bool Held() const { return lock_ != nullptr; }

private:
    std::unique_ptr<DeviceLock> lock_;
};
