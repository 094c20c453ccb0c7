#include "DeviceNotifications.h"

#include <poll.h>

#include "HidBackend.h"
#include "TJvHidDeviceController.h"

void ServeDeviceNotifications(HidBackend& backend, TJvHidDeviceController& controller) {
    const int fd = backend.NotificationFd();
    if (fd < 0) {
        return; // the back end posts its notifications to the dispatcher
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0) {
        controller.CheckNotifications();
    }
}
