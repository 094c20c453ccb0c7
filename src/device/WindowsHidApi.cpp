#include "WindowsHidApi.h"

namespace {

template <typename Function>
bool ResolveInto(WindowsLibraryLoader& loader, void* library, const char* name, Function& target) {
    target = reinterpret_cast<Function>(loader.Resolve(library, name));
    return target != nullptr;
}

} // namespace

WindowsHidApi::WindowsHidApi(std::shared_ptr<WindowsLibraryLoader> loader)
    : loader_(loader ? std::move(loader) : std::make_shared<WindowsLibraryLoader>()) {
    // The HID library is loaded only when the setup library is there.
    setup_ = loader_->Load("SetupApi.dll");
    if (setup_ == nullptr) {
        return;
    }
    hid_ = loader_->Load("HID.dll");
    if (hid_ == nullptr || !ResolveSetup() || !ResolveHid()) {
        loader_->Unload(hid_);
        loader_->Unload(setup_);
        hid_ = nullptr;
        setup_ = nullptr;
        Clear();
        return;
    }
    ResolveOptional();
}

WindowsHidApi::~WindowsHidApi() {
    loader_->Unload(hid_);
    loader_->Unload(setup_);
}

bool WindowsHidApi::ResolveSetup() {
    WindowsLibraryLoader& l = *loader_;
    bool ok = ResolveInto(l, setup_, "SetupDiGetClassDevsW", GetClassDevs);
    ok = ResolveInto(l, setup_, "SetupDiEnumDeviceInterfaces", EnumDeviceInterfaces) && ok;
    ok = ResolveInto(l, setup_, "SetupDiGetDeviceInterfaceDetailW", GetDeviceInterfaceDetail) && ok;
    ok = ResolveInto(l, setup_, "SetupDiDestroyDeviceInfoList", DestroyDeviceInfoList) && ok;
    return ok;
}

bool WindowsHidApi::ResolveHid() {
    WindowsLibraryLoader& l = *loader_;
    bool ok = ResolveInto(l, hid_, "HidD_GetHidGuid", GetHidGuid);
    ok = ResolveInto(l, hid_, "HidD_GetAttributes", GetAttributes) && ok;
    ok = ResolveInto(l, hid_, "HidD_GetProductString", GetProductString) && ok;
    ok = ResolveInto(l, hid_, "HidD_GetPreparsedData", GetPreparsedData) && ok;
    ok = ResolveInto(l, hid_, "HidD_FreePreparsedData", FreePreparsedData) && ok;
    ok = ResolveInto(l, hid_, "HidP_GetCaps", GetCaps) && ok;
    return ok;
}

void WindowsHidApi::ResolveOptional() {
    WindowsLibraryLoader& l = *loader_;
    ResolveInto(l, setup_, "CM_Get_Parent", GetParent);
    ResolveInto(l, setup_, "CM_Get_Device_IDW", GetDeviceId);
    ResolveInto(l, setup_, "CM_Get_DevNode_Registry_PropertyW", GetDevNodeProperty);
    ResolveInto(l, hid_, "HidD_GetSerialNumberString", GetSerialNumberString);
}

void WindowsHidApi::Clear() {
    GetClassDevs = nullptr;
    EnumDeviceInterfaces = nullptr;
    GetDeviceInterfaceDetail = nullptr;
    DestroyDeviceInfoList = nullptr;
    GetParent = nullptr;
    GetDeviceId = nullptr;
    GetDevNodeProperty = nullptr;
    GetHidGuid = nullptr;
    GetAttributes = nullptr;
    GetProductString = nullptr;
    GetPreparsedData = nullptr;
    FreePreparsedData = nullptr;
    GetCaps = nullptr;
    GetSerialNumberString = nullptr;
}
