#pragma once
// One HID interface: identity, claim state, handles opened on demand, report
// lengths, the synchronous write and the reader that hands input reports to
// the data handler on the user-interface thread.
//
// Every member is for the user-interface thread. Destroying the object
// releases it: a claimed object goes back to its controller, which puts a
// fresh unclaimed object for a still plugged device at the same list index.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EControllerError.h"
#include "HidBackend.h"
#include "HidEvents.h"
#include "HidStringCache.h"
#include "HidUiDispatcher.h"
#include "TJvHidPnPInfo.h"

class TJvHidDeviceReadThread;

class TJvHidDevice {
public:
    static constexpr int DefaultReaderSleepTime = 100;
    static constexpr int MinReaderSleepTime = 10;
    static constexpr int MaxReaderSleepTime = 10000;
    static constexpr std::size_t MaxProductStringLength = 254;
    // After a write that the device let time out, writes fail at once for
    // this long: a 25 ms poll must not keep the user-interface thread waiting
    // on a device that takes nothing.
    static constexpr int StalledWriteRestMs = 3000;

    // Opens the device read-write (else query-only), reads its attributes and
    // closes it again. Throws EControllerError "Device cannot be opened" or
    // "Device cannot be identified".
    TJvHidDevice(std::unique_ptr<TJvHidPnPInfo> pnpInfo, TJvHidDeviceController* controller,
                 std::shared_ptr<HidBackend> backend, std::shared_ptr<HidUiDispatcher> dispatcher);
    TJvHidDevice(const TJvHidDevice&) = delete;
    TJvHidDevice& operator=(const TJvHidDevice&) = delete;
    // Releases the object (stops the reader first, serving hand-overs).
    ~TJvHidDevice();

    TJvHidDeviceController* Controller() const { return controller_; }
    const TJvHidPnPInfo& PnPInfo() const { return *pnpInfo_; }
    // The interface path the device was found at (kept when its PnP record
    // is handed on).
    const std::string& InterfacePath() const { return interfacePath_; }
    bool Plugged() const { return plugged_; }
    bool Claimed() const { return claimed_; }
    bool InEnumeration() const { return inEnumeration_; }
    // Plugged and either claimed or being offered: only then are handles opened.
    bool Accessible() const { return plugged_ && (claimed_ || inEnumeration_); }
    std::uint16_t VendorID() const { return vendorID_; }
    std::uint16_t ProductID() const { return productID_; }
    std::uint16_t VersionNumber() const { return versionNumber_; }
    bool ReadWriteAccess() const { return readWriteAccess_; }

    // Cached once read; empty while it cannot be read. At most 254 characters.
    // Of a device that cannot be a KX-RD4 (MayBeController false) the strings
    // are read once per interface path and kept by the controller for later
    // objects of the same device.
    std::u16string ProductString();
    // The serial number string, read once; empty when the device has none.
    std::u16string SerialNumberString();
    // Whether the device could be a KX-RD4: it has input reports and output
    // reports long enough for the messages (or its lengths cannot be read).
    bool MayBeController();
    // Report lengths; zero while they have never been readable.
    HidCaps Caps();

    // One write of length bytes, given up after HidWriteTimeoutMs; false when
    // the device is not accessible, cannot be opened, refuses the write or
    // does not take it in time (and then, for StalledWriteRestMs, at once). A
    // failed write closes the handle, so the next one opens the device anew.
    bool WriteReport(const std::uint8_t* buffer, std::size_t length, std::uint32_t& written);

    int ReaderSleepTime() const { return readerSleepTime_; }
    // Takes values from 10 to 10000 ms; ignores others.
    void SetReaderSleepTime(int milliseconds);

    const TJvHidDataEvent& DataHandler() const { return dataHandler_; }
    // Installs or removes the data handler; none stops the reader before the
    // slot is cleared, another handler keeps a running reader.
    void SetDataHandler(TJvHidDataEvent handler);
    const TJvHidDataErrorEvent& DataErrorHandler() const { return dataErrorHandler_; }
    void SetDataErrorHandler(TJvHidDataErrorEvent handler) {
        dataErrorHandler_ = std::move(handler);
    }
    const TJvHidPlugEvent& UnplugHandler() const { return unplugHandler_; }
    void SetUnplugHandler(TJvHidPlugEvent handler) { unplugHandler_ = std::move(handler); }

    bool HasReader() const { return reader_ != nullptr; }
    const TJvHidDeviceReadThread* Reader() const { return reader_.get(); }
    // Starts a reader if a data handler is set, the device is plugged,
    // claimed, read-write, has input reports and no reader yet.
    void StartReader();
    // Stops the reader and waits for it, serving hand-overs meanwhile. From
    // inside the device's own data handler the reader is told to stop and is
    // joined later. Destroying the device from inside its own data handler is
    // not allowed.
    void StopReader();

    // Closes every handle (an outstanding read ends), clears Plugged and calls
    // and clears the unplug handler.
    void MarkUnplugged();
    void CloseAllHandles();

private:
    friend class TJvHidDeviceController;
    friend class TJvHidDeviceReadThread;

    bool OpenMainHandle();
    // The controller's cache when the device is known not to be a KX-RD4.
    HidStringCache* StringCache();
    HidStringCache::Key CacheKey() const;
    void CloseMainHandle();
    void Deliver(const std::uint8_t* report, std::size_t count);
    void DeliverError(std::uint32_t error);
    std::unique_ptr<TJvHidPnPInfo> TakePnPInfo() { return std::move(pnpInfo_); }

    TJvHidDeviceController* controller_;
    // Declared before the reader, so they outlive it.
    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<HidUiDispatcher> dispatcher_;
    std::atomic<bool> plugged_{true};
    std::atomic<bool> claimed_{false};
    std::atomic<bool> inEnumeration_{false};
    HidHandle mainHandle_ = InvalidHidHandle;
    std::chrono::steady_clock::time_point writeRestUntil_{};
    // Bumped to close the reader's read handle; the reader owns that handle.
    std::atomic<std::uint32_t> readHandleEpoch_{0};
    std::uint16_t vendorID_ = 0;
    std::uint16_t productID_ = 0;
    std::uint16_t versionNumber_ = 0;
    std::unique_ptr<TJvHidPnPInfo> pnpInfo_;
    const std::string interfacePath_;
    std::u16string productString_;
    bool serialFetched_ = false;
    std::u16string serialNumber_;
    bool capsFetched_ = false;
    HidCaps caps_;
    std::atomic<int> readerSleepTime_{DefaultReaderSleepTime};
    TJvHidDataEvent dataHandler_;
    TJvHidDataErrorEvent dataErrorHandler_;
    TJvHidPlugEvent unplugHandler_;
    bool readWriteAccess_ = false;
    std::unique_ptr<TJvHidDeviceReadThread> reader_;
    // Readers stopped from inside their own delivery; joined later.
    std::vector<std::unique_ptr<TJvHidDeviceReadThread>> retired_;
    bool delivering_ = false; // the reader's report is being handled now
};
