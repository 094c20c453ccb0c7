#pragma once
// Plugs an emulated KX-RD4 (product string "KX-RD4", 65-byte reports) into a
// SimulatedHidBackend: every report the tool writes goes to a
// ControllerEmulator at the clock's time, and the replies are queued as input
// reports, in order. Thread-safe: the backend calls the peer on the writing
// thread while front ends set inputs or read the state from theirs.
//
// The backend may still be calling the peer while it is being destroyed; the
// emulator is shared with that call, so nothing it uses goes away under it.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ControllerEmulator.h"
#include "SimulatedHidBackend.h"

class EmulatorPeer {
public:
    // Milliseconds of a steady clock; only differences matter.
    using Clock = std::function<std::int64_t()>;
    static constexpr std::uint16_t ReportLength = 65;

    // Plugs the device. Without a clock, a steady clock starting at 0 now.
    explicit EmulatorPeer(SimulatedHidBackend& backend, Clock clock = {});
    // Answers for a device already plugged (not unplugged at the end).
    EmulatorPeer(SimulatedHidBackend& backend, SimulatedHidBackend::DeviceId device,
                 Clock clock = {});
    // Detaches from the device and unplugs it if it plugged it.
    ~EmulatorPeer();
    EmulatorPeer(const EmulatorPeer&) = delete;
    EmulatorPeer& operator=(const EmulatorPeer&) = delete;

    SimulatedHidBackend::DeviceId Device() const { return device_; }

    // Each of these first advances the emulator to the clock's time.
    void SetInput(int io, bool on);
    std::vector<ControllerEmulator::Fault> TakeFaults();
    // Runs f on the emulator under the lock (f must not write to the device).
    void With(const std::function<void(ControllerEmulator&)>& f);

private:
    struct Shared;
    void Attach();

    SimulatedHidBackend& backend_;
    std::shared_ptr<Shared> shared_;
    SimulatedHidBackend::DeviceId device_ = 0;
    bool plugged_ = false;
};
