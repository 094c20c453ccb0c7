// Checks that the guest kernel gives what the device link relies on: a uhid
// device becomes a hidraw node with the sysfs attributes and uevent
// properties, reports go both ways, unplugging is seen by an open node, and
// libudev lists the node from sysfs without a udev daemon.

#include "UhidDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <libudev.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

UhidDevice::Config KxRd4Config() {
    UhidDevice::Config c;
    c.name = "KX-RD4";
    c.vendor = 0x1A2B;
    c.product = 0x000C;
    c.descriptor = UhidDevice::NumberedDescriptor(64);
    return c;
}

} // namespace

TEST(KernelSmoke, UhidDeviceBecomesHidrawNodeWithAttributes) {
    UhidDevice dev(KxRd4Config());
    const std::string node = dev.WaitForHidrawNode(5s);
    ASSERT_FALSE(node.empty()) << "no hidraw node appeared (is hid-generic loaded?)";
    struct stat st {};
    ASSERT_EQ(::stat(node.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const std::string sys = dev.HidrawSysfsPath();
    const std::string uevent = ReadFile(sys + "/device/uevent");
    EXPECT_NE(uevent.find("HID_NAME=KX-RD4\n"), std::string::npos) << uevent;
    EXPECT_NE(uevent.find("HID_ID=0003:00001A2B:0000000C\n"), std::string::npos) << uevent;

    const std::string rd = ReadFile(sys + "/device/report_descriptor");
    const auto expected = UhidDevice::NumberedDescriptor(64);
    EXPECT_EQ(std::vector<std::uint8_t>(rd.begin(), rd.end()), expected);
}

TEST(KernelSmoke, OutputReportIsEchoedAsInputReport) {
    UhidDevice dev(KxRd4Config());
    const std::string node = dev.WaitForHidrawNode(5s);
    ASSERT_FALSE(node.empty());
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0) << std::strerror(errno);

    std::vector<std::uint8_t> out(65, 0);
    out[0] = 1;
    out[1] = 'd';
    out[64] = 0x5A;
    ASSERT_EQ(::write(fd, out.data(), out.size()), 65);
    ASSERT_TRUE(dev.WaitForOutputs(1, 2s));
    EXPECT_EQ(dev.Outputs().at(0), out);

    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    std::vector<std::uint8_t> in(256, 0);
    const ssize_t n = ::read(fd, in.data(), in.size());
    ASSERT_EQ(n, 65);
    in.resize(65);
    EXPECT_EQ(in, out);
    ::close(fd);
}

TEST(KernelSmoke, DestroyingDeviceWakesOpenNodeAndRemovesIt) {
    UhidDevice dev(KxRd4Config());
    const std::string node = dev.WaitForHidrawNode(5s);
    ASSERT_FALSE(node.empty());
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    dev.Destroy();

    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    std::uint8_t buf[65];
    EXPECT_LT(::read(fd, buf, sizeof(buf)), 0);
    ::close(fd);

    for (int i = 0; i < 200 && ::access(node.c_str(), F_OK) == 0; ++i) {
        ::usleep(5000);
    }
    EXPECT_NE(::access(node.c_str(), F_OK), 0) << node << " still exists";
}

TEST(KernelSmoke, LibudevListsHidrawNodeWithoutDaemon) {
    UhidDevice dev(KxRd4Config());
    const std::string node = dev.WaitForHidrawNode(5s);
    ASSERT_FALSE(node.empty());

    udev* u = udev_new();
    ASSERT_NE(u, nullptr);
    udev_enumerate* e = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(e, "hidraw");
    ASSERT_GE(udev_enumerate_scan_devices(e), 0);
    bool found = false;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
        udev_device* d = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
        if (d == nullptr) {
            continue;
        }
        const char* devnode = udev_device_get_devnode(d);
        if (devnode != nullptr && node == devnode) {
            found = true;
            udev_device* hid = udev_device_get_parent_with_subsystem_devtype(d, "hid", nullptr);
            ASSERT_NE(hid, nullptr);
            const char* name = udev_device_get_property_value(hid, "HID_NAME");
            EXPECT_STREQ(name, "KX-RD4");
            EXPECT_EQ(udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device"),
                      nullptr);
        }
        udev_device_unref(d);
    }
    udev_enumerate_unref(e);
    udev_unref(u);
    EXPECT_TRUE(found) << node << " not listed by libudev";
}
