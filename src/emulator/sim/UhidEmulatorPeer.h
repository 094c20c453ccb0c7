#pragma once
// An emulated KX-RD4 on the kernel's /dev/uhid: a UhidDevice with the real
// controller's identity (product "KX-RD4", vendor 0x1A2B, product 0x000C,
// report ID 1, 64-byte input and output reports) whose output reports go to a
// ControllerEmulator on a steady clock; the replies go back as input reports.
// Every program on the machine (the tool, a CLI, any HID program) finds it as
// hardware through hidraw.
//
// Thread-safe: the device's event thread answers requests while the owner
// sets inputs, reads the state or looks for faults from its own thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ControllerEmulator.h"
#include "UhidDevice.h"

class UhidEmulatorPeer {
public:
    // One line of the log, without its line feed; called from any thread.
    using Log = std::function<void(const std::string& line)>;

    static constexpr std::uint32_t VendorID = 0x1A2B;
    static constexpr std::uint32_t ProductID = 0x000C;
    static constexpr std::uint8_t ReportBytes = 64; // after the report identifier

    // The uhid set-up of the emulated controller (unique uniq each call).
    static UhidDevice::Config Identity();

    // Plugs the device in; throws as UhidDevice does. Faults of a running
    // program are always logged; with logRequests every request and the
    // letters of its replies too. serial becomes the device's serial number
    // (uhid's uniq); empty gives a unique one.
    UhidEmulatorPeer(Log log, bool logRequests, const std::string& serial = {});
    // Unplugs the device.
    ~UhidEmulatorPeer();
    UhidEmulatorPeer(const UhidEmulatorPeer&) = delete;
    UhidEmulatorPeer& operator=(const UhidEmulatorPeer&) = delete;

    // Runs f on the emulator, advanced to now, under the lock.
    void With(const std::function<void(ControllerEmulator&)>& f);
    // Advances the emulator to now and logs the faults since the last look.
    void Tick();
    // The hidraw node once the kernel has made it, or empty after the timeout.
    std::string WaitForHidrawNode(std::chrono::milliseconds timeout) const;
    // Unplugs the device now (also done by the destructor).
    void Unplug();

    // The text of one request for the log: its letter and first bytes.
    static std::string Describe(const std::uint8_t* data, std::size_t size);

private:
    void OnOutput(UhidDevice& device, const std::vector<std::uint8_t>& report);
    std::int64_t NowMs() const;
    void LogFaultsLocked();

    Log log_;
    bool logRequests_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    ControllerEmulator emulator_;
    // Last: its event thread, which uses the members above, ends first.
    std::unique_ptr<UhidDevice> device_;
};
