#pragma once
// Handler types of the HID controller and its devices.

#include <cstdint>

#include "HidHandler.h"

class TJvHidDevice;
class TJvHidDeviceController;

// An input report: ReportID is its first byte, Data the Size bytes after it,
// valid only during the call. Runs on the user-interface thread.
using TJvHidDataEvent = HidHandler<void(TJvHidDevice& HidDev, std::uint8_t ReportID,
                                        const std::uint8_t* Data, std::uint16_t Size)>;
// A read could not be started; Error is the system error code.
using TJvHidDataErrorEvent = HidHandler<void(TJvHidDevice& HidDev, std::uint32_t Error)>;
using TJvHidPlugEvent = HidHandler<void(TJvHidDevice& HidDev)>;
// Offers one device with its list index; false stops the enumeration.
using TJvHidEnumerateEvent = HidHandler<bool(TJvHidDevice& HidDev, int Idx)>;
using TJvHidNotifyEvent = HidHandler<void(TJvHidDeviceController& Sender)>;
