#include "TJvHidDeviceController.h"

#include <algorithm>

namespace {
bool SameDevice(const TJvHidDevice& a, const TJvHidDevice& b) {
    return a.PnPInfo().DevInst == b.PnPInfo().DevInst;
}

// Clears a flag when the scope ends, also by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};
} // namespace

TJvHidDeviceController::TJvHidDeviceController(std::shared_ptr<HidBackend> backend,
                                               std::shared_ptr<HidUiDispatcher> dispatcher)
    : backend_(std::move(backend)), dispatcher_(std::move(dispatcher)),
      self_(std::make_shared<TJvHidDeviceController*>(this)) {
    if (!backend_->Available()) {
        return;
    }
    std::weak_ptr<TJvHidDeviceController*> weak = self_;
    std::weak_ptr<HidUiDispatcher> weakDispatcher = dispatcher_;
    backend_->SetNotificationListener([weak, weakDispatcher] {
        if (auto d = weakDispatcher.lock()) {
            d->Post([weak] {
                if (auto self = weak.lock()) {
                    (*self)->CheckNotifications();
                }
            });
        }
    });
    dispatcher_->Post([weak] {
        if (auto self = weak.lock()) {
            (*self)->HandleNotification(InitialNotification);
        }
    });
}

TJvHidDeviceController::~TJvHidDeviceController() {
    destroying_ = true;
    onDeviceChange_ = nullptr;
    onDeviceUnplug_ = nullptr;
    onEnumerate_ = nullptr;
    backend_->SetNotificationListener(nullptr);
    self_.reset();
    auto devices = std::move(list_);
    list_.clear();
    for (TJvHidDevice* device : devices) {
        device->controller_ = nullptr;
        if (device->Claimed()) {
            device->MarkUnplugged(); // stays with its holder
        } else {
            delete device;
        }
    }
}

void TJvHidDeviceController::HandleNotification(std::int32_t param) {
    if (destroying_) {
        return;
    }
    if (inDeviceChange_ || dispatcher_->InHandOver()) {
        // Not processed now (a rescan runs, or a report handler is running
        // and must not see its device released): one more rescan follows.
        const bool schedule = !notificationPending_ && !inDeviceChange_;
        pendingParam_ = (notificationPending_ && pendingParam_ == InitialNotification)
                            ? InitialNotification
                            : param;
        notificationPending_ = true;
        if (schedule) {
            std::weak_ptr<TJvHidDeviceController*> weak = self_;
            dispatcher_->PostAfterHandOver([weak] {
                if (auto self = weak.lock()) {
                    (*self)->RunPendingNotification();
                }
            });
        }
        return;
    }
    for (;;) {
        notificationParam_ = param;
        {
            FlagScope guard(inDeviceChange_);
            DeviceChange();
        }
        if (!notificationPending_ || destroying_) {
            break;
        }
        notificationPending_ = false;
        param = pendingParam_;
    }
}

void TJvHidDeviceController::RunPendingNotification() {
    if (notificationPending_ && !inDeviceChange_) {
        notificationPending_ = false;
        HandleNotification(pendingParam_);
    }
}

void TJvHidDeviceController::CheckNotifications() {
    if (backend_->TakeNotifications()) {
        HandleNotification(DevNodesChanged);
    }
}

std::unique_ptr<TJvHidDevice>
TJvHidDeviceController::CreateDevice(std::unique_ptr<TJvHidPnPInfo> info) {
    return std::make_unique<TJvHidDevice>(std::move(info), this, backend_, dispatcher_);
}

std::vector<std::unique_ptr<TJvHidDevice>> TJvHidDeviceController::ScanPresentDevices() {
    std::vector<std::unique_ptr<TJvHidDevice>> result;
    if (!backend_->Available()) {
        return result;
    }
    for (auto& info : backend_->ListInterfaces()) {
        try {
            result.push_back(CreateDevice(std::make_unique<TJvHidPnPInfo>(
                info.DevInst, std::move(info.InterfacePath), std::move(info.Port))));
        } catch (const EControllerError&) {
            // Gone since listed, or not identifiable: left out.
        }
    }
    return result;
}

void TJvHidDeviceController::DeviceChange() {
    bool changed = notificationParam_ == InitialNotification;
    // Taken before the scan: a removal reported meanwhile counts next time.
    const std::vector<std::string> removedPaths = backend_->TakeRemovedPaths();
    auto fresh = ScanPresentDevices();
    // A device whose interface the system reported removed is gone even if
    // the scan finds its node again (a firmware reset on the same port): its
    // handles are dead, so it comes back as a new object.
    const auto reportedRemoved = [&](const TJvHidDevice& device) {
        return std::any_of(removedPaths.begin(), removedPaths.end(), [&](const std::string& p) {
            return backend_->SamePath(p, device.InterfacePath());
        });
    };

    for (std::size_t i = list_.size(); i-- > 0;) {
        if (i >= list_.size()) {
            continue; // a handler shortened the list
        }
        TJvHidDevice* device = list_[i];
        const bool present = device->Plugged() && !reportedRemoved(*device) &&
                             std::any_of(fresh.begin(), fresh.end(),
                                         [&](const auto& f) { return SameDevice(*f, *device); });
        if (present) {
            continue;
        }
        device->MarkUnplugged();
        if (onRemoval_) {
            onRemoval_(*device);
        }
        if (!device->Claimed()) {
            const auto it = std::find(list_.begin(), list_.end(), device);
            if (it != list_.end()) {
                list_.erase(it);
            }
            delete device;
        }
        changed = true;
    }

    for (auto it = fresh.begin(); it != fresh.end();) {
        const bool listed = std::any_of(list_.begin(), list_.end(), [&](const TJvHidDevice* d) {
            return d->Plugged() && SameDevice(*d, **it);
        });
        if (listed) {
            (*it)->controller_ = nullptr;
            it = fresh.erase(it);
        } else {
            ++it;
        }
    }

    for (auto& device : fresh) {
        TJvHidDevice* added = device.release();
        list_.push_back(added);
        changed = true;
        if (onArrival_) {
            onArrival_(*added);
        }
    }

    if (changed && onDeviceChange_) {
        const TJvHidNotifyEvent handler = onDeviceChange_;
        handler(*this);
    }
}

int TJvHidDeviceController::EnumerateDevices() {
    const std::size_t n = list_.size();
    int offered = 0;
    for (std::size_t i = 0; i < n && i < list_.size(); ++i) {
        TJvHidDevice* device = list_[i];
        if (!device->Plugged()) {
            continue;
        }
        ++offered;
        bool more = false;
        if (onEnumerate_) {
            const TJvHidEnumerateEvent handler = onEnumerate_;
            device->inEnumeration_ = true;
            auto finish = [&] {
                // The handler may have claimed and released the object: look
                // at what the list holds at that index now.
                if (i < list_.size()) {
                    TJvHidDevice* now = list_[i];
                    now->inEnumeration_ = false;
                    if (!now->Claimed()) {
                        now->CloseAllHandles();
                    }
                }
            };
            try {
                more = handler(*device, static_cast<int>(i));
            } catch (...) {
                finish();
                throw;
            }
            finish();
        }
        if (!more) {
            break;
        }
    }
    return offered;
}

std::unique_ptr<TJvHidDevice> TJvHidDeviceController::ClaimByIndex(int index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    TJvHidDevice* device = list_[static_cast<std::size_t>(index)];
    if (device->Claimed()) {
        return nullptr;
    }
    device->claimed_ = true;
    device->StartReader();
    return std::unique_ptr<TJvHidDevice>(device);
}

void TJvHidDeviceController::ReleaseEntry(TJvHidDevice& device, const TJvHidDataEvent& dataHandler,
                                          const TJvHidPlugEvent& unplugHandler) {
    const auto it = std::find(list_.begin(), list_.end(), &device);
    if (it == list_.end()) {
        return;
    }
    const auto position = static_cast<std::size_t>(it - list_.begin());
    if (device.Plugged()) {
        try {
            auto fresh = CreateDevice(device.TakePnPInfo());
            fresh->SetDataHandler(dataHandler);
            fresh->unplugHandler_ = unplugHandler;
            fresh->readerSleepTime_ = device.ReaderSleepTime();
            list_[position] = fresh.release();
            return;
        } catch (const EControllerError&) {
            // Cannot be opened or identified any more: treated as unplugged.
        }
    }
    list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(position));
}

void TJvHidDeviceController::SetOnDeviceChange(TJvHidNotifyEvent h) {
    if (h == onDeviceChange_) {
        return;
    }
    onDeviceChange_ = std::move(h);
    if (!loading_ && !inDeviceChange_ && !destroying_) {
        FlagScope guard(inDeviceChange_);
        DeviceChange();
    }
}

void TJvHidDeviceController::SetOnDeviceData(TJvHidDataEvent h) {
    const TJvHidDataEvent previous = onDeviceData_;
    onDeviceData_ = h;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (list_[i]->DataHandler() == previous) {
            list_[i]->SetDataHandler(h);
        }
    }
}

void TJvHidDeviceController::SetOnDeviceDataError(TJvHidDataErrorEvent h) {
    const TJvHidDataErrorEvent previous = onDeviceDataError_;
    onDeviceDataError_ = h;
    for (TJvHidDevice* device : list_) {
        if (device->DataErrorHandler() == previous) {
            device->SetDataErrorHandler(h);
        }
    }
}

void TJvHidDeviceController::SetOnDeviceUnplug(TJvHidPlugEvent h) {
    const TJvHidPlugEvent previous = onDeviceUnplug_;
    onDeviceUnplug_ = h;
    for (TJvHidDevice* device : list_) {
        if (device->UnplugHandler() == previous) {
            device->SetUnplugHandler(h);
        }
    }
}

void TJvHidDeviceController::SetDevThreadSleepTime(int milliseconds) {
    const int previous = devThreadSleepTime_;
    devThreadSleepTime_ = milliseconds;
    for (TJvHidDevice* device : list_) {
        if (device->ReaderSleepTime() == previous) {
            device->SetReaderSleepTime(milliseconds);
        }
    }
}
