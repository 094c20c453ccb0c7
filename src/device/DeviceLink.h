#pragma once
// The main window's side of the HID link: lists every plugged device, claims
// it, and selects a device whose product string is "KX-RD4" as CurrentDevice
// with the window's report handler. Shown through a DeviceLinkSink.
//
// Which KX-RD4: the one in use stays in use while it is plugged, whatever else
// is plugged meanwhile; it is found again after a rescan by its device
// instance, or, plugged again at once, by its serial number (else its port).
// Only when none of these is listed does the last KX-RD4 listed become
// current. Select switches to another one on the operator's word.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DeviceIdentity.h"
#include "DeviceLinkSink.h"
#include "HidEvents.h"
#include "TJvHidDevice.h"
#include "TJvHidDeviceController.h"
#include "Translatable.h"

class DeviceLink {
public:
    static constexpr const char* ProductName = "KX-RD4";
    static constexpr const char* Connected = KX_TRANSLATABLE("DeviceLink", "Połączony");
    static constexpr const char* Disconnected = KX_TRANSLATABLE("DeviceLink", "Rozłączony");
    static constexpr const char* Refreshing =
        KX_TRANSLATABLE("DeviceLink", "Odświeżam listę urządzeń");
    static constexpr const char* NoAccessToolTip = KX_TRANSLATABLE(
        "DeviceLink", "Brak dostępu do urządzenia KX-RD4: zainstaluj regułę udev 70-kxrd4.rules "
                      "(packaging/70-kxrd4.rules) i podłącz urządzenie ponownie");
    // The connection panel's tool tip names the controller in use; the
    // message panel names a controller that took another one's place.
    static constexpr const char* InUseToolTip =
        KX_TRANSLATABLE("DeviceLink", "Sterownik w użyciu: ");
    static constexpr const char* Switched = KX_TRANSLATABLE("DeviceLink", "Wybrano sterownik ");
    // A write to the controller in use failed (it takes no reports, or its
    // handle died): the connection panel says so until a write goes through.
    static constexpr const char* WriteFailed =
        KX_TRANSLATABLE("DeviceLink", "Zapis do urządzenia nie powiódł się");
    static constexpr const char* WriteFailedToolTip = KX_TRANSLATABLE(
        "DeviceLink", "Sterownik nie przyjmuje danych; kolejny zapis otworzy urządzenie ponownie");

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
    const DeviceIdentity& EntryIdentity(int index) const { return entries_.at(index).identity; }
    // A KX-RD4 that was claimed: one that can become current.
    bool IsController(int index) const;
    // The entry of CurrentDevice, or -1.
    int CurrentIndex() const;

    // Told of every write to CurrentDevice: after a failed one the panels read
    // "Rozłączony" and the failure; the next write that goes through shows the
    // connection again.
    void WriteDone(bool ok);

    // Makes the KX-RD4 of the entry current (the operator's choice); false,
    // changing nothing, for an entry that is not a claimed KX-RD4.
    bool Select(int index);

    // The text an entry gets for a device: its product string, or
    // "Device VID=%04X PID=%04X" when that is empty.
    static std::string EntryTextFor(TJvHidDevice& device);

private:
    struct Entry {
        std::string text;
        std::unique_ptr<TJvHidDevice> device;
        DeviceIdentity identity;
    };
    void ReleaseAll();
    bool SameNodeAsChosen(int index) const;
    // The entry that becomes current after a rebuild, or -1.
    int Pick() const;
    // index becomes CurrentDevice; announce names it in the message panel.
    void MakeCurrent(int index, bool announce);

    TJvHidDeviceController& controller_;
    DeviceLinkSink& sink_;
    TJvHidDataEvent reportHandler_;
    std::vector<Entry> entries_;
    TJvHidDevice* currentDevice_ = nullptr;
    // The controller last made current, kept while it is away.
    std::optional<DeviceIdentity> chosen_;
    std::uint32_t chosenDevInst_ = 0;
    std::string currentLabel_;
    bool writeFailed_ = false; // the last write to CurrentDevice failed
};
