#include "WindowsDeviceNotifier.h"

#include <dbt.h>

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

} // namespace

WindowsDeviceNotifier::WindowsDeviceNotifier(const GUID& hidClass, std::function<void()> onChange)
    : onChange_(std::move(onChange)) {
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
    if (registration_ != nullptr) {
        ::UnregisterDeviceNotification(registration_);
    }
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

LRESULT CALLBACK WindowsDeviceNotifier::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_DEVICECHANGE && IsDeviceChange(wParam)) {
        auto* self =
            reinterpret_cast<WindowsDeviceNotifier*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) {
            self->changed_ = true;
            if (self->onChange_) {
                self->onChange_();
            }
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
