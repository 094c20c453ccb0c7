#include "WindowsHidBackend.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cwchar>
#include <utility>

#include "HidText.h"
#include "WindowsDeviceNotifier.h"
#include "WindowsHidApi.h"

namespace {

// The product string buffer: 254 UTF-16 characters.
constexpr ULONG ProductStringBytes = 508;
constexpr std::size_t ProductStringChars = ProductStringBytes / sizeof(WCHAR);

// How often a reader whose waker has no event looks at its stop request.
constexpr DWORD FallbackWakeSliceMs = 100;

// How long a removal query waits for a read to give its handle up.
constexpr auto ReleaseWait = std::chrono::seconds(2);
constexpr auto CancelRetry = std::chrono::milliseconds(20);

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

void Erase(std::vector<std::string>& list, const std::string& item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// At most this many removed paths wait for a scan to take them.
constexpr std::size_t MaxRemovedPaths = 256;

std::wstring WidePath(const std::string& path) {
    const std::u16string wide = HidText::Utf8ToUtf16(path);
    return std::wstring(wide.begin(), wide.end());
}

// The error of a failed open, as the reader reports it.
int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    default:
        return ENODEV;
    }
}

// Wakes a reader through an auto-reset event that its wait watches. Without
// an event (the system refused one) a raise cannot end a wait: the waits are
// then cut into slices so that a stop is still seen.
class EventWaker : public HidWaker {
public:
    EventWaker() : event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~EventWaker() override {
        if (event_ != nullptr) {
            ::CloseHandle(event_);
        }
    }
    EventWaker(const EventWaker&) = delete;
    EventWaker& operator=(const EventWaker&) = delete;

    void Raise() override {
        if (event_ != nullptr) {
            ::SetEvent(event_);
        }
    }
    bool Sleep(int milliseconds) override {
        const DWORD timeout = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
        if (event_ == nullptr) {
            ::Sleep(timeout == INFINITE ? FallbackWakeSliceMs : timeout);
            return false;
        }
        return ::WaitForSingleObject(event_, timeout) == WAIT_OBJECT_0;
    }
    HANDLE Event() const { return event_; }

private:
    HANDLE event_;
};

// Ends a pending overlapped request and waits until the system has let go of
// the buffer; true (with the count) if it had finished after all.
bool CancelRequest(HANDLE handle, OVERLAPPED& request, DWORD& transferred) {
    ::CancelIoEx(handle, &request);
    transferred = 0;
    return ::GetOverlappedResult(handle, &request, &transferred, TRUE) != FALSE;
}

std::string Utf8Of(const WCHAR* text, std::size_t capacity) {
    const std::size_t length = ::wcsnlen(text, capacity);
    return HidText::Utf16ToUtf8(std::u16string(text, text + length));
}

// The USB port a HID device node sits in: the location path of its USB device
// (above the interface node of a composite device), as the device manager
// shows it; the location information ("Port_#0002.Hub_#0001") where there is
// no path. Empty for a device that is not on USB or without the entry points.
std::string PortOf(const WindowsHidApi& api, DEVINST hidNode) {
    if (api.GetParent == nullptr || api.GetDeviceId == nullptr ||
        api.GetDevNodeProperty == nullptr) {
        return {};
    }
    DEVINST node = hidNode;
    bool usbDevice = false;
    for (int depth = 0; depth < 3 && !usbDevice; ++depth) {
        DEVINST parent = 0;
        WCHAR id[MAX_DEVICE_ID_LEN + 1] = {};
        if (api.GetParent(&parent, node, 0) != CR_SUCCESS ||
            api.GetDeviceId(parent, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) {
            return {};
        }
        node = parent;
        const std::wstring text(id, ::wcsnlen(id, MAX_DEVICE_ID_LEN));
        if (text.rfind(L"USB\\", 0) != 0) {
            return {};
        }
        usbDevice = text.find(L"&MI_") == std::wstring::npos;
    }
    if (!usbDevice) {
        return {};
    }
    for (const ULONG property :
         {ULONG(CM_DRP_LOCATION_PATHS), ULONG(CM_DRP_LOCATION_INFORMATION)}) {
        WCHAR value[512] = {};
        ULONG length = sizeof value - sizeof(WCHAR); // stays terminated
        if (api.GetDevNodeProperty(node, property, nullptr, value, &length, 0) == CR_SUCCESS) {
            // A list of paths: the first one.
            const std::string port = Utf8Of(value, sizeof value / sizeof(WCHAR));
            if (!port.empty()) {
                return port;
            }
        }
    }
    return {};
}

} // namespace

struct WindowsHidBackend::OpenHandle {
    HANDLE file = INVALID_HANDLE_VALUE;           // closed while its device's removal is pending
    HANDLE registeredFile = INVALID_HANDLE_VALUE; // as registered for removal queries
    HANDLE event = nullptr;                       // manual-reset, for overlapped requests
    HDEVNOTIFY registration = nullptr;
    std::string path;
    HidOpenMode mode = HidOpenMode::QueryOnly;
    int users = 0;     // reads or writes using file now
    bool gone = false; // its device was removed: it is not opened again
};

namespace {

HANDLE OpenFile(const std::string& path, HidOpenMode mode) {
    DWORD access = 0; // QueryOnly: no access rights needed
    DWORD flags = 0;
    if (mode == HidOpenMode::ReadWrite) {
        access = GENERIC_READ | GENERIC_WRITE;
        flags = FILE_FLAG_OVERLAPPED; // so that a write can be given up
    } else if (mode == HidOpenMode::Read) {
        access = GENERIC_READ;
        flags = FILE_FLAG_OVERLAPPED;
    }
    return ::CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, flags, nullptr);
}

} // namespace

WindowsHidBackend::WindowsHidBackend(std::shared_ptr<WindowsLibraryLoader> loader)
    : api_(std::make_unique<WindowsHidApi>(std::move(loader))) {}

WindowsHidBackend::~WindowsHidBackend() {
    SetNotificationListener(nullptr);
    for (auto& [handle, entry] : handles_) {
        if (entry->file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(entry->file);
        }
        if (entry->event != nullptr) {
            ::CloseHandle(entry->event);
        }
    }
}

bool WindowsHidBackend::Available() const {
    return api_->Loaded();
}

std::vector<HidInterfaceInfo> WindowsHidBackend::ListInterfaces() {
    std::vector<HidInterfaceInfo> list;
    if (!api_->Loaded()) {
        return list;
    }
    GUID hidClass{};
    api_->GetHidGuid(&hidClass);
    HDEVINFO set =
        api_->GetClassDevs(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return list;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!api_->EnumDeviceInterfaces(set, nullptr, &hidClass, index, &interfaceData)) {
            break;
        }
        DWORD needed = 0;
        if (api_->GetDeviceInterfaceDetail(set, &interfaceData, nullptr, 0, &needed, nullptr) ||
            ::GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
            needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            continue;
        }
        // Zeroed and aligned for the record; one more character keeps the
        // path terminated even if the service fills the whole record.
        std::vector<std::uint64_t> storage(needed / sizeof(std::uint64_t) + 2, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        SP_DEVINFO_DATA deviceData{};
        deviceData.cbSize = sizeof deviceData;
        if (!api_->GetDeviceInterfaceDetail(set, &interfaceData, detail, needed, nullptr,
                                            &deviceData)) {
            continue;
        }
        const std::size_t pathChars =
            (needed - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
        const std::size_t length = ::wcsnlen(detail->DevicePath, pathChars);
        const std::u16string path(detail->DevicePath, detail->DevicePath + length);
        if (!path.empty()) {
            list.push_back({HidText::Utf16ToUtf8(path), deviceData.DevInst,
                            PortOf(*api_, deviceData.DevInst)});
        }
    }
    api_->DestroyDeviceInfoList(set);
    return list;
}

HidHandle WindowsHidBackend::Open(const std::string& path, HidOpenMode mode) {
    if (path.empty()) {
        errno = ENOENT;
        return InvalidHidHandle;
    }
    void* window = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (Contains(heldOff_, LowerCase(path))) {
            errno = EACCES; // its removal is pending
            return InvalidHidHandle;
        }
        window = window_;
    }
    auto entry = std::make_unique<OpenHandle>();
    entry->path = path;
    entry->mode = mode;
    entry->file = OpenFile(path, mode);
    if (entry->file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return InvalidHidHandle;
    }
    if (mode != HidOpenMode::QueryOnly) {
        // A manual-reset event for the handle's overlapped requests.
        entry->event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (entry->event == nullptr) {
            ::CloseHandle(entry->file);
            errno = ENOMEM;
            return InvalidHidHandle;
        }
        // Query-only handles live for one query; the others are told when
        // their device is to be removed.
        entry->registeredFile = entry->file;
        entry->registration =
            WindowsDeviceNotifier::RegisterHandle(static_cast<HWND>(window), entry->file);
    }
    std::lock_guard lock(mutex_);
    const HidHandle handle = nextHandle_++;
    handles_[handle] = std::move(entry);
    return handle;
}

void WindowsHidBackend::Close(HidHandle handle) {
    std::unique_ptr<OpenHandle> entry;
    {
        std::lock_guard lock(mutex_);
        const auto it = handles_.find(handle);
        if (it == handles_.end()) {
            return;
        }
        entry = std::move(it->second);
        handles_.erase(it);
    }
    // Unregistered before the handle is closed.
    WindowsDeviceNotifier::Unregister(entry->registration);
    if (entry->file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(entry->file);
    }
    if (entry->event != nullptr) {
        ::CloseHandle(entry->event);
    }
}

void* WindowsHidBackend::FileOf(HidHandle handle) const {
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(handle);
    return it != handles_.end() && it->second->file != INVALID_HANDLE_VALUE ? it->second->file
                                                                            : nullptr;
}

void* WindowsHidBackend::SystemHandle(HidHandle handle) const {
    return FileOf(handle);
}

WindowsHidBackend::OpenHandle* WindowsHidBackend::BeginUse(HidHandle handle) {
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(handle);
    if (it == handles_.end() || it->second->file == INVALID_HANDLE_VALUE ||
        it->second->event == nullptr) {
        return nullptr;
    }
    ++it->second->users;
    return it->second.get();
}

void WindowsHidBackend::EndUse(HidHandle handle) {
    {
        std::lock_guard lock(mutex_);
        const auto it = handles_.find(handle);
        if (it != handles_.end()) {
            --it->second->users;
        }
    }
    idle_.notify_all();
}

bool WindowsHidBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    HANDLE file = FileOf(handle);
    if (!api_->Loaded() || file == nullptr) {
        return false;
    }
    HIDD_ATTRIBUTES record{};
    record.Size = sizeof record;
    if (!api_->GetAttributes(file, &record)) {
        return false;
    }
    attributes.VendorID = record.VendorID;
    attributes.ProductID = record.ProductID;
    attributes.VersionNumber = record.VersionNumber;
    return true;
}

bool WindowsHidBackend::GetProductString(HidHandle handle, std::u16string& text) {
    HANDLE file = FileOf(handle);
    if (!api_->Loaded() || file == nullptr) {
        return false;
    }
    WCHAR buffer[ProductStringChars] = {};
    if (!api_->GetProductString(file, buffer, ProductStringBytes)) {
        return false;
    }
    // Up to the first zero character; a string that fills the whole buffer
    // has none.
    const std::size_t length = ::wcsnlen(buffer, ProductStringChars);
    text.assign(buffer, buffer + length);
    return true;
}

bool WindowsHidBackend::GetSerialNumberString(HidHandle handle, std::u16string& text) {
    HANDLE file = FileOf(handle);
    if (!api_->Loaded() || api_->GetSerialNumberString == nullptr || file == nullptr) {
        return false;
    }
    WCHAR buffer[ProductStringChars] = {};
    if (!api_->GetSerialNumberString(file, buffer, ProductStringBytes)) {
        return false;
    }
    const std::size_t length = ::wcsnlen(buffer, ProductStringChars);
    text.assign(buffer, buffer + length);
    return !text.empty();
}

bool WindowsHidBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    HANDLE file = FileOf(handle);
    if (!api_->Loaded() || file == nullptr) {
        return false;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!api_->GetPreparsedData(file, &preparsed) || preparsed == nullptr) {
        return false;
    }
    HIDP_CAPS record{};
    const NTSTATUS status = api_->GetCaps(preparsed, &record);
    api_->FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) {
        return false;
    }
    caps.InputReportByteLength = record.InputReportByteLength;
    caps.OutputReportByteLength = record.OutputReportByteLength;
    return true;
}

bool WindowsHidBackend::Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
                              std::size_t& written) {
    written = 0;
    if (buffer == nullptr || length == 0 || length > MAXDWORD) {
        return false;
    }
    const OpenHandle* entry = BeginUse(handle);
    if (entry == nullptr) {
        return false;
    }
    HANDLE file = entry->file;
    OVERLAPPED request{};
    request.hEvent = entry->event;
    DWORD count = 0;
    bool ok = false;
    if (::WriteFile(file, buffer, static_cast<DWORD>(length), nullptr, &request)) {
        ok = ::GetOverlappedResult(file, &request, &count, FALSE) != FALSE;
    } else if (::GetLastError() == ERROR_IO_PENDING) {
        if (::WaitForSingleObject(request.hEvent, HidWriteTimeoutMs) == WAIT_OBJECT_0) {
            ok = ::GetOverlappedResult(file, &request, &count, FALSE) != FALSE;
        } else {
            // The device takes no report: give the write up, and wait until
            // the system has let go of the buffer. A write that finished just
            // now went out after all.
            ok = CancelRequest(file, request, count);
        }
    }
    EndUse(handle);
    if (ok) {
        written = count;
    }
    return ok;
}

std::unique_ptr<HidWaker> WindowsHidBackend::CreateWaker() {
    return std::make_unique<EventWaker>();
}

HidReadStatus WindowsHidBackend::Read(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                                      HidWaker& waker, std::size_t& count) {
    count = 0;
    if (length == 0 || length > MAXDWORD) {
        return HidReadStatus::Failed;
    }
    const OpenHandle* entry = BeginUse(handle);
    if (entry == nullptr) {
        return HidReadStatus::Failed;
    }
    HANDLE file = entry->file;
    HANDLE readEvent = entry->event;
    const HidReadStatus status = [&] {
        OVERLAPPED request{};
        request.hEvent = readEvent;
        ::ResetEvent(readEvent);
        // A HID read always starts with the report identifier (0 for a
        // device without numbered reports).
        if (!::ReadFile(file, buffer, static_cast<DWORD>(length), nullptr, &request) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            return HidReadStatus::Failed;
        }
        HANDLE wakeEvent = static_cast<EventWaker&>(waker).Event();
        HANDLE events[2] = {readEvent, wakeEvent};
        const DWORD waited = wakeEvent != nullptr
                                 ? ::WaitForMultipleObjects(2, events, FALSE, INFINITE)
                                 : ::WaitForSingleObject(readEvent, FallbackWakeSliceMs);
        DWORD transferred = 0;
        if (waited == WAIT_OBJECT_0) {
            if (!::GetOverlappedResult(file, &request, &transferred, FALSE)) {
                return HidReadStatus::Failed; // device gone, handle closed, I/O error
            }
            count = transferred;
            return HidReadStatus::Report;
        }
        // Woken, a wait slice ended, or the wait failed: the read must not
        // outlive this call, whose buffer and request it uses.
        if (CancelRequest(file, request, transferred)) {
            count = transferred; // it had finished after all
            return HidReadStatus::Report;
        }
        return waited == WAIT_FAILED ? HidReadStatus::Failed : HidReadStatus::Woken;
    }();
    EndUse(handle);
    return status;
}

int WindowsHidBackend::NotificationFd() const {
    return -1; // changes come through the listener
}

void WindowsHidBackend::SetNotificationListener(std::function<void()> listener) {
    listener_ = std::move(listener);
    if (!listener_) {
        if (notifier_) {
            // The handles' registrations go with the window.
            std::vector<HDEVNOTIFY> registrations;
            {
                std::lock_guard lock(mutex_);
                for (auto& [handle, entry] : handles_) {
                    registrations.push_back(std::exchange(entry->registration, nullptr));
                }
                window_ = nullptr;
            }
            for (HDEVNOTIFY registration : registrations) {
                WindowsDeviceNotifier::Unregister(registration);
            }
        }
        notifier_.reset();
        return;
    }
    if (notifier_ || !api_->Loaded()) {
        return;
    }
    GUID hidClass{};
    api_->GetHidGuid(&hidClass);
    WindowsDeviceNotifier::Listener events;
    events.changed = [this] {
        auto listener = listener_; // it may replace itself
        if (listener) {
            listener();
        }
    };
    events.interfaceRemoved = [this](const std::string& path) { OnInterfaceRemoved(path); };
    events.handle = [this](HANDLE file, HDEVNOTIFY registration,
                           WindowsDeviceNotifier::HandleEvent event) {
        OnHandleEvent(file, registration, static_cast<int>(event));
    };
    notifier_ = std::make_unique<WindowsDeviceNotifier>(hidClass, std::move(events));
    if (!notifier_->Valid()) {
        notifier_.reset();
        return;
    }
    // Handles opened before the window are registered now (outside the lock:
    // the system is asked).
    std::vector<std::pair<HidHandle, HANDLE>> unregistered;
    {
        std::lock_guard lock(mutex_);
        window_ = notifier_->Window();
        for (auto& [handle, entry] : handles_) {
            if (entry->mode != HidOpenMode::QueryOnly && entry->registration == nullptr &&
                entry->file != INVALID_HANDLE_VALUE) {
                unregistered.emplace_back(handle, entry->file);
            }
        }
    }
    for (const auto& [handle, file] : unregistered) {
        HDEVNOTIFY registration = WindowsDeviceNotifier::RegisterHandle(notifier_->Window(), file);
        std::unique_lock lock(mutex_);
        const auto it = handles_.find(handle);
        if (it != handles_.end() && it->second->file == file &&
            it->second->registration == nullptr) {
            it->second->registeredFile = file;
            it->second->registration = registration;
        } else {
            lock.unlock();
            WindowsDeviceNotifier::Unregister(registration);
        }
    }
}

bool WindowsHidBackend::TakeNotifications() {
    return notifier_ != nullptr && notifier_->TakeChanges();
}

void* WindowsHidBackend::NotificationWindow() const {
    return notifier_ != nullptr ? static_cast<void*>(notifier_->Window()) : nullptr;
}

std::vector<std::string> WindowsHidBackend::TakeRemovedPaths() {
    std::lock_guard lock(mutex_);
    return std::exchange(removed_, {});
}

bool WindowsHidBackend::SamePath(const std::string& a, const std::string& b) const {
    return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

void WindowsHidBackend::SuspendLocked(HidHandle handle, std::unique_lock<std::mutex>& lock) {
    const auto deadline = std::chrono::steady_clock::now() + ReleaseWait;
    for (;;) {
        const auto it = handles_.find(handle);
        if (it == handles_.end() || it->second->file == INVALID_HANDLE_VALUE) {
            return; // closed meanwhile
        }
        OpenHandle& entry = *it->second;
        if (entry.users == 0) {
            ::CloseHandle(entry.file);
            entry.file = INVALID_HANDLE_VALUE;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return; // a request that does not end: the handle stays open
        }
        // A reader's pending read ends with an error and lets the handle go;
        // asked again in case the read started after the first cancel.
        ::CancelIoEx(entry.file, nullptr);
        idle_.wait_for(lock, CancelRetry);
    }
}

void WindowsHidBackend::OnHandleEvent(void* file, void* registration, int event) {
    using Event = WindowsDeviceNotifier::HandleEvent;
    struct Reopen {
        HidHandle handle;
        std::string path;
        HidOpenMode mode;
    };
    std::vector<Reopen> reopen;
    void* window = nullptr;
    {
        std::unique_lock lock(mutex_);
        window = window_;
        // By the registration where the system names it (a closed handle's
        // value may have been given out again), else by the handle.
        std::vector<HidHandle> matching;
        for (auto& [handle, entry] : handles_) {
            if (registration != nullptr && entry->registration == registration) {
                matching.push_back(handle);
            }
        }
        if (matching.empty()) {
            for (auto& [handle, entry] : handles_) {
                if (entry->registeredFile == file) {
                    matching.push_back(handle);
                }
            }
        }
        for (const HidHandle handle : matching) {
            const auto it = handles_.find(handle);
            if (it == handles_.end()) {
                continue; // closed while a read let its handle go
            }
            OpenHandle& entry = *it->second;
            const std::string path = LowerCase(entry.path);
            switch (static_cast<Event>(event)) {
            case Event::QueryRemove:
                if (!Contains(heldOff_, path)) {
                    heldOff_.push_back(path);
                }
                SuspendLocked(handle, lock);
                break;
            case Event::QueryRemoveFailed:
                Erase(heldOff_, path);
                if (!entry.gone && entry.file == INVALID_HANDLE_VALUE) {
                    reopen.push_back({handle, entry.path, entry.mode});
                }
                break;
            case Event::Removed:
                entry.gone = true;
                Erase(heldOff_, path);
                if (removed_.size() < MaxRemovedPaths && !Contains(removed_, entry.path)) {
                    removed_.push_back(entry.path);
                }
                SuspendLocked(handle, lock);
                break;
            }
        }
    }
    // The removal was called off: the handles are opened again, outside the
    // lock, and registered anew.
    for (const Reopen& r : reopen) {
        HANDLE reopened = OpenFile(r.path, r.mode);
        if (reopened == INVALID_HANDLE_VALUE) {
            continue; // its operations keep failing; the owner opens it anew
        }
        HDEVNOTIFY fresh =
            WindowsDeviceNotifier::RegisterHandle(static_cast<HWND>(window), reopened);
        HDEVNOTIFY old = nullptr;
        bool installed = false;
        {
            std::lock_guard lock(mutex_);
            const auto it = handles_.find(r.handle);
            if (it != handles_.end() && !it->second->gone &&
                it->second->file == INVALID_HANDLE_VALUE) {
                old = std::exchange(it->second->registration, fresh);
                it->second->file = reopened;
                it->second->registeredFile = reopened;
                installed = true;
            }
        }
        WindowsDeviceNotifier::Unregister(installed ? old : fresh);
        if (!installed) {
            ::CloseHandle(reopened);
        }
    }
}

void WindowsHidBackend::OnInterfaceRemoved(const std::string& path) {
    std::lock_guard lock(mutex_);
    Erase(heldOff_, LowerCase(path));
    if (removed_.size() < MaxRemovedPaths) {
        removed_.push_back(path);
    }
}
