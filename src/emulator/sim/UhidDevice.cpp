#include "UhidDevice.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/uhid.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace {

std::atomic<int> nextSerial{1};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text;
}

} // namespace

UhidDevice::UhidDevice(Config config) : config_(std::move(config)) {
    if (config_.uniq.empty()) {
        config_.uniq = "kxrd4-uhid-" + std::to_string(::getpid()) + "-" +
                       std::to_string(nextSerial.fetch_add(1));
    }
    if (config_.name.size() >= sizeof(uhid_create2_req::name) ||
        config_.uniq.size() >= sizeof(uhid_create2_req::uniq) ||
        config_.phys.size() >= sizeof(uhid_create2_req::phys) ||
        config_.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        throw std::runtime_error("uhid: name, uniq or descriptor too long");
    }
    fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot open /dev/uhid");
    }
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd_ < 0) {
        ::close(fd_);
        throw std::runtime_error("eventfd failed");
    }

    uhid_event ev{};
    ev.type = UHID_CREATE2;
    std::memcpy(ev.u.create2.name, config_.name.data(), config_.name.size());
    std::memcpy(ev.u.create2.uniq, config_.uniq.data(), config_.uniq.size());
    std::memcpy(ev.u.create2.phys, config_.phys.data(), config_.phys.size());
    ev.u.create2.rd_size = static_cast<__u16>(config_.descriptor.size());
    ev.u.create2.bus = config_.bus;
    ev.u.create2.vendor = config_.vendor;
    ev.u.create2.product = config_.product;
    ev.u.create2.version = config_.version;
    ev.u.create2.country = 0;
    std::memcpy(ev.u.create2.rd_data, config_.descriptor.data(), config_.descriptor.size());
    if (!WriteEvent(&ev, sizeof(ev))) {
        const int err = errno;
        ::close(fd_);
        ::close(stopFd_);
        throw std::runtime_error(std::string("UHID_CREATE2 failed: ") + std::strerror(err));
    }
    thread_ = std::thread([this] { Serve(); });
}

UhidDevice::~UhidDevice() {
    Destroy();
}

void UhidDevice::Destroy() {
    {
        std::lock_guard lock(mutex_);
        if (destroyed_) {
            return;
        }
        destroyed_ = true;
    }
    uhid_event ev{};
    ev.type = UHID_DESTROY;
    WriteEvent(&ev, sizeof(ev));
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(stopFd_, &one, sizeof(one));
    if (thread_.joinable()) {
        thread_.join();
    }
    ::close(fd_);
    ::close(stopFd_);
    fd_ = -1;
    stopFd_ = -1;
}

bool UhidDevice::WriteEvent(const void* event, std::size_t size) {
    const ssize_t n = ::write(fd_, event, size);
    return n == static_cast<ssize_t>(size);
}

bool UhidDevice::SendInput(const std::vector<std::uint8_t>& report) {
    {
        std::lock_guard lock(mutex_);
        if (destroyed_) {
            return false;
        }
    }
    if (report.size() > UHID_DATA_MAX) {
        return false;
    }
    uhid_event ev{};
    ev.type = UHID_INPUT2;
    ev.u.input2.size = static_cast<__u16>(report.size());
    std::memcpy(ev.u.input2.data, report.data(), report.size());
    return WriteEvent(&ev, sizeof(ev));
}

void UhidDevice::Serve() {
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            if (fds[0].revents != 0) {
                return;
            }
            continue;
        }
        uhid_event ev{};
        const ssize_t n = ::read(fd_, &ev, sizeof(ev));
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            return;
        }
        switch (ev.type) {
        case UHID_OPEN:
        case UHID_CLOSE: {
            int count = 0;
            {
                std::lock_guard lock(mutex_);
                openCount_ += ev.type == UHID_OPEN ? 1 : -1;
                count = openCount_;
                changed_.notify_all();
            }
            if (config_.onOpenChange) {
                config_.onOpenChange(count);
            }
            break;
        }
        case UHID_OUTPUT: {
            const std::size_t size = std::min<std::size_t>(ev.u.output.size, UHID_DATA_MAX);
            std::vector<std::uint8_t> report(ev.u.output.data, ev.u.output.data + size);
            if (config_.onOutput) {
                if (ev.u.output.rtype == UHID_OUTPUT_REPORT) {
                    config_.onOutput(*this, report);
                }
                break;
            }
            if (config_.echoOutputs && ev.u.output.rtype == UHID_OUTPUT_REPORT) {
                uhid_event reply{};
                reply.type = UHID_INPUT2;
                reply.u.input2.size = static_cast<__u16>(size);
                std::memcpy(reply.u.input2.data, report.data(), size);
                WriteEvent(&reply, sizeof(reply));
            }
            std::lock_guard lock(mutex_);
            outputs_.push_back(std::move(report));
            changed_.notify_all();
            break;
        }
        case UHID_GET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = ev.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            WriteEvent(&reply, sizeof(reply));
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = ev.u.set_report.id;
            reply.u.set_report_reply.err = EIO;
            WriteEvent(&reply, sizeof(reply));
            break;
        }
        default:
            break;
        }
    }
}

std::string UhidDevice::HidrawSysfsPath() const {
    const std::string base = "/sys/class/hidraw";
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    const std::string wanted = "HID_UNIQ=" + config_.uniq + "\n";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("hidraw", 0) != 0) {
            continue;
        }
        const std::string uevent = ReadFile(base + "/" + name + "/device/uevent");
        if (uevent.find(wanted) != std::string::npos) {
            found = base + "/" + name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string UhidDevice::WaitForHidrawNode(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::string sys = HidrawSysfsPath();
        if (!sys.empty()) {
            const std::string node = "/dev/" + sys.substr(sys.rfind('/') + 1);
            if (::access(node.c_str(), F_OK) == 0) {
                return node;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<std::vector<std::uint8_t>> UhidDevice::Outputs() const {
    std::lock_guard lock(mutex_);
    return outputs_;
}

bool UhidDevice::WaitForOutputs(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return outputs_.size() >= count; });
}

int UhidDevice::OpenCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

bool UhidDevice::WaitForOpenCount(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return openCount_ == count; });
}

std::vector<std::uint8_t> UhidDevice::NumberedDescriptor(std::uint8_t reportBytes) {
    return {
        0x06, 0x00,        0xFF, // Usage Page (vendor defined 0xFF00)
        0x09, 0x01,              // Usage (1)
        0xA1, 0x01,              // Collection (Application)
        0x85, 0x01,              //   Report ID (1)
        0x15, 0x00,              //   Logical Minimum (0)
        0x26, 0xFF,        0x00, //   Logical Maximum (255)
        0x75, 0x08,              //   Report Size (8)
        0x95, reportBytes,       //   Report Count
        0x09, 0x01,              //   Usage (1)
        0x81, 0x02,              //   Input (Data, Var, Abs)
        0x95, reportBytes,       //   Report Count
        0x09, 0x01,              //   Usage (1)
        0x91, 0x02,              //   Output (Data, Var, Abs)
        0xC0,                    // End Collection
    };
}

std::vector<std::uint8_t> UhidDevice::UnnumberedDescriptor(std::uint8_t reportBytes) {
    return {
        0x06, 0x00,        0xFF, // Usage Page (vendor defined 0xFF00)
        0x09, 0x02,              // Usage (2)
        0xA1, 0x01,              // Collection (Application)
        0x15, 0x00,              //   Logical Minimum (0)
        0x26, 0xFF,        0x00, //   Logical Maximum (255)
        0x75, 0x08,              //   Report Size (8)
        0x95, reportBytes,       //   Report Count
        0x09, 0x02,              //   Usage (2)
        0x81, 0x02,              //   Input (Data, Var, Abs)
        0x95, reportBytes,       //   Report Count
        0x09, 0x02,              //   Usage (2)
        0x91, 0x02,              //   Output (Data, Var, Abs)
        0xC0,                    // End Collection
    };
}
