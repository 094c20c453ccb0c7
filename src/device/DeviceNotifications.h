#pragma once
// Device-change notifications for a program without a toolkit's event loop,
// served between its waits; never blocks. The system's part is one source
// file, picked by CMake: DeviceNotificationsPosix.cpp polls the back end's
// notification descriptor, DeviceNotificationsWindows.cpp serves the thread's
// window messages so that the back end's hidden window gets the system's
// broadcasts (its listener then posts the rescan to the dispatcher).

class HidBackend;
class TJvHidDeviceController;

void ServeDeviceNotifications(HidBackend& backend, TJvHidDeviceController& controller);
