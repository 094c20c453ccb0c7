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
    DeviceIdentity identity = DeviceIdentity::Of(device);
    auto claimed = controller_.ClaimByIndex(index);
    TJvHidDevice* held = claimed.get();
    entries_.push_back({text, std::move(claimed), std::move(identity)});
    sink_.AddDeviceEntry(text, held);
    sink_.ShowStatus(Refreshing);
    sink_.ShowConnection(Disconnected, std::string());
    return true;
}

bool DeviceLink::IsController(int index) const {
    return index >= 0 && index < EntryCount() && entries_[index].text == ProductName &&
           entries_[index].device != nullptr;
}

int DeviceLink::CurrentIndex() const {
    for (int i = 0; i < EntryCount(); ++i) {
        if (currentDevice_ != nullptr && entries_[i].device.get() == currentDevice_) {
            return i;
        }
    }
    return -1;
}

bool DeviceLink::SameNodeAsChosen(int index) const {
    const Entry& e = entries_[index];
    return chosen_ && e.device->PnPInfo().DevInst == chosenDevInst_ &&
           e.identity.path == chosen_->path;
}

int DeviceLink::Pick() const {
    int sameNode = -1;
    int sameController = -1;
    int last = -1;
    for (int i = 0; i < EntryCount(); ++i) {
        if (!IsController(i)) {
            continue;
        }
        last = i;
        if (SameNodeAsChosen(i)) {
            sameNode = i;
        } else if (sameController < 0 && chosen_ && entries_[i].identity.SameController(*chosen_)) {
            sameController = i;
        }
    }
    return sameNode >= 0 ? sameNode : sameController >= 0 ? sameController : last;
}

void DeviceLink::JvHidDeviceController1DeviceChange() {
    sink_.ClearDeviceList();
    ReleaseAll();
    entries_.clear();
    controller_.EnumerateDevices();
    if (entries_.empty()) {
        sink_.ShowConnection(Disconnected, std::string());
    }
    const int pick = Pick();
    int controllers = 0;
    for (int i = 0; i < EntryCount(); ++i) {
        if (IsController(i)) {
            ++controllers;
            if (i != pick) {
                // Only the current one delivers reports.
                entries_[i].device->SetDataHandler(nullptr);
            }
        }
    }
    if (pick >= 0) {
        // Named when it takes another one's place, or when there is a choice.
        const bool other =
            chosen_ && !SameNodeAsChosen(pick) && !entries_[pick].identity.SameController(*chosen_);
        MakeCurrent(pick, other || (!chosen_ && controllers > 1));
    }
}

bool DeviceLink::Select(int index) {
    if (!IsController(index)) {
        return false;
    }
    TJvHidDevice* chosen = entries_[index].device.get();
    if (chosen == currentDevice_) {
        return true;
    }
    // Nothing is written while the old one's reader stops: a transfer in
    // progress ends there rather than going on with the other controller.
    TJvHidDevice* old = currentDevice_;
    currentDevice_ = nullptr;
    if (old != nullptr) {
        old->SetDataHandler(nullptr);
    }
    MakeCurrent(index, true);
    return true;
}

void DeviceLink::MakeCurrent(int index, bool announce) {
    Entry& entry = entries_[index];
    currentDevice_ = entry.device.get();
    chosen_ = entry.identity;
    chosenDevInst_ = currentDevice_->PnPInfo().DevInst;
    const std::string label = entry.identity.Label(entry.text);
    currentLabel_ = label;
    writeFailed_ = false;
    if (currentDevice_->ReadWriteAccess()) {
        currentDevice_->SetDataHandler(reportHandler_);
        sink_.ShowConnection(Connected, InUseToolTip + label);
    } else {
        currentDevice_->SetDataHandler(nullptr);
        sink_.ShowConnection(Disconnected, NoAccessToolTip);
    }
    sink_.ShowCurrentEntry(index);
    if (announce) {
        sink_.ShowStatus(Switched + label);
    }
}

void DeviceLink::WriteDone(bool ok) {
    if (currentDevice_ == nullptr || ok == !writeFailed_) {
        return;
    }
    writeFailed_ = !ok;
    if (writeFailed_) {
        sink_.ShowConnection(Disconnected, WriteFailedToolTip);
        sink_.ShowStatus(WriteFailed);
    } else {
        sink_.ShowConnection(Connected, InUseToolTip + currentLabel_);
    }
}
