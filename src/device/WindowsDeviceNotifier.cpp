#include "WindowsDeviceNotifier.h"

#include <dbt.h>

#include <cwchar>

#include "HidText.h"

namespace {

constexpr wchar_t ClassName[] = L"KxRd4DeviceChangeWindow";

// The window class, registered once for the module.
bool RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = ClassName;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool IsDeviceChange(WPARAM code) {
    return code == DBT_DEVNODES_CHANGED || code == DBT_DEVICEARRIVAL ||
           code == DBT_DEVICEREMOVECOMPLETE;
}

// The interface path of a removal broadcast, bounded by the record's size.
std::string InterfacePathOf(const DEV_BROADCAST_HDR* header) {
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= offset) {
        return {};
    }
    const std::size_t capacity = (header->dbch_size - offset) / sizeof(WCHAR);
    const std::size_t length = ::wcsnlen(record->dbcc_name, capacity);
    return HidText::Utf16ToUtf8(std::u16string(record->dbcc_name, record->dbcc_name + length));
}

} // namespace

WindowsDeviceNotifier::WindowsDeviceNotifier(const GUID& hidClass, Listener listener)
    : listener_(std::move(listener)) {
    if (!RegisterWindowClass(&WindowsDeviceNotifier::WindowProc)) {
        return;
    }
    // No parent and no WS_VISIBLE: a top-level window that is never shown.
    window_ = ::CreateWindowExW(0, ClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        return;
    }
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = hidClass;
    // Without the registration the broadcast of node changes still comes.
    registration_ = ::RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

WindowsDeviceNotifier::~WindowsDeviceNotifier() {
    Unregister(registration_);
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool WindowsDeviceNotifier::TakeChanges() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

HDEVNOTIFY WindowsDeviceNotifier::RegisterHandle(HWND window, HANDLE file) {
    if (window == nullptr || file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = file;
    return ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void WindowsDeviceNotifier::Unregister(HDEVNOTIFY registration) {
    if (registration != nullptr) {
        ::UnregisterDeviceNotification(registration);
    }
}

void WindowsDeviceNotifier::Handle(WPARAM code, const DEV_BROADCAST_HDR* header) {
    if (header != nullptr && header->dbch_devicetype == DBT_DEVTYP_HANDLE &&
        header->dbch_size >= sizeof(DEV_BROADCAST_HANDLE) && listener_.handle) {
        const auto* record = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(header);
        switch (code) {
        case DBT_DEVICEQUERYREMOVE:
            listener_.handle(record->dbch_handle, record->dbch_hdevnotify,
                             HandleEvent::QueryRemove);
            break;
        case DBT_DEVICEQUERYREMOVEFAILED:
            listener_.handle(record->dbch_handle, record->dbch_hdevnotify,
                             HandleEvent::QueryRemoveFailed);
            break;
        case DBT_DEVICEREMOVEPENDING:
        case DBT_DEVICEREMOVECOMPLETE:
            listener_.handle(record->dbch_handle, record->dbch_hdevnotify, HandleEvent::Removed);
            break;
        default:
            break;
        }
    }
    if (code == DBT_DEVICEREMOVECOMPLETE && header != nullptr &&
        header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE && listener_.interfaceRemoved) {
        const std::string path = InterfacePathOf(header);
        if (!path.empty()) {
            listener_.interfaceRemoved(path);
        }
    }
    if (IsDeviceChange(code)) {
        changed_ = true;
        if (listener_.changed) {
            listener_.changed();
        }
    }
}

LRESULT CALLBACK WindowsDeviceNotifier::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_DEVICECHANGE) {
        auto* self =
            reinterpret_cast<WindowsDeviceNotifier*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) {
            self->Handle(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
        }
        return TRUE; // a removal query is granted (the handles are closed by now)
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
