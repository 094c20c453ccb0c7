#pragma once
// HID through the Windows HID and device-setup services (HID.dll and
// SetupApi.dll, loaded at run time) and file input and output on device
// interface paths.
//
// InterfacePath is the device interface path (UTF-8), DevInst the device
// instance of its node, Port the location path of its USB device. Readers use overlapped reads,
// waited on together with their waker's event, so a stop ends a wait at once and an idle reader
// never wakes; the pending read is cancelled then. Device-node changes come through a hidden window
// that exists while a notification listener is set; it must be set and cleared on the
// user-interface thread, whose message loop serves the window, and the listener is called there.

#include <memory>
#include <mutex>
#include <unordered_map>

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

    // The hidden notification window (an HWND), or nullptr while there is none.
    void* NotificationWindow() const;

private:
    std::unique_ptr<WindowsHidApi> api_;
    std::unique_ptr<WindowsDeviceNotifier> notifier_; // user-interface thread only
    std::function<void()> listener_;                  // user-interface thread only
    std::mutex mutex_;
    std::unordered_map<HidHandle, void*> readEvents_; // read handle -> its event
};
