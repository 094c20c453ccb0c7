#pragma once
// HID over the Linux kernel's hidraw interface: devices are listed and
// followed with libudev (subsystem "hidraw"), identified from sysfs, and read
// and written through /dev/hidrawN.
//
// InterfacePath is the device node; DevInst is the sequence number of the
// kernel's HID device (new for every plug). The product string is the USB
// device's "product" attribute, or HID_NAME without a USB parent; vendor and
// product come from HID_ID, the version from the USB parent's "bcdDevice",
// the serial number from HID_UNIQ (else the USB parent's "serial"). The port
// is the USB device's bus and port chain ("1-2.3"), or HID_PHYS without one.
// Report lengths are computed from sysfs "report_descriptor". A device that
// cannot be opened read-write is opened with O_PATH for queries only. Writes
// are non-blocking and wait for the device at most HidWriteTimeoutMs (hidraw
// itself gives up after the USB stack's own 5 s).

#include <mutex>
#include <unordered_map>

#include "HidBackend.h"

struct udev;
struct udev_monitor;

class LinuxHidrawBackend : public HidBackend {
public:
    LinuxHidrawBackend();
    LinuxHidrawBackend(const LinuxHidrawBackend&) = delete;
    LinuxHidrawBackend& operator=(const LinuxHidrawBackend&) = delete;
    ~LinuxHidrawBackend() override;

    bool Available() const override;
    std::vector<HidInterfaceInfo> ListInterfaces() override;
    HidHandle Open(const std::string& path, HidOpenMode mode) override;
    void Close(HidHandle handle) override;
    bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
    bool GetProductString(HidHandle handle, std::u16string& text) override;
    bool GetSerialNumberString(HidHandle handle, std::u16string& text) override;
    bool GetCaps(HidHandle handle, HidCaps& caps) override;
    bool Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
               std::size_t& written) override;
    std::unique_ptr<HidWaker> CreateWaker() override;
    HidReadStatus Read(HidHandle handle, std::uint8_t* buffer, std::size_t length, HidWaker& waker,
                       std::size_t& count) override;
    int NotificationFd() const override;
    void SetNotificationListener(std::function<void()> listener) override;
    bool TakeNotifications() override;
    // The system's hold of the device (DeviceLock::TrySystem).
    std::unique_ptr<DeviceLock> TryLock(const std::string& path, std::string& holder) override {
        return DeviceLock::TrySystem(path, holder);
    }

    // Whether the monitor listens to the udev daemon (else to kernel events).
    bool MonitorsUdevDaemon() const { return monitorUdev_; }

private:
    struct Identity;
    bool Identify(HidHandle handle, Identity& identity) const;

    udev* udev_ = nullptr; // user-interface thread only
    udev_monitor* monitor_ = nullptr;
    bool monitorUdev_ = false;
    std::mutex mutex_;
    std::unordered_map<int, bool> readNumbered_; // read handle -> numbered reports
};
