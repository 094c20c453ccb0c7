#pragma once
// A hidden top-level window that receives the system's device-change
// broadcasts (WM_DEVICECHANGE with DBT_DEVNODES_CHANGED, which goes to
// top-level windows only, not to message-only ones) and, registered for the
// HID interface class, arrivals and removals of HID interfaces. Each one is
// counted and reported to a callback on the thread that created the window,
// which must be the user-interface thread (it serves the window's messages).

#include <windows.h>

#include <functional>

class WindowsDeviceNotifier {
public:
    // Creates the window; Valid() tells whether that worked.
    WindowsDeviceNotifier(const GUID& hidClass, std::function<void()> onChange);
    ~WindowsDeviceNotifier();
    WindowsDeviceNotifier(const WindowsDeviceNotifier&) = delete;
    WindowsDeviceNotifier& operator=(const WindowsDeviceNotifier&) = delete;

    bool Valid() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // True if a change came since the last call.
    bool TakeChanges();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onChange_;
    HWND window_ = nullptr;
    HDEVNOTIFY registration_ = nullptr;
    bool changed_ = false;
};
