#include "TJvHidDeviceReadThread.h"

#include <algorithm>
#include <cerrno>

#include "TJvHidDevice.h"

TJvHidDeviceReadThread::TJvHidDeviceReadThread(TJvHidDevice& device,
                                               std::size_t inputReportByteLength)
    : device_(device), ReportBuffer(inputReportByteLength), waker_(device.backend_->CreateWaker()) {
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread() {
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
}

void TJvHidDeviceReadThread::Start() {
    if (!thread_.joinable()) {
        // The read handle is opened before the thread runs: the system keeps
        // input reports only for handles already open, so the reply to a
        // request written right after the start is not lost. If it cannot be
        // opened now, the thread tries again.
        OpenReadHandle(epoch_);
        thread_ = std::thread([this] { Execute(); });
    }
}

void TJvHidDeviceReadThread::Terminate() {
    terminated_ = true;
    waker_->Raise();
}

void TJvHidDeviceReadThread::Wake() {
    waker_->Raise();
}

void TJvHidDeviceReadThread::WaitFor() {
    if (!thread_.joinable()) {
        return;
    }
    device_.dispatcher_->ServeUntil([this] { return finished_.load(); });
    thread_.join();
}

bool TJvHidDeviceReadThread::OpenReadHandle(std::uint32_t& epoch) {
    // The epoch is taken before looking at the device, so a close request
    // that comes after it is seen when the read returns.
    epoch = device_.readHandleEpoch_;
    if (!device_.Accessible()) {
        lastError_ = ENODEV;
        return false;
    }
    if (ReportBuffer.empty()) {
        lastError_ = EINVAL; // no input reports to read
        return false;
    }
    errno = 0;
    readHandle_ = device_.backend_->Open(device_.interfacePath_, HidOpenMode::Read);
    if (readHandle_ == InvalidHidHandle) {
        lastError_ = errno != 0 ? static_cast<std::uint32_t>(errno) : ENODEV;
        return false;
    }
    return true;
}

void TJvHidDeviceReadThread::CloseReadHandle() {
    if (readHandle_ != InvalidHidHandle) {
        device_.backend_->Close(readHandle_);
        readHandle_ = InvalidHidHandle;
    }
}

void TJvHidDeviceReadThread::Execute() {
    HidBackend& backend = *device_.backend_;
    HidUiDispatcher& dispatcher = *device_.dispatcher_;
    std::uint32_t& epoch = epoch_;
    while (!terminated_) {
        if (readHandle_ == InvalidHidHandle && !OpenReadHandle(epoch)) {
            const std::uint32_t error = lastError_;
            dispatcher.InvokeAndWait([this, error] { device_.DeliverError(error); });
            // Pause before the next attempt instead of spinning; a stop ends
            // the pause at once.
            if (!terminated_) {
                waker_->Sleep(device_.ReaderSleepTime());
            }
            continue;
        }
        std::fill(ReportBuffer.begin(), ReportBuffer.end(), std::uint8_t{0});
        std::size_t count = 0;
        const HidReadStatus status =
            backend.Read(readHandle_, ReportBuffer.data(), ReportBuffer.size(), *waker_, count);
        // A report taken from the device is handed over even when a stop came
        // meanwhile: the stop serves the hand-over, and the report is not lost.
        if (terminated_ && status != HidReadStatus::Report) {
            break;
        }
        if (device_.readHandleEpoch_ != epoch) {
            // The handle was closed meanwhile (device unplugged): nothing read.
            CloseReadHandle();
            continue;
        }
        if (status == HidReadStatus::Report) {
            bytesRead_ = std::min(count, ReportBuffer.size());
            if (bytesRead_ > 0) {
                dispatcher.InvokeAndWait(
                    [this] { device_.Deliver(ReportBuffer.data(), bytesRead_); });
            }
            if (terminated_) {
                break;
            }
        } else if (status == HidReadStatus::Failed) {
            CloseReadHandle();
            if (!terminated_) {
                waker_->Sleep(device_.ReaderSleepTime());
            }
        }
    }
    CloseReadHandle();
    finished_ = true;
    dispatcher.Notify();
}
