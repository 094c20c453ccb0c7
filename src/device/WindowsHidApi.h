#pragma once
// The entry points of the Windows HID service (HID.dll) and device-setup
// service (SetupApi.dll), loaded at run time and resolved by name. HID support
// exists only when both libraries and every entry point were found; otherwise
// nothing stays loaded and every pointer is null. The entry points that tell
// controllers apart (serial number, the USB port's location) are optional:
// null when missing, and the devices are then listed without them.

#include <windows.h>

#include <setupapi.h>

#include <cfgmgr32.h>

#include <hidsdi.h>

#include <memory>

#include "WindowsLibraryLoader.h"

class WindowsHidApi {
public:
    // Loads through the given loader, or the system's when none is given.
    explicit WindowsHidApi(std::shared_ptr<WindowsLibraryLoader> loader = nullptr);
    ~WindowsHidApi();
    WindowsHidApi(const WindowsHidApi&) = delete;
    WindowsHidApi& operator=(const WindowsHidApi&) = delete;

    bool Loaded() const { return hid_ != nullptr; }

    // SetupApi.dll
    decltype(&::SetupDiGetClassDevsW) GetClassDevs = nullptr;
    decltype(&::SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
    decltype(&::SetupDiGetDeviceInterfaceDetailW) GetDeviceInterfaceDetail = nullptr;
    decltype(&::SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
    // SetupApi.dll, optional
    decltype(&::CM_Get_Parent) GetParent = nullptr;
    decltype(&::CM_Get_Device_IDW) GetDeviceId = nullptr;
    decltype(&::CM_Get_DevNode_Registry_PropertyW) GetDevNodeProperty = nullptr;
    // HID.dll
    decltype(&::HidD_GetHidGuid) GetHidGuid = nullptr;
    decltype(&::HidD_GetAttributes) GetAttributes = nullptr;
    decltype(&::HidD_GetProductString) GetProductString = nullptr;
    decltype(&::HidD_GetPreparsedData) GetPreparsedData = nullptr;
    decltype(&::HidD_FreePreparsedData) FreePreparsedData = nullptr;
    decltype(&::HidP_GetCaps) GetCaps = nullptr;
    // HID.dll, optional
    decltype(&::HidD_GetSerialNumberString) GetSerialNumberString = nullptr;

private:
    bool ResolveSetup();
    bool ResolveHid();
    void ResolveOptional();
    void Clear();

    std::shared_ptr<WindowsLibraryLoader> loader_;
    void* setup_ = nullptr;
    void* hid_ = nullptr;
};
