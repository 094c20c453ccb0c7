#include "UhidEmulatorPeer.h"

#include <cstdio>

namespace {

std::string LetterText(std::uint8_t letter) {
    char text[8];
    if (letter >= 0x20 && letter < 0x7F)
        std::snprintf(text, sizeof(text), "'%c'", static_cast<char>(letter));
    else
        std::snprintf(text, sizeof(text), "0x%02X", letter);
    return text;
}

} // namespace

UhidDevice::Config UhidEmulatorPeer::Identity() {
    UhidDevice::Config config;
    config.name = "KX-RD4";
    config.phys = "kxrd4-sim";
    config.vendor = VendorID;
    config.product = ProductID;
    config.version = 0x0100;
    config.descriptor = UhidDevice::NumberedDescriptor(ReportBytes);
    config.echoOutputs = false;
    return config;
}

UhidEmulatorPeer::UhidEmulatorPeer(Log log, bool logRequests, const std::string& serial)
    : log_(std::move(log)), logRequests_(logRequests), start_(std::chrono::steady_clock::now()),
      emulator_(ReportBytes + 1) {
    UhidDevice::Config config = Identity();
    config.uniq = serial;
    config.onOutput = [this](UhidDevice& device, const std::vector<std::uint8_t>& report) {
        OnOutput(device, report);
    };
    if (logRequests_) {
        config.onOpenChange = [this](int openers) {
            log_(openers > 0 ? "opened (" + std::to_string(openers) + " open)" : "closed");
        };
    }
    device_ = std::make_unique<UhidDevice>(std::move(config));
}

UhidEmulatorPeer::~UhidEmulatorPeer() {
    Unplug();
}

void UhidEmulatorPeer::Unplug() {
    if (device_)
        device_->Destroy();
}

std::int64_t UhidEmulatorPeer::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void UhidEmulatorPeer::OnOutput(UhidDevice& device, const std::vector<std::uint8_t>& report) {
    std::vector<ControllerEmulator::Report> replies;
    {
        std::lock_guard lock(mutex_);
        replies = emulator_.HandleRequest(report.data(), report.size(), NowMs());
        LogFaultsLocked();
    }
    for (const auto& reply : replies)
        device.SendInput(reply);
    if (logRequests_) {
        std::string line = "request " + Describe(report.data(), report.size()) + " ->";
        if (replies.empty())
            line += " no reply";
        for (const auto& reply : replies)
            line += " " + LetterText(reply.size() > 1 ? reply[1] : 0);
        log_(line);
    }
}

void UhidEmulatorPeer::With(const std::function<void(ControllerEmulator&)>& f) {
    std::lock_guard lock(mutex_);
    emulator_.AdvanceTo(NowMs());
    f(emulator_);
    LogFaultsLocked();
}

void UhidEmulatorPeer::Tick() {
    std::lock_guard lock(mutex_);
    emulator_.AdvanceTo(NowMs());
    LogFaultsLocked();
}

void UhidEmulatorPeer::LogFaultsLocked() {
    for (const ControllerEmulator::Fault& fault : emulator_.TakeFaults()) {
        char text[64];
        std::snprintf(text, sizeof(text), "program %d line %02d at %.3f s: ", fault.Program,
                      fault.Line, static_cast<double>(fault.TimeMs) / 1000.0);
        log_(std::string("fault: ") + text + fault.Reason);
    }
}

std::string UhidEmulatorPeer::WaitForHidrawNode(std::chrono::milliseconds timeout) const {
    return device_ ? device_->WaitForHidrawNode(timeout) : std::string();
}

std::string UhidEmulatorPeer::Describe(const std::uint8_t* data, std::size_t size) {
    std::string text = LetterText(size > 1 ? data[1] : 0) + " " + std::to_string(size) + " bytes:";
    constexpr std::size_t Shown = 12; // identifier, letter, the longest payload (a line)
    for (std::size_t i = 0; i < size && i < Shown; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof(hex), " %02X", data[i]);
        text += hex;
    }
    if (size > Shown)
        text += " ...";
    return text;
}
