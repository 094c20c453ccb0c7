#pragma once
// The main window's side of the HID link: lists every plugged device, claims
// it, and selects the one whose product string is "KX-RD4" as CurrentDevice
// with the window's report handler. Shown through a DeviceLinkSink.

#include <memory>
#include <string>
#include <vector>

#include "DeviceLinkSink.h"
#include "HidEvents.h"
#include "TJvHidDevice.h"
#include "TJvHidDeviceController.h"

class DeviceLink {
public:
    static constexpr const char* ProductName = "KX-RD4";
    static constexpr const char* Connected = "Połączony";
    static constexpr const char* Disconnected = "Rozłączony";
    static constexpr const char* Refreshing = "Odświeżam listę urządzeń";
    static constexpr const char* NoAccessToolTip =
        "Brak dostępu do urządzenia KX-RD4: zainstaluj regułę udev 70-kxrd4.rules "
        "(packaging/70-kxrd4.rules) i podłącz urządzenie ponownie";

    // Installs its handlers on the controller (in loading state, so nothing
    // runs before the controller's initial notification).
    DeviceLink(TJvHidDeviceController& controller, DeviceLinkSink& sink,
               TJvHidDataEvent reportHandler);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    // Shuts down (see Shutdown).
    ~DeviceLink();

    // Releases every held device (stopping its reader) and clears the list;
    // call before the controller is destroyed.
    void Shutdown();

    bool JvHidDeviceController1Enumerate(TJvHidDevice& device, int index);
    void JvHidDeviceController1DeviceChange();

    TJvHidDevice* CurrentDevice() const { return currentDevice_; }
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const std::string& EntryText(int index) const { return entries_.at(index).text; }
    TJvHidDevice* EntryDevice(int index) const { return entries_.at(index).device.get(); }

    // The text an entry gets for a device: its product string, or
    // "Device VID=%04X PID=%04X" when that is empty.
    static std::string EntryTextFor(TJvHidDevice& device);

private:
    struct Entry {
        std::string text;
        std::unique_ptr<TJvHidDevice> device;
    };
    void ReleaseAll();

    TJvHidDeviceController& controller_;
    DeviceLinkSink& sink_;
    TJvHidDataEvent reportHandler_;
    std::vector<Entry> entries_;
    TJvHidDevice* currentDevice_ = nullptr;
};
