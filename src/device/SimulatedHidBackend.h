#pragma once
// In-memory HID devices that tests and the controller emulator script: plug and
// unplug, product string, report lengths, query-only devices, open failures,
// input reports, and a peer that answers every write.
//
// Thread-safe: tests script from their own thread while readers read.
// As with the kernel's hidraw nodes, every handle opened for reading gets its
// own copy of each input report; reports that arrive while no reader is open
// are kept for the first one. NewClient gives a second, independent user of
// the same devices (as another program would be), with notifications of its
// own, for a second HID controller on another thread.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "HidBackend.h"

class SimulatedHidBackend : public HidBackend {
public:
    using DeviceId = int;

    struct DeviceSpec {
        std::u16string ProductString;
        bool ProductStringReadable = true;
        std::u16string SerialNumber; // empty: the device has none
        std::string Port;            // the USB port it is listed with
        std::uint16_t VendorID = 0x1A2B;
        std::uint16_t ProductID = 0x000C;
        std::uint16_t VersionNumber = 0x0100;
        std::uint16_t InputReportByteLength = 65;
        std::uint16_t OutputReportByteLength = 65;
        bool CapsReadable = true;
        bool AttributesReadable = true;
        bool QueryOnly = false;  // read-write opening is refused (no access rights)
        bool OpenFails = false;  // no opening at all
        bool ReadFails = false;  // opening for reading is refused
        bool WriteFails = false; // writes are refused
        // How long each write takes before the device sees it, as a USB
        // transfer does (benchmarks of several controllers at once).
        std::chrono::microseconds WriteLatency{0};
    };

    // The peer sees every written report (on the writing thread, no lock held)
    // and may answer with InjectReport.
    using Peer = std::function<void(DeviceId id, const std::vector<std::uint8_t>& report)>;

    SimulatedHidBackend() = default;
    ~SimulatedHidBackend() override;

    // Another user of backend's devices: opens, reads and writes them, and is
    // told of every plug and unplug through its own listener and pending
    // notifications, so the two never take each other's.
    // holderName: how its holds of a device are named to others (TryLock).
    static std::shared_ptr<HidBackend> NewClient(std::shared_ptr<SimulatedHidBackend> backend,
                                                 std::string holderName = "another session");

    // How this back end's own holds of a device are named to its clients.
    void SetHolderName(std::string name);

    void SetAvailable(bool available);
    // Adds a present device and raises a notification; returns its id.
    DeviceId Plug(const DeviceSpec& setup);
    // Removes the device: its handles fail from now on; raises a notification.
    void Unplug(DeviceId id);
    // The device resets (resume, a firmware reset): its open handles fail
    // from now on, its interface is reported removed, and it is back at once
    // under the same node and path; raises a notification.
    void Reset(DeviceId id);
    // Raises a notification without changing anything.
    void Touch();
    bool IsPlugged(DeviceId id) const;
    std::string PathOf(DeviceId id) const;
    std::vector<DeviceId> PluggedDevices() const;

    // Queues one input report (byte 0 = the report identifier) for every
    // handle reading the device.
    void InjectReport(DeviceId id, std::vector<std::uint8_t> report);
    // The input reports queued and not yet read (counted once per reader).
    std::size_t PendingReports(DeviceId id) const;
    void SetPeer(DeviceId id, Peer peer);
    // The reports written to the device, in order: all of them up to
    // WrittenHistory, then the last WrittenHistory. The history is bounded so
    // that a long run (the demo's chart polls 40 times a second) does not
    // grow without end.
    static constexpr std::size_t WrittenHistory = 65536;
    std::vector<std::vector<std::uint8_t>> Written(DeviceId id) const;
    // Handles open on the device now, by mode.
    int OpenHandles(DeviceId id, HidOpenMode mode) const;
    // Called with the path before every Open, without the lock held (may Unplug).
    void SetOpenHook(std::function<void(const std::string& path)> hook);
    // Reads started so far (Read calls on any device).
    std::uint64_t ReadCalls() const;
    // Product and serial number string requests made of the device so far.
    int StringReads(DeviceId id) const;

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
    int NotificationFd() const override { return -1; }
    void SetNotificationListener(std::function<void()> listener) override;
    bool TakeNotifications() override;
    std::vector<std::string> TakeRemovedPaths() override;
    // Holds are kept per path for this back end and its clients together, as
    // the system keeps them for processes.
    std::unique_ptr<DeviceLock> TryLock(const std::string& path, std::string& holder) override;

private:
    struct LockTable {
        std::mutex mutex;
        std::map<std::string, std::string> holders; // path -> the name of its holder
    };
    class Hold;
    std::unique_ptr<DeviceLock> TryLockAs(const std::string& path, const std::string& name,
                                          std::string& holder);

    class Waker;
    class Client;
    struct Device {
        DeviceSpec setup;
        std::uint32_t devInst = 0;
        std::string path;
        bool plugged = true;
        int generation = 0; // handles of an earlier one fail
        int stringReads = 0;
        std::deque<std::vector<std::uint8_t>> input;   // while nobody reads it
        std::deque<std::vector<std::uint8_t>> written; // the last WrittenHistory
        Peer peer;
    };
    struct Handle {
        DeviceId device;
        HidOpenMode mode;
        int generation = 0;
        std::deque<std::vector<std::uint8_t>> input; // a reading handle's own reports
    };
    Device* FindLocked(DeviceId id);
    const Device* FindLocked(DeviceId id) const;
    const Device* DeviceOfLocked(HidHandle handle, const Handle** h = nullptr) const;
    void RaiseNotification();

    mutable std::mutex mutex_;
    std::shared_ptr<LockTable> locks_ = std::make_shared<LockTable>();
    std::string holderName_ = "a session";
    std::condition_variable changed_;
    bool available_ = true;
    std::map<DeviceId, Device> devices_;
    std::map<HidHandle, Handle> handles_;
    DeviceId nextId_ = 1;
    HidHandle nextHandle_ = 1;
    std::uint32_t nextDevInst_ = 0x1000;
    unsigned pendingNotifications_ = 0;
    std::uint64_t readCalls_ = 0;
    std::vector<std::string> removedPaths_;
    std::function<void()> listener_;
    std::vector<Client*> clients_;
    std::function<void(const std::string&)> openHook_;
};
