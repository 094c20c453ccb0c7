#pragma once
// Owns the list of HID devices, rescans when the system reports a change of
// device nodes, offers the plugged devices to its owner and lets the owner
// claim a device and give it back (by destroying it).
//
// Everything runs on the user-interface thread. The back end and the
// dispatcher are shared with the device objects, so a held device stays
// usable after the controller is gone; release held devices before
// destroying the controller all the same, so no reader outlives it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HidBackend.h"
#include "HidEvents.h"
#include "HidStringCache.h"
#include "HidUiDispatcher.h"
#include "TJvHidDevice.h"

class TJvHidDeviceController {
public:
    static constexpr std::int32_t InitialNotification = -1;
    static constexpr std::int32_t DevNodesChanged = 7;

    // Posts itself the initial notification (processed when the dispatcher
    // runs posted calls), unless the back end has no HID support.
    TJvHidDeviceController(std::shared_ptr<HidBackend> backend,
                           std::shared_ptr<HidUiDispatcher> dispatcher);
    TJvHidDeviceController(const TJvHidDeviceController&) = delete;
    TJvHidDeviceController& operator=(const TJvHidDeviceController&) = delete;
    ~TJvHidDeviceController();

    // A device-node change notification with its parameter (-1: the initial
    // one). Ignored while the controller is processing one already; such a
    // notification causes one more rescan when the current one ends.
    void HandleNotification(std::int32_t param);
    // Called when the back end's notification descriptor is readable or its
    // listener ran: consumes the events and handles one notification.
    void CheckNotifications();

    void DeviceChange();
    int EnumerateDevices();
    // The claimed device, owned by the caller, or null.
    std::unique_ptr<TJvHidDevice> ClaimByIndex(int index);

    int Count() const { return static_cast<int>(list_.size()); }
    TJvHidDevice* Device(int index) const { return list_.at(static_cast<std::size_t>(index)); }
    bool HidSupported() const { return backend_->Available(); }
    bool InDeviceChange() const { return inDeviceChange_; }
    std::int32_t NotificationParam() const { return notificationParam_; }
    const std::string& Version() const { return version_; }

    // While loading, a new OnDeviceChange does not run DeviceChange at once.
    void SetLoading(bool loading) { loading_ = loading; }

    void SetOnArrival(TJvHidPlugEvent h) { onArrival_ = std::move(h); }
    void SetOnDeviceChange(TJvHidNotifyEvent h);
    void SetOnEnumerate(TJvHidEnumerateEvent h) { onEnumerate_ = std::move(h); }
    void SetOnDeviceData(TJvHidDataEvent h);
    void SetOnDeviceDataError(TJvHidDataErrorEvent h);
    void SetOnDeviceUnplug(TJvHidPlugEvent h);
    void SetOnRemoval(TJvHidPlugEvent h) { onRemoval_ = std::move(h); }
    const TJvHidDataEvent& OnDeviceData() const { return onDeviceData_; }
    const TJvHidDataErrorEvent& OnDeviceDataError() const { return onDeviceDataError_; }
    const TJvHidPlugEvent& OnDeviceUnplug() const { return onDeviceUnplug_; }

    int DevThreadSleepTime() const { return devThreadSleepTime_; }
    void SetDevThreadSleepTime(int milliseconds);

    const std::shared_ptr<HidBackend>& Backend() const { return backend_; }
    const std::shared_ptr<HidUiDispatcher>& Dispatcher() const { return dispatcher_; }

private:
    friend class TJvHidDevice;

    std::vector<std::unique_ptr<TJvHidDevice>> ScanPresentDevices();
    std::unique_ptr<TJvHidDevice> CreateDevice(std::unique_ptr<TJvHidPnPInfo> info);
    // From a device being destroyed: replaces or drops its list entry.
    void ReleaseEntry(TJvHidDevice& device, const TJvHidDataEvent& dataHandler,
                      const TJvHidPlugEvent& unplugHandler);
    void RunPendingNotification();

    TJvHidPlugEvent onArrival_;
    TJvHidNotifyEvent onDeviceChange_;
    TJvHidEnumerateEvent onEnumerate_;
    TJvHidDataEvent onDeviceData_;
    TJvHidDataErrorEvent onDeviceDataError_;
    TJvHidPlugEvent onDeviceUnplug_;
    TJvHidPlugEvent onRemoval_;
    int devThreadSleepTime_ = 100;
    std::string version_ = "1.0.35";
    // Unclaimed entries are owned by the controller (deleted by it); claimed
    // entries belong to their holder.
    std::vector<TJvHidDevice*> list_;
    // Strings of devices that cannot be a KX-RD4, per path.
    HidStringCache stringCache_;
    bool inDeviceChange_ = false;
    bool notificationPending_ = false;
    bool loading_ = false;
    bool destroying_ = false;
    std::int32_t notificationParam_ = 0;
    std::int32_t pendingParam_ = 0;
    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<HidUiDispatcher> dispatcher_;
    std::shared_ptr<TJvHidDeviceController*> self_; // lets posted calls see the controller is gone
};
