#include "DeviceIdentity.h"

#include "HidText.h"
#include "TJvHidDevice.h"

DeviceIdentity DeviceIdentity::Of(TJvHidDevice& device) {
    DeviceIdentity identity;
    identity.serial = HidText::Utf16ToUtf8(device.SerialNumberString());
    identity.port = device.PnPInfo().Port;
    identity.path = device.PnPInfo().InterfacePath;
    return identity;
}

std::string DeviceIdentity::Describe() const {
    std::string text;
    if (!serial.empty()) {
        text = "SN " + serial;
    }
    if (!port.empty()) {
        text += (text.empty() ? "port " : ", port ") + port;
    }
    return text;
}

std::string DeviceIdentity::Label(const std::string& name) const {
    const std::string details = Describe();
    return details.empty() ? name : name + " " + details;
}

bool DeviceIdentity::SameController(const DeviceIdentity& other) const {
    if (!serial.empty() || !other.serial.empty()) {
        return serial == other.serial;
    }
    return !port.empty() && port == other.port;
}
