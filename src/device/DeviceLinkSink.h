#pragma once
// Where the device link shows its state: the device list box and the two
// status bar panels of the main window.

#include <string>

class TJvHidDevice;

class DeviceLinkSink {
public:
    virtual ~DeviceLinkSink() = default;
    virtual void ClearDeviceList() = 0;
    // Appends an entry; device is the claimed object it holds, or null.
    virtual void AddDeviceEntry(const std::string& text, TJvHidDevice* device) = 0;
    // Panel 0: replaces the message.
    virtual void ShowStatus(const std::string& text) = 0;
    // Panel 1: the link state and its tool tip (empty for none).
    virtual void ShowConnection(const std::string& text, const std::string& toolTip) = 0;
    // The entry of the device in use (marked in the list), or -1 for none.
    virtual void ShowCurrentEntry(int /*index*/) {}
};
