#include "WindowsHidBackend.h"

#include <cerrno>
#include <cwchar>

#include "HidText.h"
#include "WindowsDeviceNotifier.h"
#include "WindowsHidApi.h"

namespace {

// The product string buffer: 254 UTF-16 characters.
constexpr ULONG ProductStringBytes = 508;
constexpr std::size_t ProductStringChars = ProductStringBytes / sizeof(WCHAR);

// How often a reader whose waker has no event looks at its stop request.
constexpr DWORD FallbackWakeSliceMs = 100;

HANDLE ToHandle(HidHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

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

// Ends a pending overlapped read and waits until the system has let go of
// the buffer; true (with the count) if the read had finished after all.
bool CancelRead(HANDLE handle, OVERLAPPED& request, DWORD& transferred) {
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

WindowsHidBackend::WindowsHidBackend(std::shared_ptr<WindowsLibraryLoader> loader)
    : api_(std::make_unique<WindowsHidApi>(std::move(loader))) {}

WindowsHidBackend::~WindowsHidBackend() {
    notifier_.reset();
    for (auto& [handle, event] : readEvents_) {
        ::CloseHandle(ToHandle(handle));
        ::CloseHandle(static_cast<HANDLE>(event));
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
    DWORD access = 0; // QueryOnly: no access rights needed
    DWORD flags = 0;
    if (mode == HidOpenMode::ReadWrite) {
        access = GENERIC_READ | GENERIC_WRITE;
    } else if (mode == HidOpenMode::Read) {
        access = GENERIC_READ;
        flags = FILE_FLAG_OVERLAPPED;
    }
    if (path.empty()) {
        errno = ENOENT;
        return InvalidHidHandle;
    }
    HANDLE handle =
        ::CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return InvalidHidHandle;
    }
    const auto result = reinterpret_cast<HidHandle>(handle);
    if (mode == HidOpenMode::Read) {
        // A manual-reset event for the handle's overlapped reads.
        HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (event == nullptr) {
            ::CloseHandle(handle);
            errno = ENOMEM;
            return InvalidHidHandle;
        }
        std::lock_guard lock(mutex_);
        readEvents_[result] = event;
    }
    return result;
}

void WindowsHidBackend::Close(HidHandle handle) {
    if (handle == InvalidHidHandle) {
        return;
    }
    HANDLE event = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto it = readEvents_.find(handle);
        if (it != readEvents_.end()) {
            event = static_cast<HANDLE>(it->second);
            readEvents_.erase(it);
        }
    }
    ::CloseHandle(ToHandle(handle));
    if (event != nullptr) {
        ::CloseHandle(event);
    }
}

bool WindowsHidBackend::GetAttributes(HidHandle handle, HidAttributes& attributes) {
    if (!api_->Loaded() || handle == InvalidHidHandle) {
        return false;
    }
    HIDD_ATTRIBUTES record{};
    record.Size = sizeof record;
    if (!api_->GetAttributes(ToHandle(handle), &record)) {
        return false;
    }
    attributes.VendorID = record.VendorID;
    attributes.ProductID = record.ProductID;
    attributes.VersionNumber = record.VersionNumber;
    return true;
}

bool WindowsHidBackend::GetProductString(HidHandle handle, std::u16string& text) {
    if (!api_->Loaded() || handle == InvalidHidHandle) {
        return false;
    }
    WCHAR buffer[ProductStringChars] = {};
    if (!api_->GetProductString(ToHandle(handle), buffer, ProductStringBytes)) {
        return false;
    }
    // Up to the first zero character; a string that fills the whole buffer
    // has none.
    const std::size_t length = ::wcsnlen(buffer, ProductStringChars);
    text.assign(buffer, buffer + length);
    return true;
}

bool WindowsHidBackend::GetSerialNumberString(HidHandle handle, std::u16string& text) {
    if (!api_->Loaded() || api_->GetSerialNumberString == nullptr || handle == InvalidHidHandle) {
        return false;
    }
    WCHAR buffer[ProductStringChars] = {};
    if (!api_->GetSerialNumberString(ToHandle(handle), buffer, ProductStringBytes)) {
        return false;
    }
    const std::size_t length = ::wcsnlen(buffer, ProductStringChars);
    text.assign(buffer, buffer + length);
    return !text.empty();
}

bool WindowsHidBackend::GetCaps(HidHandle handle, HidCaps& caps) {
    if (!api_->Loaded() || handle == InvalidHidHandle) {
        return false;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!api_->GetPreparsedData(ToHandle(handle), &preparsed) || preparsed == nullptr) {
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
    if (handle == InvalidHidHandle || buffer == nullptr || length == 0 || length > MAXDWORD) {
        return false;
    }
    DWORD count = 0;
    if (!::WriteFile(ToHandle(handle), buffer, static_cast<DWORD>(length), &count, nullptr)) {
        return false;
    }
    written = count;
    return true;
}

std::unique_ptr<HidWaker> WindowsHidBackend::CreateWaker() {
    return std::make_unique<EventWaker>();
}

HidReadStatus WindowsHidBackend::Read(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                                      HidWaker& waker, std::size_t& count) {
    count = 0;
    HANDLE readEvent = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto it = readEvents_.find(handle);
        if (it == readEvents_.end() || length == 0 || length > MAXDWORD) {
            return HidReadStatus::Failed;
        }
        readEvent = static_cast<HANDLE>(it->second);
    }
    HANDLE file = ToHandle(handle);
    OVERLAPPED request{};
    request.hEvent = readEvent;
    ::ResetEvent(readEvent);
    // A HID read always starts with the report identifier (0 for a device
    // without numbered reports).
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
    if (CancelRead(file, request, transferred)) {
        count = transferred; // it had finished after all
        return HidReadStatus::Report;
    }
    return waited == WAIT_FAILED ? HidReadStatus::Failed : HidReadStatus::Woken;
}

int WindowsHidBackend::NotificationFd() const {
    return -1; // changes come through the listener
}

void WindowsHidBackend::SetNotificationListener(std::function<void()> listener) {
    listener_ = std::move(listener);
    if (!listener_) {
        notifier_.reset();
        return;
    }
    if (!notifier_ && api_->Loaded()) {
        GUID hidClass{};
        api_->GetHidGuid(&hidClass);
        notifier_ = std::make_unique<WindowsDeviceNotifier>(hidClass, [this] {
            auto listener = listener_; // it may replace itself
            if (listener) {
                listener();
            }
        });
        if (!notifier_->Valid()) {
            notifier_.reset();
        }
    }
}

bool WindowsHidBackend::TakeNotifications() {
    return notifier_ != nullptr && notifier_->TakeChanges();
}

void* WindowsHidBackend::NotificationWindow() const {
    return notifier_ != nullptr ? static_cast<void*>(notifier_->Window()) : nullptr;
}
