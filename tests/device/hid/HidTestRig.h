#pragma once
// A simulated back end with a pumped user-interface thread (the test's own
// thread), and a sink that records what the device link shows.

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DeviceLinkSink.h"
#include "PumpedUiDispatcher.h"
#include "SimulatedHidBackend.h"
#include "TJvHidDevice.h"

struct HidTestRig {
    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    std::shared_ptr<PumpedUiDispatcher> ui = std::make_shared<PumpedUiDispatcher>();

    static SimulatedHidBackend::DeviceSpec Setup(std::u16string product) {
        SimulatedHidBackend::DeviceSpec setup;
        setup.ProductString = std::move(product);
        return setup;
    }
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return ui->PumpUntil(done, timeout);
    }
    // Pumps for a while so that anything that would arrive has arrived.
    void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(50)) {
        ui->PumpUntil([] { return false; }, time);
    }
};

// One received report.
struct ReceivedReport {
    TJvHidDevice* device;
    std::uint8_t reportId;
    std::vector<std::uint8_t> data;
    std::thread::id thread;
};

class RecordingSink : public DeviceLinkSink {
public:
    struct Entry {
        std::string text;
        TJvHidDevice* device;
    };
    void ClearDeviceList() override { entries.clear(); }
    void AddDeviceEntry(const std::string& text, TJvHidDevice* device) override {
        entries.push_back({text, device});
    }
    void ShowStatus(const std::string& text) override { status = text; }
    void ShowConnection(const std::string& text, const std::string& tip) override {
        connection = text;
        toolTip = tip;
        ++connectionCalls;
    }

    std::vector<Entry> entries;
    std::string status;
    std::string connection;
    std::string toolTip;
    int connectionCalls = 0;
};
