#pragma once
// The reader of one device: waits for input reports and hands each one to the
// device's data handler on the user-interface thread, blocking until it has
// been handled. An idle reader sleeps in the back end until a report arrives
// or it is woken; a stop takes effect at once.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "HidBackend.h"

class TJvHidDevice;

class TJvHidDeviceReadThread {
public:
    // Created suspended with a buffer of inputReportByteLength bytes.
    TJvHidDeviceReadThread(TJvHidDevice& device, std::size_t inputReportByteLength);
    TJvHidDeviceReadThread(const TJvHidDeviceReadThread&) = delete;
    TJvHidDeviceReadThread& operator=(const TJvHidDeviceReadThread&) = delete;
    // Requests termination and joins; call Terminate and WaitFor first so that
    // hand-overs are served while waiting.
    ~TJvHidDeviceReadThread();

    void Start();
    // Any thread: requests termination and wakes the reader.
    void Terminate();
    // Any thread: wakes the reader so that it closes its read handle.
    void Wake();
    // User-interface thread: waits until the thread has ended, serving hand-overs.
    void WaitFor();

    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    std::uint32_t LastError() const { return lastError_; }
    std::size_t BufferSize() const { return ReportBuffer.size(); }

private:
    void Execute();
    bool OpenReadHandle(std::uint32_t& epoch);
    void CloseReadHandle();

    std::atomic<std::uint32_t> lastError_{0};
    TJvHidDevice& device_;
    std::size_t bytesRead_ = 0;
    std::vector<std::uint8_t> ReportBuffer;
    HidHandle readHandle_ = InvalidHidHandle; // opened by Start, then reader thread only
    std::uint32_t epoch_ = 0;                 // the close epoch readHandle_ was opened in
    std::unique_ptr<HidWaker> waker_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
