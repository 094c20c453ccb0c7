#pragma once
// A hidden top-level window that receives the system's device-change
// broadcasts (WM_DEVICECHANGE with DBT_DEVNODES_CHANGED, which goes to
// top-level windows only, not to message-only ones) and, registered for the
// HID interface class, arrivals and removals of HID interfaces; open device
// handles registered on it (RegisterHandle) get their own removal queries.
// Everything is reported on the thread that created the window, which must be
// the user-interface thread (it serves the window's messages).

#include <windows.h>

#include <dbt.h>

#include <functional>
#include <string>

class WindowsDeviceNotifier {
public:
    // What happens to a registered handle's device.
    enum class HandleEvent {
        QueryRemove,       // the device is to be removed: close the handle now
        QueryRemoveFailed, // the removal was called off: open it again
        Removed,           // removal pending or complete: the handle is dead
    };
    struct Listener {
        std::function<void()> changed;                                 // a rescan is due
        std::function<void(const std::string& path)> interfaceRemoved; // UTF-8 path
        // The file handle as registered, with its registration.
        std::function<void(HANDLE file, HDEVNOTIFY registration, HandleEvent event)> handle;
    };

    // Creates the window; Valid() tells whether that worked.
    WindowsDeviceNotifier(const GUID& hidClass, Listener listener);
    ~WindowsDeviceNotifier();
    WindowsDeviceNotifier(const WindowsDeviceNotifier&) = delete;
    WindowsDeviceNotifier& operator=(const WindowsDeviceNotifier&) = delete;

    bool Valid() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // True if a change came since the last call.
    bool TakeChanges();

    // Registers an open file handle for its removal queries (any thread);
    // nullptr when the system refuses.
    static HDEVNOTIFY RegisterHandle(HWND window, HANDLE file);
    static void Unregister(HDEVNOTIFY registration);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Handle(WPARAM code, const DEV_BROADCAST_HDR* header);

    Listener listener_;
    HWND window_ = nullptr;
    HDEVNOTIFY registration_ = nullptr;
    bool changed_ = false;
};
