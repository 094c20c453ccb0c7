#include "EmulatorPeer.h"

#include <chrono>
#include <mutex>

struct EmulatorPeer::Shared {
    explicit Shared(Clock c) : clock(std::move(c)) {
        if (!clock) {
            const auto start = std::chrono::steady_clock::now();
            clock = [start] {
                return std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                    .count();
            };
        }
    }

    std::mutex mutex;
    Clock clock;
    ControllerEmulator emulator{ReportLength};
};

EmulatorPeer::EmulatorPeer(SimulatedHidBackend& backend, Clock clock)
    : backend_(backend), shared_(std::make_shared<Shared>(std::move(clock))) {
    SimulatedHidBackend::DeviceSpec kxrd4;
    kxrd4.ProductString = u"KX-RD4";
    // A serial number of its own, as the controller has: what the tool keeps
    // per controller (the travel limits) works in the demo too.
    kxrd4.SerialNumber = u"DEMO-1";
    kxrd4.InputReportByteLength = ReportLength;
    kxrd4.OutputReportByteLength = ReportLength;
    device_ = backend_.Plug(kxrd4);
    plugged_ = true;
    Attach();
}

EmulatorPeer::EmulatorPeer(SimulatedHidBackend& backend, SimulatedHidBackend::DeviceId device,
                           Clock clock)
    : backend_(backend), shared_(std::make_shared<Shared>(std::move(clock))), device_(device) {
    Attach();
}

void EmulatorPeer::Attach() {
    // The replies are queued under the lock, so requests written from two
    // threads get their replies in the order the emulator answered them.
    // The backend is alive while it calls its peer, and holds none of its
    // locks then.
    SimulatedHidBackend* backend = &backend_;
    backend_.SetPeer(device_, [shared = shared_, backend](SimulatedHidBackend::DeviceId id,
                                                          const std::vector<std::uint8_t>& report) {
        std::lock_guard lock(shared->mutex);
        auto replies =
            shared->emulator.HandleRequest(report.data(), report.size(), shared->clock());
        for (auto& reply : replies) {
            backend->InjectReport(id, std::move(reply));
        }
    });
}

EmulatorPeer::~EmulatorPeer() {
    backend_.SetPeer(device_, nullptr);
    if (plugged_) {
        backend_.Unplug(device_);
    }
}

void EmulatorPeer::SetInput(int io, bool on) {
    std::lock_guard lock(shared_->mutex);
    shared_->emulator.AdvanceTo(shared_->clock());
    shared_->emulator.SetInput(io, on);
}

std::vector<ControllerEmulator::Fault> EmulatorPeer::TakeFaults() {
    std::lock_guard lock(shared_->mutex);
    shared_->emulator.AdvanceTo(shared_->clock());
    return shared_->emulator.TakeFaults();
}

void EmulatorPeer::With(const std::function<void(ControllerEmulator&)>& f) {
    std::lock_guard lock(shared_->mutex);
    shared_->emulator.AdvanceTo(shared_->clock());
    f(shared_->emulator);
}
