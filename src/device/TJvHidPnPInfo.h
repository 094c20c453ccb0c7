#pragma once
// The plug-and-play record of one HID interface.

#include <cstdint>
#include <string>

class TJvHidPnPInfo {
public:
    TJvHidPnPInfo(std::uint32_t devInst, std::string interfacePath)
        : DevInst(devInst), InterfacePath(std::move(interfacePath)) {}

    const std::uint32_t DevInst; // two scan results with equal DevInst are the same device
    const std::string InterfacePath;
};
