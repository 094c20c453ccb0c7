#pragma once
// The operations the HID link needs of the platform, back-end neutral. The
// Linux back end goes through udev and hidraw; the simulated one keeps its
// devices in memory for tests and the controller emulator.
//
// Threads: ListInterfaces, Open, Close, the queries, Write and the
// notification calls are made on the user-interface thread. Open (read
// mode), Read, Close of a read handle, CreateWaker and the waker's methods are
// also made on reader threads; a back end must allow that concurrently.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DeviceLock.h"
#include "HidWaker.h"

// An open device handle. Back ends hand out values >= 0.
using HidHandle = std::intptr_t;
inline constexpr HidHandle InvalidHidHandle = -1;

// How long one write may take: a device that stops taking output reports
// gets its write cancelled after this and the write counts as failed, so the
// user-interface thread is never held longer.
inline constexpr int HidWriteTimeoutMs = 1000;

// How a device path is opened.
enum class HidOpenMode {
    ReadWrite, // synchronous reading and writing (writes and queries)
    QueryOnly, // no access rights: attributes, product string, capabilities
    Read,      // for the reader: waiting reads
};

// One present HID interface.
struct HidInterfaceInfo {
    std::string InterfacePath; // what Open takes
    std::uint32_t DevInst = 0; // same while the device stays plugged, new when plugged again
    // Where the device sits: the physical USB port path, the same when it is
    // plugged again into the same socket; empty when the system tells none.
    std::string Port;
};

struct HidAttributes {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};

// Report lengths in bytes, each counting the report identifier byte; 0 when
// the device has no report of that kind.
struct HidCaps {
    std::uint16_t InputReportByteLength = 0;
    std::uint16_t OutputReportByteLength = 0;
};

enum class HidReadStatus {
    Report, // a report was read (its count may be 0)
    Woken,  // the waker was raised before a report arrived (or, when the waker
            // cannot be raised, a wait slice ended: look at the stop request)
    Failed, // the handle is unusable (device gone, handle closed, I/O error)
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // False when the platform's HID services are missing: no devices and no
    // notifications then.
    virtual bool Available() const = 0;

    // The present HID interfaces, in a stable order.
    virtual std::vector<HidInterfaceInfo> ListInterfaces() = 0;

    // Opens an existing device; InvalidHidHandle on failure.
    virtual HidHandle Open(const std::string& path, HidOpenMode mode) = 0;
    virtual void Close(HidHandle handle) = 0;

    virtual bool GetAttributes(HidHandle handle, HidAttributes& attributes) = 0;
    // The product string as the device reports it (not yet cut to a length).
    virtual bool GetProductString(HidHandle handle, std::u16string& text) = 0;
    // The serial number string; false when the device has none.
    virtual bool GetSerialNumberString(HidHandle handle, std::u16string& text) = 0;
    virtual bool GetCaps(HidHandle handle, HidCaps& caps) = 0;

    // One write of length bytes (byte 0 is the report identifier); returns
    // when the device has taken it, or false after HidWriteTimeoutMs.
    virtual bool Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
                       std::size_t& written) = 0;

    // A waker for one reader; raising it ends a Read or Sleep at once.
    virtual std::unique_ptr<HidWaker> CreateWaker() = 0;

    // Waits for one input report on a handle opened with HidOpenMode::Read, or
    // until the waker is raised (which consumes the raise). The report is
    // stored with its identifier in byte 0; a device without numbered reports
    // gets a 0 put in front. count is the number of bytes stored (at most
    // length).
    virtual HidReadStatus Read(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                               HidWaker& waker, std::size_t& count) = 0;

    // Device-node change notification. A back end either offers a file
    // descriptor that becomes readable on a change (Linux), or calls the
    // listener from any thread (simulated); NotificationFd is -1 then.
    virtual int NotificationFd() const = 0;
    virtual void SetNotificationListener(std::function<void()> listener) = 0;
    // Consumes the pending change events; true if there was any.
    virtual bool TakeNotifications() = 0;

    // The interface paths the system reported removed since the last call.
    // A device back at once under the same DevInst (resume, a firmware reset
    // on the same port) is a new device all the same. Compare with SamePath.
    virtual std::vector<std::string> TakeRemovedPaths() { return {}; }
    virtual bool SamePath(const std::string& a, const std::string& b) const { return a == b; }

    // One try, without waiting, at the hold of the device at path for an
    // exchange that must not interleave with another writer's (DeviceLock).
    // nullptr when another holds it, holder then naming it. A back end
    // without holds gives one that holds nothing.
    virtual std::unique_ptr<DeviceLock> TryLock(const std::string& path, std::string& holder) {
        (void)path;
        holder.clear();
        return DeviceLock::Nothing();
    }
};
