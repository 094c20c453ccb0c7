#pragma once
// kxrd4-cli devices: the HID devices with serial number, USB port, path and
// access, the KX-RD4 a device command would use marked (with --device, the one
// it names); as text or one JSON array.

class CommandContext;

class DeviceListCommand {
public:
    static void Run(CommandContext& context);
};
