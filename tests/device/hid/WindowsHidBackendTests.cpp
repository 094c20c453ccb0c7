// The Windows HID back end against the real system services (under Wine in
// CI, whose only HID devices are its virtual keyboard and mouse), with a
// loader that can withhold a library or an entry point, or hand in entry
// points of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>
#include <hidsdi.h>
#include <setupapi.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "HidTestRig.h"
#include "HidText.h"
#include "PumpedUiDispatcher.h"
#include "TJvHidDevice.h"
#include "TJvHidDeviceController.h"
#include "WindowsHidBackend.h"

namespace {

// The system's loader, with chosen libraries or entry points missing or
// replaced; counts what is loaded and unloaded.
class TestLoader : public WindowsLibraryLoader {
public:
    std::set<std::string> missing;
    std::map<std::string, void*> replaced;
    std::set<std::string> resolved;
    int loads = 0;
    int unloads = 0;

    void* Load(const char* name) override {
        if (missing.count(name) != 0) {
            return nullptr;
        }
        void* library = WindowsLibraryLoader::Load(name);
        loads += library != nullptr;
        return library;
    }
    void* Resolve(void* library, const char* entryPoint) override {
        resolved.insert(entryPoint);
        if (missing.count(entryPoint) != 0) {
            return nullptr;
        }
        const auto it = replaced.find(entryPoint);
        return it != replaced.end() ? it->second
                                    : WindowsLibraryLoader::Resolve(library, entryPoint);
    }
    void Unload(void* library) override {
        unloads += library != nullptr;
        WindowsLibraryLoader::Unload(library);
    }
};

const char* const EntryPoints[] = {
    "SetupDiGetClassDevsW",
    "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailW",
    "SetupDiDestroyDeviceInfoList",
    "HidD_GetHidGuid",
    "HidD_GetAttributes",
    "HidD_GetProductString",
    "HidD_GetPreparsedData",
    "HidD_FreePreparsedData",
    "HidP_GetCaps",
};

TEST(WindowsHidBackendTest, LoadsBothLibrariesAndResolvesEveryEntryPoint) {
    auto loader = std::make_shared<TestLoader>();
    {
        WindowsHidBackend backend(loader);
        EXPECT_TRUE(backend.Available());
        EXPECT_EQ(loader->loads, 2);
        for (const char* name : EntryPoints) {
            EXPECT_EQ(loader->resolved.count(name), 1u) << name;
        }
        EXPECT_EQ(backend.NotificationFd(), -1);
    }
    EXPECT_EQ(loader->unloads, 2);
}

TEST(WindowsHidBackendTest, AMissingLibraryOrEntryPointMeansNoHidSupport) {
    std::vector<std::string> cases = {"SetupApi.dll", "HID.dll"};
    cases.insert(cases.end(), std::begin(EntryPoints), std::end(EntryPoints));
    for (const std::string& missing : cases) {
        SCOPED_TRACE(missing);
        auto loader = std::make_shared<TestLoader>();
        loader->missing = {missing};
        {
            WindowsHidBackend backend(loader);
            EXPECT_FALSE(backend.Available());
            EXPECT_TRUE(backend.ListInterfaces().empty());
            backend.SetNotificationListener([] {});
            EXPECT_EQ(backend.NotificationWindow(), nullptr);
            EXPECT_FALSE(backend.TakeNotifications());
            HidAttributes attributes;
            EXPECT_FALSE(backend.GetAttributes(InvalidHidHandle, attributes));
            // Without the setup library the HID library is not even loaded;
            // whatever was loaded is let go at once.
            EXPECT_EQ(loader->loads, missing == "SetupApi.dll" ? 0 : loader->unloads);
            backend.SetNotificationListener(nullptr);
        }
        EXPECT_EQ(loader->unloads, loader->loads);
    }
}

TEST(WindowsHidBackendTest, WithoutTheSerialAndPortEntryPointsDevicesAreStillListed) {
    for (const char* missing : {"HidD_GetSerialNumberString", "CM_Get_Parent", "CM_Get_Device_IDW",
                                "CM_Get_DevNode_Registry_PropertyW"}) {
        SCOPED_TRACE(missing);
        auto loader = std::make_shared<TestLoader>();
        loader->missing = {missing};
        WindowsHidBackend backend(loader);
        EXPECT_TRUE(backend.Available());
        EXPECT_EQ(loader->resolved.count(missing), 1u);
        std::u16string serial;
        EXPECT_FALSE(backend.GetSerialNumberString(InvalidHidHandle, serial));
        backend.ListInterfaces(); // ports stay empty, nothing fails
    }
}

TEST(WindowsHidBackendTest, ControllerScansThePresentDevicesAndRescansOnDeviceChanges) {
    auto backend = std::make_shared<WindowsHidBackend>();
    auto ui = std::make_shared<PumpedUiDispatcher>();
    HWND window = nullptr;
    {
        TJvHidDeviceController controller(backend, ui);
        window = static_cast<HWND>(backend->NotificationWindow());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_FALSE(::IsWindowVisible(window));
        // Top-level (broadcasts reach it), not a child or a message-only window.
        EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow());

        // The initial scan lists every present HID interface (under Wine its
        // virtual keyboard and mouse), each opened and identified.
        ui->Pump();
        EXPECT_EQ(controller.NotificationParam(), TJvHidDeviceController::InitialNotification);
        const auto interfaces = backend->ListInterfaces();
        ASSERT_EQ(controller.Count(), static_cast<int>(interfaces.size()));
        // Not every interface has a product string or input reports (a
        // Bluetooth LE device, a headset's buttons); those that do give sane ones.
        controller.SetOnEnumerate([&](TJvHidDevice& device, int index) {
            const std::string& path = interfaces[static_cast<std::size_t>(index)].InterfacePath;
            EXPECT_EQ(path.rfind("\\\\?\\", 0), 0u) << path;
            EXPECT_LE(device.ProductString().size(), TJvHidDevice::MaxProductStringLength);
            const HidCaps caps = device.Caps();
            if (caps.InputReportByteLength > 0) {
                EXPECT_GE(caps.InputReportByteLength, 2) << path; // identifier and data
            }
            return true;
        });
        EXPECT_EQ(controller.EnumerateDevices(), controller.Count());

        struct Case {
            WPARAM code;
            bool rescans;
        };
        for (const Case& c : {Case{DBT_DEVNODES_CHANGED, true}, Case{DBT_DEVICEARRIVAL, true},
                              Case{DBT_DEVICEREMOVECOMPLETE, true}, Case{DBT_CONFIGCHANGED, false},
                              Case{DBT_QUERYCHANGECONFIG, false}}) {
            SCOPED_TRACE(c.code);
            ::SendMessageW(window, WM_DEVICECHANGE, c.code, 0);
            controller.HandleNotification(TJvHidDeviceController::InitialNotification);
            ui->Pump();
            EXPECT_EQ(controller.NotificationParam(),
                      c.rescans ? TJvHidDeviceController::DevNodesChanged
                                : TJvHidDeviceController::InitialNotification);
            EXPECT_FALSE(backend->TakeNotifications()); // all consumed
        }
    }
    // The controller's end takes the window with it.
    EXPECT_EQ(backend->NotificationWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

// A device-setup service of the test's own: a list of interfaces, each with
// its path and device instance, whose detail may be unavailable.
struct FakeSetup {
    struct Interface {
        std::u16string path;
        DWORD devInst;
        bool detailAvailable;
        bool terminated;
    };
    static inline std::vector<Interface> interfaces;
    static inline bool setAvailable = true;
    static inline int destroyed = 0;

    static HDEVINFO WINAPI GetClassDevs(const GUID*, PCWSTR, HWND, DWORD flags) {
        EXPECT_EQ(flags, static_cast<DWORD>(DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        return setAvailable ? reinterpret_cast<HDEVINFO>(&interfaces) : INVALID_HANDLE_VALUE;
    }
    static BOOL WINAPI EnumDeviceInterfaces(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD index,
                                            PSP_DEVICE_INTERFACE_DATA data) {
        if (index >= interfaces.size()) {
            ::SetLastError(ERROR_NO_MORE_ITEMS);
            return FALSE;
        }
        data->Reserved = index;
        return TRUE;
    }
    static BOOL WINAPI GetDetail(HDEVINFO, PSP_DEVICE_INTERFACE_DATA data,
                                 PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD size,
                                 PDWORD required, PSP_DEVINFO_DATA device) {
        const Interface& i = interfaces.at(data->Reserved);
        const DWORD needed =
            static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                               (i.path.size() + (i.terminated ? 1 : 0)) * 2);
        if (detail == nullptr) {
            if (!i.detailAvailable) {
                ::SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            *required = needed;
            ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        if (size < needed || detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) ||
            device->cbSize != sizeof(SP_DEVINFO_DATA)) {
            ::SetLastError(ERROR_INVALID_USER_BUFFER);
            return FALSE;
        }
        // Exactly the record's size: an unterminated path fills it to the end.
        std::memcpy(detail->DevicePath, i.path.c_str(),
                    needed - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath));
        device->DevInst = i.devInst;
        return TRUE;
    }
    static BOOL WINAPI Destroy(HDEVINFO) {
        ++destroyed;
        return TRUE;
    }
    static std::map<std::string, void*> EntryPoints() {
        return {{"SetupDiGetClassDevsW", reinterpret_cast<void*>(&GetClassDevs)},
                {"SetupDiEnumDeviceInterfaces", reinterpret_cast<void*>(&EnumDeviceInterfaces)},
                {"SetupDiGetDeviceInterfaceDetailW", reinterpret_cast<void*>(&GetDetail)},
                {"SetupDiDestroyDeviceInfoList", reinterpret_cast<void*>(&Destroy)}};
    }
};

TEST(WindowsHidBackendTest, ListsTheInterfacesWhoseDetailCanBeRead) {
    auto loader = std::make_shared<TestLoader>();
    loader->replaced = FakeSetup::EntryPoints();
    WindowsHidBackend backend(loader);
    ASSERT_TRUE(backend.Available());
    const std::u16string kx = u"\\\\?\\hid#vid_1a2b&pid_000c#7&1f2&0&0000#{4d1e55b2}";

    struct Case {
        const char* name;
        bool setAvailable;
        std::vector<FakeSetup::Interface> interfaces;
        std::vector<std::pair<std::string, std::uint32_t>> expected;
        int destroyed;
    };
    const Case cases[] = {
        {"no device-information set", false, {}, {}, 0},
        {"no HID interface", true, {}, {}, 1},
        {"in order, unreadable details left out",
         true,
         {{kx, 7, true, true},
          {u"\\\\?\\hid#broken", 8, false, true},
          {u"\\\\?\\hid#ż", 9, true, true}},
         {{"\\\\?\\hid#vid_1a2b&pid_000c#7&1f2&0&0000#{4d1e55b2}", 7}, {"\\\\?\\hid#ż", 9}},
         1},
        {"a path filling its record without a terminator",
         true,
         {{u"\\\\?\\hid#full", 3, true, false}},
         {{"\\\\?\\hid#full", 3}},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSetup::setAvailable = c.setAvailable;
        FakeSetup::interfaces = c.interfaces;
        FakeSetup::destroyed = 0;
        std::vector<std::pair<std::string, std::uint32_t>> listed;
        for (const auto& info : backend.ListInterfaces()) {
            listed.emplace_back(info.InterfacePath, info.DevInst);
        }
        EXPECT_EQ(listed, c.expected);
        EXPECT_EQ(FakeSetup::destroyed, c.destroyed);
    }
}

// A named pipe stands in for a device: overlapped reads on it stay pending
// until the test writes, as on a HID interface.
class PipeDevice {
public:
    explicit PipeDevice(DWORD mode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE) {
        static int counter = 0;
        path_ = "\\\\.\\pipe\\kxrd4-hid-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        server_ =
            ::CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX, mode, 1, 4096, 4096, 0, nullptr);
    }
    ~PipeDevice() { CloseServer(); }
    PipeDevice(const PipeDevice&) = delete;
    PipeDevice& operator=(const PipeDevice&) = delete;

    const std::string& Path() const { return path_; }
    bool Valid() const { return server_ != INVALID_HANDLE_VALUE; }
    void Send(const std::string& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(server_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                nullptr));
    }
    std::string Receive() {
        char buffer[256];
        DWORD got = 0;
        EXPECT_TRUE(::ReadFile(server_, buffer, sizeof buffer, &got, nullptr));
        return std::string(buffer, got);
    }
    void CloseServer() {
        if (server_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(server_);
            server_ = INVALID_HANDLE_VALUE;
        }
    }

private:
    std::string path_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
};

struct ReadResult {
    HidReadStatus status = HidReadStatus::Failed;
    std::string bytes;
};

// Reads once on another thread, as a reader does; `during` runs meanwhile.
template <typename During>
ReadResult ReadOnThread(WindowsHidBackend& backend, HidHandle handle, HidWaker& waker,
                        During during) {
    ReadResult result;
    std::thread reader([&] {
        std::uint8_t buffer[65] = {};
        std::size_t count = 0;
        result.status = backend.Read(handle, buffer, sizeof buffer, waker, count);
        result.bytes.assign(reinterpret_cast<const char*>(buffer), count);
    });
    during();
    reader.join(); // a read that never ended would hang the test here
    return result;
}

TEST(WindowsHidBackendTest, OverlappedReadEndsOnStopReportOrError) {
    WindowsHidBackend backend;
    PipeDevice device;
    ASSERT_TRUE(device.Valid());
    const HidHandle handle = backend.Open(device.Path(), HidOpenMode::Read);
    ASSERT_NE(handle, InvalidHidHandle);
    auto waker = backend.CreateWaker();

    // Stop while the read is pending: it ends at once and is cancelled...
    ReadResult r = ReadOnThread(backend, handle, *waker, [&] {
        ::Sleep(50); // most likely pending by now; a raise before the read ends it too
        waker->Raise();
    });
    EXPECT_EQ(r.status, HidReadStatus::Woken);
    // ...so the next report goes to the next read, whole.
    device.Send(std::string("\x01"
                            "e\x03",
                            3));
    r = ReadOnThread(backend, handle, *waker, [] {});
    EXPECT_EQ(r.status, HidReadStatus::Report);
    EXPECT_EQ(r.bytes, std::string("\x01"
                                   "e\x03",
                                   3));

    // A report already waiting completes the read at once.
    device.Send("\x01"
                "f");
    r = ReadOnThread(backend, handle, *waker, [] {});
    EXPECT_EQ(r.status, HidReadStatus::Report);
    EXPECT_EQ(r.bytes, "\x01"
                       "f");

    r = ReadOnThread(backend, handle, *waker, [&] { device.CloseServer(); });
    EXPECT_EQ(r.status, HidReadStatus::Failed);
    backend.Close(handle);

    std::size_t count = 7;
    std::uint8_t buffer[4];
    EXPECT_EQ(backend.Read(handle, buffer, sizeof buffer, *waker, count), HidReadStatus::Failed);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(backend.Open(device.Path() + "-none", HidOpenMode::Read), InvalidHidHandle);
}

TEST(WindowsHidBackendTest, WritesGoOutWhole) {
    WindowsHidBackend backend;
    PipeDevice device;
    ASSERT_TRUE(device.Valid());
    const HidHandle handle = backend.Open(device.Path(), HidOpenMode::ReadWrite);
    ASSERT_NE(handle, InvalidHidHandle);
    const std::uint8_t report[5] = {1, 'd', 3, 0, 200};
    std::size_t written = 0;
    EXPECT_TRUE(backend.Write(handle, report, sizeof report, written));
    EXPECT_EQ(written, sizeof report);
    EXPECT_EQ(device.Receive(), std::string(reinterpret_cast<const char*>(report), 5));
    EXPECT_FALSE(backend.Write(handle, report, 0, written));
    backend.Close(handle);
}

// Entry points of the test's own, for the queries' handling of what the HID
// service returns.
struct FakeHid {
    static inline std::u16string product;
    static inline bool productFills = false;
    static inline bool preparsedOk = true;
    static inline NTSTATUS capsStatus = HIDP_STATUS_SUCCESS;
    static inline int freed = 0;

    static BOOLEAN __stdcall GetProductString(HANDLE, PVOID buffer, ULONG length) {
        auto* text = static_cast<WCHAR*>(buffer);
        if (productFills) {
            // Every byte of the buffer used: no terminating zero.
            for (ULONG i = 0; i < length / sizeof(WCHAR); ++i) {
                text[i] = u'A' + static_cast<WCHAR>(i % 26);
            }
            return TRUE;
        }
        if (product.empty()) {
            return FALSE;
        }
        std::memcpy(text, product.data(), product.size() * sizeof(WCHAR));
        return TRUE;
    }
    static BOOLEAN __stdcall GetAttributes(HANDLE, PHIDD_ATTRIBUTES attributes) {
        if (attributes->Size != sizeof(HIDD_ATTRIBUTES)) {
            return FALSE;
        }
        attributes->VendorID = 0x1A2B;
        attributes->ProductID = 0x000C;
        attributes->VersionNumber = 0x0102;
        return TRUE;
    }
    static BOOLEAN __stdcall GetPreparsedData(HANDLE, PHIDP_PREPARSED_DATA* data) {
        *data = preparsedOk ? reinterpret_cast<PHIDP_PREPARSED_DATA>(&freed) : nullptr;
        return preparsedOk;
    }
    static BOOLEAN __stdcall FreePreparsedData(PHIDP_PREPARSED_DATA) {
        ++freed;
        return TRUE;
    }
    static NTSTATUS __stdcall GetCaps(PHIDP_PREPARSED_DATA, PHIDP_CAPS caps) {
        caps->InputReportByteLength = 65;
        caps->OutputReportByteLength = 33;
        return capsStatus;
    }
    static BOOLEAN __stdcall NoSerialNumber(HANDLE, PVOID, ULONG) { return FALSE; }
    static std::map<std::string, void*> EntryPoints() {
        return {{"HidD_GetProductString", reinterpret_cast<void*>(&GetProductString)},
                {"HidD_GetSerialNumberString", reinterpret_cast<void*>(&NoSerialNumber)},
                {"HidD_GetAttributes", reinterpret_cast<void*>(&GetAttributes)},
                {"HidD_GetPreparsedData", reinterpret_cast<void*>(&GetPreparsedData)},
                {"HidD_FreePreparsedData", reinterpret_cast<void*>(&FreePreparsedData)},
                {"HidP_GetCaps", reinterpret_cast<void*>(&GetCaps)}};
    }
};

TEST(WindowsHidBackendTest, QueriesTakeWhatTheServiceGivesWithoutOverrun) {
    auto loader = std::make_shared<TestLoader>();
    loader->replaced = FakeHid::EntryPoints();
    WindowsHidBackend backend(loader);
    ASSERT_TRUE(backend.Available());
    PipeDevice device;
    const HidHandle handle = backend.Open(device.Path(), HidOpenMode::QueryOnly);
    ASSERT_NE(handle, InvalidHidHandle);

    struct ProductCase {
        std::u16string given;
        bool fills;
        bool ok;
        std::size_t length;
    };
    for (const ProductCase& c :
         {ProductCase{u"KX-RD4", false, true, 6}, ProductCase{u"", false, false, 0},
          ProductCase{u"", true, true, 254}}) {
        FakeHid::product = c.given;
        FakeHid::productFills = c.fills;
        std::u16string text = u"old";
        EXPECT_EQ(backend.GetProductString(handle, text), c.ok);
        if (c.ok) {
            EXPECT_EQ(text.size(), c.length);
            EXPECT_EQ(text.substr(0, 6), c.fills ? u"ABCDEF" : c.given);
        }
    }

    HidAttributes attributes;
    ASSERT_TRUE(backend.GetAttributes(handle, attributes));
    EXPECT_EQ(attributes.VendorID, 0x1A2B);
    EXPECT_EQ(attributes.ProductID, 0x000C);
    EXPECT_EQ(attributes.VersionNumber, 0x0102);

    struct CapsCase {
        bool preparsedOk;
        NTSTATUS status;
        bool ok;
        int freed;
    };
    for (const CapsCase& c : {CapsCase{true, HIDP_STATUS_SUCCESS, true, 1},
                              CapsCase{true, HIDP_STATUS_INVALID_PREPARSED_DATA, false, 1},
                              CapsCase{false, HIDP_STATUS_SUCCESS, false, 0}}) {
        FakeHid::preparsedOk = c.preparsedOk;
        FakeHid::capsStatus = c.status;
        FakeHid::freed = 0;
        HidCaps caps;
        EXPECT_EQ(backend.GetCaps(handle, caps), c.ok);
        EXPECT_EQ(FakeHid::freed, c.freed);
        if (c.ok) {
            EXPECT_EQ(caps.InputReportByteLength, 65);
            EXPECT_EQ(caps.OutputReportByteLength, 33);
        }
    }
    backend.Close(handle);
}

// Pipe instances standing in for a device, one taken by each open. Byte mode
// without a buffer, never read: a write waits for good, like a controller
// that stopped taking reports.
class PipeInstances {
public:
    explicit PipeInstances(int count) {
        static int counter = 0;
        path_ = "\\\\.\\pipe\\kxrd4-stalled-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        for (int i = 0; i < count; ++i) {
            auto instance = std::make_unique<Instance>();
            instance->pipe =
                ::CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
            instance->connect.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
            // Completes when a client opens this instance.
            ::ConnectNamedPipe(instance->pipe, &instance->connect);
            instances_.push_back(std::move(instance));
        }
    }
    ~PipeInstances() {
        for (auto& instance : instances_) {
            ::CancelIoEx(instance->pipe, nullptr);
            ::CloseHandle(instance->pipe);
            ::CloseHandle(instance->connect.hEvent);
        }
    }
    bool Valid() const { return instances_.front()->pipe != INVALID_HANDLE_VALUE; }
    const std::string& Path() const { return path_; }
    // How many times the path was opened.
    int Opened() const {
        int opened = 0;
        for (const auto& instance : instances_) {
            opened += ::WaitForSingleObject(instance->connect.hEvent, 0) == WAIT_OBJECT_0;
        }
        return opened;
    }

private:
    struct Instance {
        HANDLE pipe = INVALID_HANDLE_VALUE;
        OVERLAPPED connect{};
    };
    std::string path_;
    std::vector<std::unique_ptr<Instance>> instances_;
};

TEST(WindowsHidBackendTest, AWriteTheDeviceDoesNotTakeFailsInTimeAndTheNextOneOpensItAnew) {
    PipeInstances pipe(32);
    ASSERT_TRUE(pipe.Valid());
    // The pipe is listed as the one HID interface, a KX-RD4 by its strings.
    auto loader = std::make_shared<TestLoader>();
    loader->replaced = FakeSetup::EntryPoints();
    loader->replaced.merge(FakeHid::EntryPoints());
    FakeSetup::setAvailable = true;
    FakeSetup::interfaces = {{HidText::Utf8ToUtf16(pipe.Path()), 7, true, true}};
    FakeHid::product = u"KX-RD4";
    FakeHid::productFills = false;
    FakeHid::preparsedOk = true;
    FakeHid::capsStatus = HIDP_STATUS_SUCCESS;

    auto backend = std::make_shared<WindowsHidBackend>(loader);
    auto ui = std::make_shared<PumpedUiDispatcher>();
    RecordingSink sink;
    TJvHidDeviceController controller(backend, ui);
    DeviceLink link(controller, sink,
                    [](TJvHidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
    CurrentDeviceOutput output(link);
    ui->Pump();
    ASSERT_NE(link.CurrentDevice(), nullptr);
    EXPECT_EQ(sink.connection, "Połączony");

    using Clock = std::chrono::steady_clock;
    const auto timeout = std::chrono::milliseconds(HidWriteTimeoutMs);
    const std::uint8_t value[4] = {0x2C, 0x01, 0x00, 0x00};
    const int opened = pipe.Opened();
    struct Attempt {
        const char* name;
        int restFirstMs;
        bool waits;    // for the time-out
        int openedNow; // opens of the device since the first scan
    };
    const Attempt attempts[] = {
        {"the device takes nothing: given up", 0, true, 1},
        {"at once while the device rests", 0, false, 1},
        {"after the rest, opened anew and given up", TJvHidDevice::StalledWriteRestMs, true, 2},
    };
    for (const Attempt& a : attempts) {
        SCOPED_TRACE(a.name);
        ::Sleep(static_cast<DWORD>(a.restFirstMs));
        const auto start = Clock::now();
        output.SendReport('o', value, sizeof value);
        const auto took = Clock::now() - start;
        EXPECT_GE(took, a.waits ? timeout - std::chrono::milliseconds(50) : Clock::duration{});
        EXPECT_LT(took, a.waits ? timeout + std::chrono::seconds(2) : timeout / 10);
        EXPECT_EQ(sink.connection, "Rozłączony");
        EXPECT_EQ(sink.status, DeviceLink::WriteFailed);
        EXPECT_EQ(pipe.Opened(), opened + a.openedNow);
    }
    link.Shutdown();
}

// A handle's device-change notification as the system sends it.
LRESULT SendHandleEvent(HWND window, WPARAM code, void* file) {
    DEV_BROADCAST_HANDLE record{};
    record.dbch_size = sizeof record;
    record.dbch_devicetype = DBT_DEVTYP_HANDLE;
    record.dbch_handle = static_cast<HANDLE>(file);
    return ::SendMessageW(window, WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(&record));
}

TEST(WindowsHidBackendTest, ARemovalQueryClosesTheHandlesAndACalledOffOneReopensThem) {
    PipeInstances pipe(16);
    ASSERT_TRUE(pipe.Valid());
    WindowsHidBackend backend;
    backend.SetNotificationListener([] {});
    const HWND window = static_cast<HWND>(backend.NotificationWindow());
    ASSERT_NE(window, nullptr);

    const HidHandle main = backend.Open(pipe.Path(), HidOpenMode::ReadWrite);
    const HidHandle read = backend.Open(pipe.Path(), HidOpenMode::Read);
    ASSERT_NE(main, InvalidHidHandle);
    ASSERT_NE(read, InvalidHidHandle);
    void* const mainFile = backend.SystemHandle(main);
    void* const readFile = backend.SystemHandle(read);
    auto waker = backend.CreateWaker();

    // Device Manager asks to disable the device: a pending read ends, both
    // handles are closed at once and the path does not open meanwhile.
    ReadResult r = ReadOnThread(backend, read, *waker, [&] {
        ::Sleep(50);
        EXPECT_EQ(SendHandleEvent(window, DBT_DEVICEQUERYREMOVE, readFile), TRUE);
    });
    EXPECT_EQ(r.status, HidReadStatus::Failed);
    EXPECT_EQ(SendHandleEvent(window, DBT_DEVICEQUERYREMOVE, mainFile), TRUE);
    EXPECT_EQ(backend.SystemHandle(main), nullptr);
    EXPECT_EQ(backend.SystemHandle(read), nullptr);
    const std::uint8_t report[2] = {1, 'u'};
    std::size_t written = 0;
    EXPECT_FALSE(backend.Write(main, report, sizeof report, written));
    EXPECT_EQ(backend.Open(pipe.Path(), HidOpenMode::QueryOnly), InvalidHidHandle);
    const int opened = pipe.Opened();

    // Called off: opened again, the path opens again.
    SendHandleEvent(window, DBT_DEVICEQUERYREMOVEFAILED, mainFile);
    SendHandleEvent(window, DBT_DEVICEQUERYREMOVEFAILED, readFile);
    EXPECT_NE(backend.SystemHandle(main), nullptr);
    EXPECT_NE(backend.SystemHandle(read), nullptr);
    EXPECT_EQ(pipe.Opened(), opened + 2);
    const HidHandle query = backend.Open(pipe.Path(), HidOpenMode::QueryOnly);
    EXPECT_NE(query, InvalidHidHandle);
    backend.Close(query);
    EXPECT_TRUE(backend.TakeRemovedPaths().empty());

    // Removed after all: closed for good, and the path is reported removed,
    // also through the interface's own broadcast, whatever its letter case.
    SendHandleEvent(window, DBT_DEVICEREMOVECOMPLETE, backend.SystemHandle(main));
    EXPECT_EQ(backend.SystemHandle(main), nullptr);
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        WCHAR rest[MAX_PATH];
    } record{};
    record.header.dbcc_size = sizeof record;
    record.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::u16string upper(pipe.Path().begin(), pipe.Path().end()); // the path is ASCII
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char16_t c) {
        return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    });
    std::memcpy(reinterpret_cast<char*>(&record) +
                    offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name),
                upper.c_str(), (upper.size() + 1) * sizeof(char16_t));
    ::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                   reinterpret_cast<LPARAM>(&record));
    const auto removed = backend.TakeRemovedPaths();
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[0], pipe.Path());
    EXPECT_TRUE(backend.SamePath(removed[1], pipe.Path()));
    EXPECT_TRUE(backend.TakeNotifications());
    backend.Close(main);
    backend.Close(read);
    backend.SetNotificationListener(nullptr);
}

} // namespace
