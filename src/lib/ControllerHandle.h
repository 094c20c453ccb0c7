#pragma once
// What a kxrd4_controller is: one ControllerSession with a back end of its
// own (the platform's, or an emulated controller's), the mutex that
// serializes the calls made on it from several threads, its last error
// message and the identity of the controller it opened. Each call runs in
// Call, which holds the mutex, maps the session's failures to status codes
// and keeps the message for the handle and the calling thread.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "ControllerSession.h"
#include "DeviceIdentity.h"
#include "kxrd4/kxrd4.h"

class HidBackend;

class ControllerHandle {
public:
    static constexpr std::chrono::milliseconds DefaultTimeout{1000};

    // Scans backend's devices and picks the one by and value name; on
    // failure a status and the message in error.
    static kxrd4_status Open(std::shared_ptr<HidBackend> backend, kxrd4_selector by,
                             const std::string& value, std::chrono::milliseconds timeout,
                             std::unique_ptr<ControllerHandle>& handle, std::string& error);

    // The work of one call, with the session; returns the status and sets
    // error on failure.
    using Work = std::function<kxrd4_status(ControllerSession&, std::string& error)>;
    kxrd4_status Call(const Work& work);

    // The status for the session's last failure.
    kxrd4_status FailureStatus() const;

    const DeviceIdentity& Identity() const { return identity_; }
    void Interrupt() { interrupted_ = true; }
    bool Interrupted() const { return interrupted_; }
    // The last message, copied as snprintf does.
    std::size_t CopyError(char* buffer, std::size_t size);

private:
    ControllerHandle(std::shared_ptr<HidBackend> backend, std::chrono::milliseconds timeout);

    std::mutex mutex_;
    std::atomic<bool> interrupted_{false};
    std::unique_ptr<ControllerSession> session_;
    DeviceIdentity identity_;
    std::string lastError_; // guarded by errorMutex_
    std::mutex errorMutex_;
};

struct kxrd4_controller {
    std::unique_ptr<ControllerHandle> handle;
};
