#include "PlatformHidBackend.h"

#include <poll.h>

#include "LinuxHidrawBackend.h"

std::shared_ptr<HidBackend> CreatePlatformHidBackend() {
    return std::make_shared<LinuxHidrawBackend>();
}

bool NotificationPending(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}
