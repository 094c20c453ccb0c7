#pragma once
// Plugs an emulated KX-RD4 (product string "KX-RD4", 65-byte reports) into a
// SimulatedHidBackend: every report the tool writes goes to a
// ControllerEmulator at the clock's time, and the replies are queued as input
// reports. Thread-safe: the backend calls the peer on the writing thread while
// front ends set inputs or read the state from theirs.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "ControllerEmulator.h"
#include "SimulatedHidBackend.h"

class EmulatorPeer {
public:
    // Milliseconds of a steady clock; only differences matter.
    using Clock = std::function<std::int64_t()>;

    // Plugs the device. Without a clock, a steady clock starting at 0 now.
    explicit EmulatorPeer(SimulatedHidBackend& backend, Clock clock = {});
    // Unplugs the device.
    ~EmulatorPeer();
    EmulatorPeer(const EmulatorPeer&) = delete;
    EmulatorPeer& operator=(const EmulatorPeer&) = delete;

    SimulatedHidBackend::DeviceId Device() const;

    // The emulator advanced to the clock's time first.
    void SetInput(int io, bool on);
    std::vector<ControllerEmulator::Fault> TakeFaults();
    // Runs f on the emulator (advanced to the clock's time) under the lock.
    void With(const std::function<void(ControllerEmulator&)>& f);

private:
    void OnWrite(const std::vector<std::uint8_t>& report);
    std::int64_t NowLocked();

    SimulatedHidBackend& backend_;
    Clock clock_;
    std::mutex mutex_;
    ControllerEmulator emulator_;
    SimulatedHidBackend::DeviceId device_ = 0;
};
