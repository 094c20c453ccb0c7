#pragma once
// What tells one controller from another of the same kind: its serial number
// (where it has one), the USB port it sits in and its device path. The window
// and the command-line tool name a controller with Label.

#include <string>

class TJvHidDevice;

class DeviceIdentity {
public:
    std::string serial; // UTF-8, empty when the device has none
    std::string port;   // empty when the system tells none
    std::string path;   // the interface path it is opened with

    // Reads the serial number (once per object) and the plug-and-play record.
    static DeviceIdentity Of(TJvHidDevice& device);

    // "SN 1234, port 1-2"; "SN 1234" or "port 1-2" with only one of them; empty with neither.
    std::string Describe() const;
    // name followed by Describe(): "KX-RD4 SN 1234, port 1-2".
    std::string Label(const std::string& name) const;

    // The same physical controller seen again (after a rescan or a quick
    // replug): the same serial number; without one, the same port.
    bool SameController(const DeviceIdentity& other) const;
};
