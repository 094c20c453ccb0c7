#include "EmulatedBackend.h"

#include "EmulatorPeer.h"
#include "SimulatedHidBackend.h"

namespace {

struct Emulated {
    // The peer goes first: it unplugs the device it plugged.
    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    EmulatorPeer peer{*backend};
};

} // namespace

std::shared_ptr<HidBackend> EmulatedBackend::Create(const EmulatedAxis::Imperfection& axis) {
    auto emulated = std::make_shared<Emulated>();
    emulated->peer.With([&axis](ControllerEmulator& emulator) { emulator.SetImperfection(axis); });
    return std::shared_ptr<HidBackend>(emulated, emulated->backend.get());
}
