#include "EmulatedBackend.h"

#include <list>

#include "EmulatorPeer.h"
#include "HidText.h"
#include "SimulatedHidBackend.h"

namespace {

struct Emulated {
    // The peers go first: they stop answering before the devices go.
    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    std::list<EmulatorPeer> peers;
    ~Emulated() { peers.clear(); }
};

} // namespace

std::shared_ptr<SimulatedHidBackend>
EmulatedBackend::Create(const std::string& serial, const EmulatedAxis::Imperfection& axis) {
    return CreateSeveral({serial.empty() ? std::string("DEMO-1") : serial}, axis);
}

std::shared_ptr<SimulatedHidBackend>
EmulatedBackend::CreateSeveral(const std::vector<std::string>& serials,
                               const EmulatedAxis::Imperfection& axis) {
    auto emulated = std::make_shared<Emulated>();
    for (const std::string& serial : serials) {
        SimulatedHidBackend::DeviceSpec kxrd4;
        kxrd4.ProductString = u"KX-RD4";
        kxrd4.SerialNumber = HidText::Utf8ToUtf16(serial);
        kxrd4.InputReportByteLength = EmulatorPeer::ReportLength;
        kxrd4.OutputReportByteLength = EmulatorPeer::ReportLength;
        EmulatorPeer& peer =
            emulated->peers.emplace_back(*emulated->backend, emulated->backend->Plug(kxrd4));
        peer.With([&axis](ControllerEmulator& emulator) { emulator.SetImperfection(axis); });
    }
    return std::shared_ptr<SimulatedHidBackend>(emulated, emulated->backend.get());
}
