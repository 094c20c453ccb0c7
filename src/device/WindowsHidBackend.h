#pragma once
// HID through the Windows HID and device-setup services (HID.dll and
// SetupApi.dll, loaded at run time) and file input and output on device
// interface paths.
//
// InterfacePath is the device interface path (UTF-8), DevInst the device
// instance of its node, Port the location path of its USB device. Handles are
// the back end's own numbers for system handles. Readers use overlapped reads,
// waited on together with their waker's event, so a stop ends a wait at once
// and an idle reader never wakes; the pending read is cancelled then. Writes
// are overlapped too and cancelled after HidWriteTimeoutMs.
//
// Device-node changes come through a hidden window that exists while a
// notification listener is set; it must be set and cleared on the
// user-interface thread, whose message loop serves the window, and the
// listener is called there. The read-write and read handles are registered on
// that window: when the system asks to remove their device (Device Manager
// disabling it or updating its driver), they are closed at once, so the
// removal needs no restart; while it is pending the path does not open, and
// if it is called off the handles are opened again. A removed interface path
// is reported by TakeRemovedPaths.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "HidBackend.h"
#include "WindowsLibraryLoader.h"

class WindowsDeviceNotifier;
class WindowsHidApi;

class WindowsHidBackend : public HidBackend {
public:
    // Loads the HID services through the given loader (the system's when
    // none is given).
    explicit WindowsHidBackend(std::shared_ptr<WindowsLibraryLoader> loader = nullptr);
    WindowsHidBackend(const WindowsHidBackend&) = delete;
    WindowsHidBackend& operator=(const WindowsHidBackend&) = delete;
    ~WindowsHidBackend() override;

    bool Available() const override;
    std::vector<HidInterfaceInfo> ListInterfaces() override;
    HidHandle Open(const std::string& path, HidOpenMode mode) override;
    void Close(HidHandle handle) override;
    bool GetAttributes(HidHandle handle, HidAttributes& attributes) override;
    bool GetProductString(HidHandle handle, std::u16string& text) override;
    bool GetSerialNumberString(HidHandle handle, std::u16string& text) override;
    bool GetCaps(HidHandle handle, HidCaps& caps) override;
    bool Write(HidHandle handle, const std::uint8_t* buffer, std::size_t length,
               std::size_t& written) override;
    std::unique_ptr<HidWaker> CreateWaker() override;
    HidReadStatus Read(HidHandle handle, std::uint8_t* buffer, std::size_t length, HidWaker& waker,
                       std::size_t& count) override;
    int NotificationFd() const override;
    void SetNotificationListener(std::function<void()> listener) override;
    bool TakeNotifications() override;

    std::vector<std::string> TakeRemovedPaths() override;
    // Device paths compare without regard to letter case.
    bool SamePath(const std::string& a, const std::string& b) const override;
    // The system's hold of the device (DeviceLock::TrySystem).
    std::unique_ptr<DeviceLock> TryLock(const std::string& path, std::string& holder) override {
        return DeviceLock::TrySystem(path, holder);
    }

    // The hidden notification window (an HWND), or nullptr while there is none.
    void* NotificationWindow() const;
    // The system handle behind a handle (a HANDLE), or nullptr while it is
    // closed for a pending removal.
    void* SystemHandle(HidHandle handle) const;

private:
    struct OpenHandle;
    // From the notification window: a registered handle's device is to be
    // removed, stays, or is gone (WindowsDeviceNotifier::HandleEvent).
    void OnHandleEvent(void* file, void* registration, int event);
    void OnInterfaceRemoved(const std::string& path);
    // Closes the system handle (its registration stays), once no read or
    // write uses it; the mutex is held and may be let go meanwhile.
    void SuspendLocked(HidHandle handle, std::unique_lock<std::mutex>& lock);
    // The entry and its system handle for a read or write, counted as in use.
    OpenHandle* BeginUse(HidHandle handle);
    void EndUse(HidHandle handle);
    void* FileOf(HidHandle handle) const;

    std::unique_ptr<WindowsHidApi> api_;
    std::unique_ptr<WindowsDeviceNotifier> notifier_; // user-interface thread only
    std::function<void()> listener_;                  // user-interface thread only
    mutable std::mutex mutex_;
    std::condition_variable idle_; // a read handle is no longer in use
    std::unordered_map<HidHandle, std::unique_ptr<OpenHandle>> handles_;
    HidHandle nextHandle_ = 1;
    void* window_ = nullptr;           // the notifier's window, for readers' registrations
    std::vector<std::string> heldOff_; // paths whose removal is pending (lower case)
    std::vector<std::string> removed_; // reported removed, not yet taken
};
