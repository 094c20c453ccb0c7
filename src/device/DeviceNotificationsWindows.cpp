#include "DeviceNotifications.h"

#include <windows.h>

#include "HidBackend.h"
#include "TJvHidDeviceController.h"

void ServeDeviceNotifications(HidBackend&, TJvHidDeviceController&) {
    // Messages sent to the hidden notification window are delivered here; its
    // listener posts the controller's check to the dispatcher.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
