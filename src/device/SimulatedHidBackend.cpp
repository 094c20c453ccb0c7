#include "SimulatedHidBackend.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>

class SimulatedHidBackend::Waker : public HidWaker {
public:
    explicit Waker(SimulatedHidBackend& backend) : backend_(backend) {}
    void Raise() override {
        {
            std::lock_guard lock(backend_.mutex_);
            ++raised_;
        }
        backend_.changed_.notify_all();
    }
    bool Sleep(int milliseconds) override {
        std::unique_lock lock(backend_.mutex_);
        auto raised = [&] { return raised_ > 0; };
        const bool woken =
            milliseconds < 0
                ? (backend_.changed_.wait(lock, raised), true)
                : backend_.changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), raised);
        if (woken) {
            raised_ = 0;
        }
        return woken;
    }
    // Lock held.
    bool TakeLocked() {
        if (raised_ == 0) {
            return false;
        }
        raised_ = 0;
        return true;
    }
    bool RaisedLocked() const { return raised_ > 0; }

private:
    SimulatedHidBackend& backend_;
    unsigned raised_ = 0; // guarded by the backend's mutex
};

// A second user of the devices: everything goes to the backend, except the
// notifications, which it keeps for itself.
class SimulatedHidBackend::Client : public HidBackend {
public:
    Client(std::shared_ptr<SimulatedHidBackend> backend, std::string holderName)
        : backend_(std::move(backend)), holderName_(std::move(holderName)) {
        std::lock_guard lock(backend_->mutex_);
        backend_->clients_.push_back(this);
    }
    ~Client() override {
        std::lock_guard lock(backend_->mutex_);
        auto& clients = backend_->clients_;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool Available() const override { return backend_->Available(); }
    std::vector<HidInterfaceInfo> ListInterfaces() override { return backend_->ListInterfaces(); }
    HidHandle Open(const std::string& path, HidOpenMode mode) override {
        return backend_->Open(path, mode);
    }
    void Close(HidHandle handle) override { backend_->Close(handle); }
    bool GetAttributes(HidHandle handle, HidAttributes& attributes) override {
        return backend_->GetAttributes(handle, attributes);
    }
    bool GetProductString(HidHandle handle, std::u16string& text) override {
        return backend_->GetProductString(handle, text);
    }
    bool GetSerialNumberString(HidHandle handle, std::u16string& text) override {
        return backend_->GetSerialNumberString(handle, text);
    }
    bool GetCaps(HidHandle handle, HidCaps& caps) override {
        return backend_->GetCaps(handle, caps);
    }
    bool Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
               std::size_t& written) override {
        return backend_->Write(handle, buffer, length, written);
    }
    std::unique_ptr<HidWaker> CreateWaker() override { return backend_->CreateWaker(); }
    HidReadStatus Read(HidHandle handle, std::uint8_t* buffer, std::size_t length, HidWaker& waker,
                       std::size_t& count) override {
        return backend_->Read(handle, buffer, length, waker, count);
    }
    int NotificationFd() const override { return -1; }
    void SetNotificationListener(std::function<void()> listener) override {
        std::lock_guard lock(backend_->mutex_);
        listener_ = std::move(listener);
    }
    bool TakeNotifications() override {
        std::lock_guard lock(backend_->mutex_);
        const bool any = pending_ > 0;
        pending_ = 0;
        return any;
    }
    std::unique_ptr<DeviceLock> TryLock(const std::string& path, std::string& holder) override {
        return backend_->TryLockAs(path, holderName_, holder);
    }
    // Backend's lock held: counts the change and gives the listener to call.
    std::function<void()> RaiseLocked() {
        ++pending_;
        return listener_;
    }

private:
    std::shared_ptr<SimulatedHidBackend> backend_;
    std::string holderName_;
    std::function<void()> listener_; // guarded by the backend's mutex
    unsigned pending_ = 0;
};

SimulatedHidBackend::~SimulatedHidBackend() = default;

class SimulatedHidBackend::Hold : public DeviceLock {
public:
    Hold(std::shared_ptr<LockTable> table, std::string path)
        : table_(std::move(table)), path_(std::move(path)) {}
    ~Hold() override {
        std::lock_guard lock(table_->mutex);
        table_->holders.erase(path_);
    }

private:
    std::shared_ptr<LockTable> table_;
    std::string path_;
};

std::unique_ptr<DeviceLock> SimulatedHidBackend::TryLockAs(const std::string& path,
                                                           const std::string& name,
                                                           std::string& holder) {
    std::lock_guard lock(locks_->mutex);
    const auto [at, taken] = locks_->holders.emplace(path, name);
    if (!taken) {
        holder = at->second;
        return nullptr;
    }
    holder.clear();
    return std::make_unique<Hold>(locks_, path);
}

std::unique_ptr<DeviceLock> SimulatedHidBackend::TryLock(const std::string& path,
                                                         std::string& holder) {
    std::string name;
    {
        std::lock_guard lock(mutex_);
        name = holderName_;
    }
    return TryLockAs(path, name, holder);
}

void SimulatedHidBackend::SetHolderName(std::string name) {
    std::lock_guard lock(mutex_);
    holderName_ = std::move(name);
}

std::shared_ptr<HidBackend>
SimulatedHidBackend::NewClient(std::shared_ptr<SimulatedHidBackend> backend,
                               std::string holderName) {
    return std::make_shared<Client>(std::move(backend), std::move(holderName));
}

void SimulatedHidBackend::SetAvailable(bool available) {
    std::lock_guard lock(mutex_);
    available_ = available;
}

SimulatedHidBackend::DeviceId SimulatedHidBackend::Plug(const DeviceSpec& setup) {
    DeviceId id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        Device& d = devices_[id];
        d.setup = setup;
        d.devInst = nextDevInst_++;
        d.path = "sim:hidraw" + std::to_string(id);
    }
    RaiseNotification();
    return id;
}

void SimulatedHidBackend::Reset(DeviceId id) {
    {
        std::lock_guard lock(mutex_);
        Device* d = FindLocked(id);
        if (d == nullptr || !d->plugged) {
            return;
        }
        ++d->generation;
        d->input.clear();
        for (auto& [handle, h] : handles_) {
            (void)handle;
            if (h.device == id) {
                h.input.clear(); // the handles of the device before the reset read nothing more
            }
        }
        removedPaths_.push_back(d->path);
    }
    changed_.notify_all();
    RaiseNotification();
}

void SimulatedHidBackend::Unplug(DeviceId id) {
    {
        std::lock_guard lock(mutex_);
        Device* d = FindLocked(id);
        if (d == nullptr) {
            return;
        }
        d->plugged = false;
        d->input.clear();
        for (auto& [handle, h] : handles_) {
            (void)handle;
            if (h.device == id) {
                h.input.clear();
            }
        }
    }
    changed_.notify_all();
    RaiseNotification();
}

void SimulatedHidBackend::Touch() {
    RaiseNotification();
}

void SimulatedHidBackend::RaiseNotification() {
    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard lock(mutex_);
        ++pendingNotifications_;
        listeners.push_back(listener_);
        for (Client* client : clients_) {
            listeners.push_back(client->RaiseLocked());
        }
    }
    for (const auto& listener : listeners) {
        if (listener) {
            listener();
        }
    }
}

bool SimulatedHidBackend::IsPlugged(DeviceId id) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(id);
    return d != nullptr && d->plugged;
}

std::string SimulatedHidBackend::PathOf(DeviceId id) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(id);
    return d != nullptr ? d->path : std::string();
}

std::vector<SimulatedHidBackend::DeviceId> SimulatedHidBackend::PluggedDevices() const {
    std::lock_guard lock(mutex_);
    std::vector<DeviceId> ids;
    for (const auto& [id, d] : devices_) {
        if (d.plugged) {
            ids.push_back(id);
        }
    }
    return ids;
}

void SimulatedHidBackend::InjectReport(DeviceId id, std::vector<std::uint8_t> report) {
    {
        std::lock_guard lock(mutex_);
        Device* d = FindLocked(id);
        if (d == nullptr || !d->plugged) {
            return;
        }
        bool read = false;
        for (auto& [handle, h] : handles_) {
            (void)handle;
            if (h.device == id && h.mode == HidOpenMode::Read && h.generation == d->generation) {
                h.input.push_back(report);
                read = true;
            }
        }
        if (!read) {
            d->input.push_back(std::move(report));
        }
    }
    changed_.notify_all();
}

std::size_t SimulatedHidBackend::PendingReports(DeviceId id) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(id);
    if (d == nullptr) {
        return 0;
    }
    std::size_t count = d->input.size();
    for (const auto& [handle, h] : handles_) {
        (void)handle;
        if (h.device == id) {
            count += h.input.size();
        }
    }
    return count;
}

void SimulatedHidBackend::SetPeer(DeviceId id, Peer peer) {
    std::lock_guard lock(mutex_);
    if (Device* d = FindLocked(id)) {
        d->peer = std::move(peer);
    }
}

std::vector<std::vector<std::uint8_t>> SimulatedHidBackend::Written(DeviceId id) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(id);
    return d != nullptr
               ? std::vector<std::vector<std::uint8_t>>(d->written.begin(), d->written.end())
               : std::vector<std::vector<std::uint8_t>>{};
}

int SimulatedHidBackend::OpenHandles(DeviceId id, HidOpenMode mode) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(handles_.begin(), handles_.end(), [&](const auto& h) {
        return h.second.device == id && h.second.mode == mode;
    }));
}

void SimulatedHidBackend::SetOpenHook(std::function<void(const std::string&)> hook) {
    std::lock_guard lock(mutex_);
    openHook_ = std::move(hook);
}

int SimulatedHidBackend::StringReads(DeviceId id) const {
    std::lock_guard lock(mutex_);
    const Device* d = FindLocked(id);
    return d != nullptr ? d->stringReads : 0;
}

std::vector<std::string> SimulatedHidBackend::TakeRemovedPaths() {
    std::lock_guard lock(mutex_);
    return std::exchange(removedPaths_, {});
}

std::uint64_t SimulatedHidBackend::ReadCalls() const {
    std::lock_guard lock(mutex_);
    return readCalls_;
}

bool SimulatedHidBackend::Available() const {
    std::lock_guard lock(mutex_);
    return available_;
}

std::vector<HidInterfaceInfo> SimulatedHidBackend::ListInterfaces() {
    std::lock_guard lock(mutex_);
    std::vector<HidInterfaceInfo> list;
    if (!available_) {
        return list;
    }
    for (const auto& [id, d] : devices_) {
        (void)id;
        if (d.plugged) {
            list.push_back({d.path, d.devInst, d.setup.Port});
        }
    }
    return list;
}

HidHandle SimulatedHidBackend::Open(const std::string& path, HidOpenMode mode) {
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard lock(mutex_);
        hook = openHook_;
    }
    if (hook) {
        hook(path);
    }
    std::lock_guard lock(mutex_);
    for (auto& [id, d] : devices_) {
        if (d.path != path || !d.plugged) {
            continue;
        }
        if (d.setup.OpenFails || (mode == HidOpenMode::ReadWrite && d.setup.QueryOnly) ||
            (mode == HidOpenMode::Read && (d.setup.QueryOnly || d.setup.ReadFails))) {
            errno = EACCES;
            return InvalidHidHandle;
        }
        const HidHandle handle = nextHandle_++;
        Handle& h = handles_[handle];
        h.device = id;
        h.mode = mode;
        h.generation = d.generation;
        if (mode == HidOpenMode::Read) {
            // The first reader gets what came while nobody read.
            h.input = std::move(d.input);
            d.input.clear();
        }
        return handle;
    }
    errno = ENOENT;
    return InvalidHidHandle;
}

void SimulatedHidBackend::Close(HidHandle handle) {
    {
        std::lock_guard lock(mutex_);
        handles_.erase(handle);
    }
    changed_.notify_all();
}

SimulatedHidBackend::Device* SimulatedHidBackend::FindLocked(DeviceId id) {
    auto it = devices_.find(id);
    return it != devices_.end() ? &it->second : nullptr;
}

const SimulatedHidBackend::Device* SimulatedHidBackend::FindLocked(DeviceId id) const {
    auto it = devices_.find(id);
    return it != devices_.end() ? &it->second : nullptr;
}

const SimulatedHidBackend::Device* SimulatedHidBackend::DeviceOfLocked(HidHandle handle,
                                                                       const Handle** h) const {
    auto it = handles_.find(handle);
    if (it == handles_.end()) {
        return nullptr;
    }
    if (h != nullptr) {
        *h = &it->second;
    }
    const Device* d = FindLocked(it->second.device);
    return d != nullptr && d->plugged && d->generation == it->second.generation ? d : nullptr;
}

bool SimulatedHidBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    std::lock_guard lock(mutex_);
    const Device* d = DeviceOfLocked(handle);
    if (d == nullptr || !d->setup.AttributesReadable) {
        return false;
    }
    attributes.VendorID = d->setup.VendorID;
    attributes.ProductID = d->setup.ProductID;
    attributes.VersionNumber = d->setup.VersionNumber;
    return true;
}

bool SimulatedHidBackend::GetProductString(HidHandle handle, std::u16string& text) {
    std::lock_guard lock(mutex_);
    const Device* d = DeviceOfLocked(handle);
    if (d != nullptr) {
        ++FindLocked(handles_.at(handle).device)->stringReads;
    }
    if (d == nullptr || !d->setup.ProductStringReadable) {
        return false;
    }
    text = d->setup.ProductString;
    return true;
}

bool SimulatedHidBackend::GetSerialNumberString(HidHandle handle, std::u16string& text) {
    std::lock_guard lock(mutex_);
    const Device* d = DeviceOfLocked(handle);
    if (d != nullptr) {
        ++FindLocked(handles_.at(handle).device)->stringReads;
    }
    if (d == nullptr || d->setup.SerialNumber.empty()) {
        return false;
    }
    text = d->setup.SerialNumber;
    return true;
}

bool SimulatedHidBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    std::lock_guard lock(mutex_);
    const Device* d = DeviceOfLocked(handle);
    if (d == nullptr || !d->setup.CapsReadable) {
        return false;
    }
    caps.InputReportByteLength = d->setup.InputReportByteLength;
    caps.OutputReportByteLength = d->setup.OutputReportByteLength;
    return true;
}

bool SimulatedHidBackend::Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
                                std::size_t& written) {
    written = 0;
    Peer peer;
    DeviceId id = 0;
    std::chrono::microseconds latency{0};
    std::vector<std::uint8_t> report(buffer, buffer + length);
    {
        std::lock_guard lock(mutex_);
        const Handle* h = nullptr;
        const Device* d = DeviceOfLocked(handle, &h);
        if (d == nullptr || h->mode != HidOpenMode::ReadWrite || d->setup.WriteFails) {
            return false;
        }
        id = h->device;
        Device* device = FindLocked(id);
        if (device->written.size() == WrittenHistory) {
            device->written.pop_front();
        }
        device->written.push_back(report);
        peer = d->peer;
        latency = d->setup.WriteLatency;
    }
    if (latency.count() > 0) {
        std::this_thread::sleep_for(latency);
    }
    written = length;
    if (peer) {
        peer(id, report);
    }
    return true;
}

std::unique_ptr<HidWaker> SimulatedHidBackend::CreateWaker() {
    return std::make_unique<Waker>(*this);
}

HidReadStatus SimulatedHidBackend::Read(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                                        HidWaker& waker, std::size_t& count) {
    count = 0;
    auto& simWaker = static_cast<Waker&>(waker);
    std::unique_lock lock(mutex_);
    ++readCalls_;
    for (;;) {
        const Handle* h = nullptr;
        const Device* d = DeviceOfLocked(handle, &h);
        if (d == nullptr || h->mode != HidOpenMode::Read) {
            return HidReadStatus::Failed;
        }
        if (simWaker.TakeLocked()) {
            return HidReadStatus::Woken;
        }
        auto& input = handles_.find(handle)->second.input;
        if (!input.empty()) {
            const auto report = std::move(input.front());
            input.pop_front();
            count = std::min(report.size(), length);
            if (count > 0) {
                std::memcpy(buffer, report.data(), count);
            }
            return HidReadStatus::Report;
        }
        changed_.wait(lock);
    }
}

void SimulatedHidBackend::SetNotificationListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

bool SimulatedHidBackend::TakeNotifications() {
    std::lock_guard lock(mutex_);
    const bool any = pendingNotifications_ > 0;
    pendingNotifications_ = 0;
    return any;
}
