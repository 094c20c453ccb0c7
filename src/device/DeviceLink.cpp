#include "DeviceLink.h"

#include <cstdio>

#include "HidText.h"

DeviceLink::DeviceLink(TJvHidDeviceController& controller, DeviceLinkSink& sink,
                       TJvHidDataEvent reportHandler)
    : controller_(controller), sink_(sink), reportHandler_(std::move(reportHandler)) {
    controller_.SetLoading(true);
    controller_.SetOnEnumerate([this](TJvHidDevice& device, int index) {
        return JvHidDeviceController1Enumerate(device, index);
    });
    controller_.SetOnDeviceChange(
        [this](TJvHidDeviceController&) { JvHidDeviceController1DeviceChange(); });
    controller_.SetLoading(false);
}

DeviceLink::~DeviceLink() {
    Shutdown();
    controller_.SetLoading(true);
    controller_.SetOnEnumerate(nullptr);
    controller_.SetOnDeviceChange(nullptr);
    controller_.SetLoading(false);
}

void DeviceLink::Shutdown() {
    // No sink calls here: the widgets may be gone already.
    ReleaseAll();
    entries_.clear();
}

void DeviceLink::ReleaseAll() {
    // Nothing may write to an object while it is being released: report
    // handlers served while a reader stops see no current device.
    currentDevice_ = nullptr;
    for (auto& entry : entries_) {
        entry.device.reset();
    }
}

std::string DeviceLink::EntryTextFor(TJvHidDevice& device) {
    std::string name = HidText::Utf16ToUtf8(device.ProductString());
    if (!name.empty()) {
        return name;
    }
    char text[32];
    std::snprintf(text, sizeof text, "Device VID=%04X PID=%04X", device.VendorID(),
                  device.ProductID());
    return text;
}

bool DeviceLink::JvHidDeviceController1Enumerate(TJvHidDevice& device, int index) {
    std::string text = EntryTextFor(device);
    auto claimed = controller_.ClaimByIndex(index);
    TJvHidDevice* held = claimed.get();
    entries_.push_back({text, std::move(claimed)});
    sink_.AddDeviceEntry(text, held);
    sink_.ShowStatus(Refreshing);
    sink_.ShowConnection(Disconnected, std::string());
    return true;
}

void DeviceLink::JvHidDeviceController1DeviceChange() {
    sink_.ClearDeviceList();
    ReleaseAll();
    entries_.clear();
    controller_.EnumerateDevices();
    if (entries_.empty()) {
        sink_.ShowConnection(Disconnected, std::string());
    }
    for (auto& entry : entries_) {
        if (entry.text != ProductName || !entry.device) {
            continue;
        }
        if (currentDevice_ != nullptr) {
            currentDevice_->SetDataHandler(nullptr);
        }
        currentDevice_ = entry.device.get();
        if (currentDevice_->ReadWriteAccess()) {
            currentDevice_->SetDataHandler(reportHandler_);
            sink_.ShowConnection(Connected, std::string());
        } else {
            currentDevice_->SetDataHandler(nullptr);
            sink_.ShowConnection(Disconnected, NoAccessToolTip);
        }
    }
}
