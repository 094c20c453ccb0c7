#include "LinuxHidrawBackend.h"

#include <libudev.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "HidReportDescriptor.h"
#include "HidText.h"

namespace {

// How often a reader whose waker has no eventfd looks at its stop request.
constexpr int FallbackWakeSliceMs = 100;

// Wakes a reader through an eventfd that its poll() watches. Without an
// eventfd (descriptors exhausted) a raise cannot end a wait: the waits are
// then cut into slices so that a stop is still seen.
class EventFdWaker : public HidWaker {
public:
    EventFdWaker() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~EventFdWaker() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    EventFdWaker(const EventFdWaker&) = delete;
    EventFdWaker& operator=(const EventFdWaker&) = delete;

    void Raise() override {
        const std::uint64_t one = 1;
        while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }
    bool Sleep(int milliseconds) override {
        pollfd p{fd_, POLLIN, 0};
        int r = 0;
        do {
            r = ::poll(&p, 1, milliseconds);
        } while (r < 0 && errno == EINTR);
        if (r > 0 && (p.revents & POLLIN) != 0) {
            Consume();
            return true;
        }
        return false;
    }
    void Consume() {
        std::uint64_t value = 0;
        while (::read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
        }
    }
    int Fd() const { return fd_; }

private:
    int fd_;
};

struct UdevDeviceRef {
    udev_device* device = nullptr;
    UdevDeviceRef() = default;
    explicit UdevDeviceRef(udev_device* d) : device(d) {}
    ~UdevDeviceRef() {
        if (device != nullptr) {
            udev_device_unref(device);
        }
    }
    UdevDeviceRef(const UdevDeviceRef&) = delete;
    UdevDeviceRef& operator=(const UdevDeviceRef&) = delete;
};

struct UdevRef {
    udev* context = udev_new();
    ~UdevRef() {
        if (context != nullptr) {
            udev_unref(context);
        }
    }
    UdevRef() = default;
    UdevRef(const UdevRef&) = delete;
    UdevRef& operator=(const UdevRef&) = delete;
};

// The character device number behind a handle, if it is one.
bool DevNumOf(HidHandle handle, dev_t& devnum) {
    struct stat st {};
    if (handle < 0 || ::fstat(static_cast<int>(handle), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    devnum = st.st_rdev;
    return true;
}

// The kernel's HID device sequence number from its name "BBBB:VVVV:PPPP.NNNN";
// a hash of the path when the name has another form.
std::uint32_t DevInstOf(udev_device* hidraw, udev_device* hid) {
    if (hid != nullptr) {
        const char* name = udev_device_get_sysname(hid);
        const char* dot = name != nullptr ? std::strrchr(name, '.') : nullptr;
        if (dot != nullptr && dot[1] != '\0') {
            char* end = nullptr;
            const unsigned long value = std::strtoul(dot + 1, &end, 16);
            if (end != nullptr && *end == '\0') {
                return static_cast<std::uint32_t>(value);
            }
        }
    }
    std::uint32_t hash = 2166136261u;
    const char* path = udev_device_get_syspath(hidraw);
    for (const char* p = path != nullptr ? path : ""; *p != '\0'; ++p) {
        hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    }
    return hash ^ static_cast<std::uint32_t>(udev_device_get_devnum(hidraw));
}

// The report descriptor of the HID device behind a hidraw node, from sysfs.
bool ReadDescriptor(dev_t devnum, std::vector<std::uint8_t>& bytes) {
    char path[96];
    std::snprintf(path, sizeof path, "/sys/dev/char/%u:%u/device/report_descriptor", major(devnum),
                  minor(devnum));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bytes.assign(8192, 0); // the kernel's limit is 4096
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, bytes.data() + total, bytes.size() - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
        if (total == bytes.size()) {
            break;
        }
    }
    ::close(fd);
    bytes.resize(total);
    return total > 0;
}

// The physical place of a hidraw node: the USB device's bus and port chain
// ("1-2.3", the same for the same socket), or the HID device's HID_PHYS
// without a USB parent.
std::string PortOf(udev_device* hidraw, udev_device* hid) {
    if (udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device")) {
        if (const char* name = udev_device_get_sysname(usb)) {
            return name;
        }
    }
    const char* phys = hid != nullptr ? udev_device_get_property_value(hid, "HID_PHYS") : nullptr;
    return phys != nullptr ? phys : "";
}

bool ParseHex(const char* text, unsigned long& value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 16);
    return errno == 0 && end != text;
}

} // namespace

struct LinuxHidrawBackend::Identity {
    unsigned long vendor = 0;
    unsigned long product = 0;
    unsigned long version = 0;
    bool hasIds = false;
    bool hasUsbParent = false;
    bool hasProduct = false;
    std::string productText;
    std::string serial; // empty: none
};

LinuxHidrawBackend::LinuxHidrawBackend() : udev_(udev_new()) {
    if (udev_ == nullptr) {
        return;
    }
    // With a udev daemon, its events come after the node got its permissions;
    // without one (containers, a bare kernel) listen to the kernel itself.
    monitorUdev_ = ::access("/run/udev/control", F_OK) == 0;
    monitor_ = udev_monitor_new_from_netlink(udev_, monitorUdev_ ? "udev" : "kernel");
    if (monitor_ != nullptr) {
        if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor_) < 0) {
            udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
    }
}

LinuxHidrawBackend::~LinuxHidrawBackend() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

bool LinuxHidrawBackend::Available() const {
    return udev_ != nullptr;
}

std::vector<HidInterfaceInfo> LinuxHidrawBackend::ListInterfaces() {
    std::vector<HidInterfaceInfo> list;
    if (udev_ == nullptr) {
        return list;
    }
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (enumerate == nullptr) {
        return list;
    }
    udev_enumerate_add_match_subsystem(enumerate, "hidraw");
    if (udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            UdevDeviceRef dev(udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry)));
            if (dev.device == nullptr) {
                continue; // gone since listed
            }
            const char* node = udev_device_get_devnode(dev.device);
            if (node == nullptr) {
                continue;
            }
            udev_device* hid =
                udev_device_get_parent_with_subsystem_devtype(dev.device, "hid", nullptr);
            list.push_back({node, DevInstOf(dev.device, hid), PortOf(dev.device, hid)});
        }
    }
    udev_enumerate_unref(enumerate);
    return list;
}

HidHandle LinuxHidrawBackend::Open(const std::string& path, HidOpenMode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case HidOpenMode::ReadWrite:
        flags |= O_RDWR | O_NONBLOCK; // a write waits no longer than its time-out
        break;
    case HidOpenMode::QueryOnly:
        flags |= O_PATH; // no access rights needed
        break;
    case HidOpenMode::Read:
        flags |= O_RDONLY | O_NONBLOCK;
        break;
    }
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return InvalidHidHandle;
    }
    dev_t devnum = 0;
    if (!DevNumOf(fd, devnum)) {
        ::close(fd);
        errno = ENODEV;
        return InvalidHidHandle;
    }
    if (mode == HidOpenMode::Read) {
        std::vector<std::uint8_t> descriptor;
        const bool numbered =
            ReadDescriptor(devnum, descriptor) &&
            HidReportDescriptor::Parse(descriptor.data(), descriptor.size()).Numbered;
        std::lock_guard lock(mutex_);
        readNumbered_[fd] = numbered;
    }
    return fd;
}

void LinuxHidrawBackend::Close(HidHandle handle) {
    if (handle < 0) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        readNumbered_.erase(static_cast<int>(handle));
    }
    ::close(static_cast<int>(handle));
}

bool LinuxHidrawBackend::Identify(HidHandle handle, Identity& identity) const {
    dev_t devnum = 0;
    if (!DevNumOf(handle, devnum)) {
        return false;
    }
    UdevRef context;
    if (context.context == nullptr) {
        return false;
    }
    UdevDeviceRef dev(udev_device_new_from_devnum(context.context, 'c', devnum));
    if (dev.device == nullptr) {
        return false;
    }
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev.device, "hid", nullptr);
    if (hid == nullptr) {
        return false;
    }
    const char* hidId = udev_device_get_property_value(hid, "HID_ID");
    unsigned int bus = 0;
    unsigned int vendor = 0;
    unsigned int product = 0;
    if (hidId != nullptr && std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) == 3) {
        identity.vendor = vendor & 0xFFFF;
        identity.product = product & 0xFFFF;
        identity.hasIds = true;
    }
    // The USB serial number reaches the HID device as HID_UNIQ; a virtual
    // device sets its own.
    if (const char* uniq = udev_device_get_property_value(hid, "HID_UNIQ")) {
        identity.serial = uniq;
    }
    udev_device* usb =
        udev_device_get_parent_with_subsystem_devtype(dev.device, "usb", "usb_device");
    if (usb != nullptr) {
        if (identity.serial.empty()) {
            if (const char* serial = udev_device_get_sysattr_value(usb, "serial")) {
                identity.serial = serial;
            }
        }
        identity.hasUsbParent = true;
        unsigned long version = 0;
        if (ParseHex(udev_device_get_sysattr_value(usb, "bcdDevice"), version)) {
            identity.version = version & 0xFFFF;
        }
        if (const char* text = udev_device_get_sysattr_value(usb, "product")) {
            identity.productText = text;
            identity.hasProduct = true;
        }
    } else if (const char* name = udev_device_get_property_value(hid, "HID_NAME")) {
        identity.productText = name;
        identity.hasProduct = true;
    }
    return true;
}

bool LinuxHidrawBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    Identity identity;
    if (!Identify(handle, identity) || !identity.hasIds) {
        return false;
    }
    attributes.VendorID = static_cast<std::uint16_t>(identity.vendor);
    attributes.ProductID = static_cast<std::uint16_t>(identity.product);
    attributes.VersionNumber = static_cast<std::uint16_t>(identity.version);
    return true;
}

bool LinuxHidrawBackend::GetProductString(HidHandle handle, std::u16string& text) {
    Identity identity;
    if (!Identify(handle, identity) || !identity.hasProduct) {
        return false;
    }
    text = HidText::Utf8ToUtf16(identity.productText);
    return true;
}

bool LinuxHidrawBackend::GetSerialNumberString(HidHandle handle, std::u16string& text) {
    Identity identity;
    if (!Identify(handle, identity) || identity.serial.empty()) {
        return false;
    }
    text = HidText::Utf8ToUtf16(identity.serial);
    return true;
}

bool LinuxHidrawBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    dev_t devnum = 0;
    std::vector<std::uint8_t> descriptor;
    if (!DevNumOf(handle, devnum) || !ReadDescriptor(devnum, descriptor)) {
        return false;
    }
    const auto parsed = HidReportDescriptor::Parse(descriptor.data(), descriptor.size());
    if (!parsed.Valid) {
        return false;
    }
    caps = parsed.Caps;
    return true;
}

bool LinuxHidrawBackend::Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
                               std::size_t& written) {
    written = 0;
    if (handle < 0 || buffer == nullptr || length == 0) {
        return false;
    }
    // Waits until the device can take the report, at most the write time-out.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(HidWriteTimeoutMs);
    ssize_t n = -1;
    for (;;) {
        n = ::write(static_cast<int>(handle), buffer, length);
        if (n >= 0) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false; // the device takes nothing: given up
        }
        pollfd p{static_cast<int>(handle), POLLOUT, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (r < 0 && errno != EINTR) {
            return false;
        }
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
            (p.revents & POLLOUT) == 0) {
            return false;
        }
    }
    written = static_cast<std::size_t>(n);
    return true;
}

std::unique_ptr<HidWaker> LinuxHidrawBackend::CreateWaker() {
    return std::make_unique<EventFdWaker>();
}

HidReadStatus LinuxHidrawBackend::Read(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                                       HidWaker& waker, std::size_t& count) {
    count = 0;
    auto& eventWaker = static_cast<EventFdWaker&>(waker);
    bool numbered = false;
    {
        std::lock_guard lock(mutex_);
        const auto it = readNumbered_.find(static_cast<int>(handle));
        if (it == readNumbered_.end() || length == 0) {
            return HidReadStatus::Failed;
        }
        numbered = it->second;
    }
    const int fd = static_cast<int>(handle);
    // No time-out: an idle reader never wakes (unless its waker is unusable).
    const int timeout = eventWaker.Fd() >= 0 ? -1 : FallbackWakeSliceMs;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {eventWaker.Fd(), POLLIN, 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return HidReadStatus::Failed;
        }
        if (r == 0) {
            return HidReadStatus::Woken; // the caller looks at its stop request
        }
        if ((fds[1].revents & POLLIN) != 0) {
            eventWaker.Consume();
            return HidReadStatus::Woken;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            // Unnumbered reports get a 0 identifier put in front.
            std::uint8_t* target = numbered ? buffer : buffer + 1;
            const std::size_t room = numbered ? length : length - 1;
            const ssize_t n = ::read(fd, target, room);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    continue;
                }
                return HidReadStatus::Failed;
            }
            if (n > 0) {
                if (!numbered) {
                    buffer[0] = 0;
                }
                count = static_cast<std::size_t>(n) + (numbered ? 0 : 1);
            }
            return HidReadStatus::Report;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return HidReadStatus::Failed;
        }
    }
}

int LinuxHidrawBackend::NotificationFd() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

void LinuxHidrawBackend::SetNotificationListener(std::function<void()>) {
    // Changes are announced through NotificationFd.
}

bool LinuxHidrawBackend::TakeNotifications() {
    if (monitor_ == nullptr) {
        return false;
    }
    bool any = false;
    while (udev_device* dev = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(dev);
        any = true;
    }
    return any;
}
