#pragma once
// The plug-and-play record of one HID interface.

#include <cstdint>
#include <string>
#include <utility>

class TJvHidPnPInfo {
public:
    TJvHidPnPInfo(std::uint32_t devInst, std::string interfacePath, std::string port = {})
        : DevInst(devInst), InterfacePath(std::move(interfacePath)), Port(std::move(port)) {}

    const std::uint32_t DevInst; // two scan results with equal DevInst are the same device
    const std::string InterfacePath;
    const std::string Port; // the USB port path, empty when unknown
};
