#pragma once
// The tool's device side linked to a scripted controller on the simulated back
// end: the HID controller classes, the reader thread and the hand-over (pumped
// by the caller's thread), the selection, the senders and the reply handling.
// Shared by the end-to-end test and the protocol benchmark.

#include <chrono>
#include <memory>
#include <string>

#include "ControllerMessages.h"
#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "DeviceReportProcessor.h"
#include "PumpedUiDispatcher.h"
#include "ScriptedController.h"
#include "SimulatedHidBackend.h"
#include "TJvHidDeviceController.h"

// Keeps only the link state of panel 1.
class LinkStateSink : public DeviceLinkSink {
public:
    void ClearDeviceList() override {}
    void AddDeviceEntry(const std::string&, TJvHidDevice*) override {}
    void ShowStatus(const std::string&) override {}
    void ShowConnection(const std::string& text, const std::string&) override { connection = text; }
    std::string connection;
};

template <class ReplySink> class LinkedTool {
public:
    LinkedTool() {
        SimulatedHidBackend::DeviceSpec kxrd4;
        kxrd4.ProductString = u"KX-RD4";
        deviceId = backend->Plug(kxrd4);
        backend->TakeNotifications();
        peer = std::make_unique<ScriptedController>(*backend, deviceId);
        controller = std::make_unique<TJvHidDeviceController>(backend, dispatcher);
        link = std::make_unique<DeviceLink>(
            *controller, linkSink,
            [this](TJvHidDevice&, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
                processor->Process(data, size);
            });
        output = std::make_unique<CurrentDeviceOutput>(*link);
        messages = std::make_unique<ControllerMessages>(*output, programs);
        processor = std::make_unique<DeviceReportProcessor>(programs, *messages, sink);
        connected = dispatcher->PumpUntil([this] { return link->CurrentDevice() != nullptr; },
                                          std::chrono::seconds(5));
    }
    ~LinkedTool() {
        link->Shutdown(); // stops the reader before anything it uses goes
        link.reset();
        controller.reset();
        peer.reset();
    }
    LinkedTool(const LinkedTool&) = delete;
    LinkedTool& operator=(const LinkedTool&) = delete;

    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    std::shared_ptr<PumpedUiDispatcher> dispatcher = std::make_shared<PumpedUiDispatcher>();
    SimulatedHidBackend::DeviceId deviceId = 0;
    std::unique_ptr<ScriptedController> peer;
    LinkStateSink linkSink;
    ProgramSet programs;
    ReplySink sink;
    std::unique_ptr<TJvHidDeviceController> controller;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<CurrentDeviceOutput> output;
    std::unique_ptr<ControllerMessages> messages;
    std::unique_ptr<DeviceReportProcessor> processor;
    // The KX-RD4 was selected within 5 s.
    bool connected = false;
};
