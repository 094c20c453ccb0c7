#include "ControllerHandle.h"

#include <algorithm>
#include <cstring>

#include "ApiError.h"

ControllerHandle::ControllerHandle(std::shared_ptr<HidBackend> backend,
                                   std::chrono::milliseconds timeout)
    : session_(std::make_unique<ControllerSession>(std::move(backend), timeout, &interrupted_)) {}

kxrd4_status ControllerHandle::Open(std::shared_ptr<HidBackend> backend, kxrd4_selector by,
                                    const std::string& value, std::chrono::milliseconds timeout,
                                    std::unique_ptr<ControllerHandle>& handle, std::string& error) {
    if (!backend || !backend->Available()) {
        error = "no HID support on this system";
        return KXRD4_ERROR;
    }
    std::unique_ptr<ControllerHandle> h(new ControllerHandle(std::move(backend), timeout));
    ControllerSession& s = *h->session_;
    const DeviceChoice choice =
        s.Choose(by == KXRD4_ANY ? std::nullopt : std::optional<std::string>(value));
    switch (choice.outcome) {
    case DeviceChoice::Outcome::Chosen:
        break;
    case DeviceChoice::Outcome::NoController:
        s.Ready(error);
        return KXRD4_NO_CONTROLLER;
    case DeviceChoice::Outcome::NoMatch:
        error = choice.message;
        return KXRD4_NO_CONTROLLER;
    case DeviceChoice::Outcome::Several:
        error = choice.message;
        return KXRD4_SEVERAL_CONTROLLERS;
    }
    for (const auto& e : s.Devices()) {
        if (e.selected) {
            h->identity_ = DeviceIdentity{e.serial, e.port, e.path};
        }
    }
    // The selector names one by serial number, else port, else path: the
    // kind asked for must be the one that matched.
    const DeviceIdentity& id = h->identity_;
    const bool matches = by == KXRD4_ANY || (by == KXRD4_SERIAL && id.serial == value) ||
                         (by == KXRD4_PORT && id.port == value) ||
                         (by == KXRD4_PATH && id.path == value);
    if (!matches) {
        error = std::string("no KX-RD4 has the ") +
                (by == KXRD4_SERIAL ? "serial number"
                 : by == KXRD4_PORT ? "port"
                                    : "path") +
                " \"" + value + "\"";
        return KXRD4_NO_CONTROLLER;
    }
    if (!s.Ready(error)) {
        for (const auto& e : s.Devices()) {
            if (e.selected && !e.writable) {
                return KXRD4_NO_ACCESS;
            }
        }
        return KXRD4_ERROR;
    }
    handle = std::move(h);
    return KXRD4_OK;
}

kxrd4_status ControllerHandle::FailureStatus() const {
    using Failure = ControllerSession::Failure;
    switch (session_->LastFailure()) {
    case Failure::TimedOut:
        return KXRD4_TIMEOUT;
    case Failure::NotReady:
    case Failure::Disconnected:
        return KXRD4_DISCONNECTED;
    case Failure::Interrupted:
        return KXRD4_INTERRUPTED;
    case Failure::Busy:
        return KXRD4_BUSY;
    case Failure::BadReply:
    case Failure::None:
        break;
    }
    return KXRD4_ERROR;
}

kxrd4_status ControllerHandle::Call(const Work& work) {
    return ApiError::Guard([&] {
        std::lock_guard lock(mutex_);
        interrupted_ = false;
        std::string error;
        const kxrd4_status status = work(*session_, error);
        if (status != KXRD4_OK) {
            {
                std::lock_guard errorLock(errorMutex_);
                lastError_ = error;
            }
            return ApiError::Fail(status, std::move(error));
        }
        return status;
    });
}

std::size_t ControllerHandle::CopyError(char* buffer, std::size_t size) {
    std::lock_guard lock(errorMutex_);
    if (buffer != nullptr && size > 0) {
        const std::size_t n = std::min(size - 1, lastError_.size());
        std::memcpy(buffer, lastError_.data(), n);
        buffer[n] = '\0';
    }
    return lastError_.size();
}
