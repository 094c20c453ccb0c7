#include "TransferHold.h"

bool TransferHold::Take(HidBackend& backend, const std::string& path, std::string& holder) {
    lock_.reset(); // a transfer replaces any other
    lock_ = backend.TryLock(path, holder);
    return lock_ != nullptr;
}

void TransferHold::Check(bool transferActive) {
    if (!transferActive) {
        lock_.reset();
    }
}
