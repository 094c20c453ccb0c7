// The HID link on a real kernel: uhid devices stand in for the controller and
// for other HID devices; the link finds them through udev and hidraw, follows
// plugging and unplugging through the back end's notification descriptor and
// hands every input report to the test's user-interface thread (the thread
// that runs the tests and pumps the dispatcher).

#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "DeviceLinkSink.h"
#include "LinuxHidrawBackend.h"
#include "PumpedUiDispatcher.h"
#include "TJvHidDevice.h"
#include "TJvHidDeviceController.h"
#include "UhidDevice.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t KxVendor = 0x1A2B;
constexpr std::uint32_t KxProduct = 0x000C;

UhidDevice::Config KxRd4Config() {
    UhidDevice::Config c;
    c.name = "KX-RD4";
    c.vendor = KxVendor;
    c.product = KxProduct;
    c.descriptor = UhidDevice::NumberedDescriptor(64);
    return c;
}

// What the main window would show: the list entries and the two panels.
class RecordingSink : public DeviceLinkSink {
public:
    void ClearDeviceList() override { entries.clear(); }
    void AddDeviceEntry(const std::string& text, TJvHidDevice*) override {
        entries.push_back(text);
    }
    void ShowStatus(const std::string& text) override { status = text; }
    void ShowConnection(const std::string& text, const std::string& tip) override {
        connection = text;
        toolTip = tip;
    }

    std::vector<std::string> entries;
    std::string status;
    std::string connection;
    std::string toolTip;
};

struct Received {
    TJvHidDevice* device;
    std::uint8_t reportId;
    std::vector<std::uint8_t> data;
    std::thread::id thread;
};

// Threads of this process other than the calling one, with their context
// switch counts: an idle thread's counts do not move.
std::uint64_t OtherThreadsSwitches(int& threads) {
    const std::string self = std::to_string(::gettid());
    std::uint64_t total = 0;
    threads = 0;
    DIR* dir = ::opendir("/proc/self/task");
    if (dir == nullptr) {
        return 0;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string tid = e->d_name;
        if (tid == "." || tid == ".." || tid == self) {
            continue;
        }
        ++threads;
        std::ifstream in("/proc/self/task/" + tid + "/status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
                total += std::stoull(line.substr(line.find(':') + 1));
            }
        }
    }
    ::closedir(dir);
    return total;
}

// Whether some descriptor of this process refers to the device node.
bool OpenedByThisProcess(const std::string& node) {
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* e = ::readdir(dir)) {
        char target[256] = {};
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof(target) - 1);
        if (n > 0 && node == target) {
            found = true;
        }
    }
    ::closedir(dir);
    return found;
}

int OtherThreadCount() {
    int threads = 0;
    OtherThreadsSwitches(threads);
    return threads;
}

// A joined thread can stay listed in /proc for a moment after the join.
bool WaitForOtherThreads(int expected) {
    int threads = OtherThreadCount();
    for (int i = 0; i < 200 && threads != expected; ++i) {
        std::this_thread::sleep_for(5ms);
        threads = OtherThreadCount();
    }
    EXPECT_EQ(threads, expected);
    return threads == expected;
}

class KernelLink : public ::testing::Test {
protected:
    void SetUp() override {
        // Threads of earlier tests may still be listed for a moment.
        baselineThreads_ = OtherThreadCount();
        for (int i = 0; i < 200 && baselineThreads_ > 0; ++i) {
            std::this_thread::sleep_for(5ms);
            baselineThreads_ = OtherThreadCount();
        }
        backend_ = std::make_shared<LinuxHidrawBackend>();
        ASSERT_TRUE(backend_->Available());
        ASSERT_GE(backend_->NotificationFd(), 0) << "the back end offers no notification";
        dispatcher_ = std::make_shared<PumpedUiDispatcher>();
        controller_ = std::make_unique<TJvHidDeviceController>(backend_, dispatcher_);
        link_ = std::make_unique<DeviceLink>(
            *controller_, sink_,
            TJvHidDataEvent([this](TJvHidDevice& dev, std::uint8_t id, const std::uint8_t* data,
                                   std::uint16_t size) {
                received_.push_back({&dev, id, std::vector<std::uint8_t>(data, data + size),
                                     std::this_thread::get_id()});
            }));
        output_ = std::make_unique<CurrentDeviceOutput>(*link_);
        // The initial notification, posted by the controller.
        dispatcher_->Pump();
        ASSERT_EQ(sink_.connection, DeviceLink::Disconnected);
    }

    void TearDown() override {
        if (link_) {
            link_->Shutdown();
        }
        output_.reset();
        link_.reset();
        controller_.reset();
        devices_.clear();
        backend_.reset();
        // Every reader and uhid thread has ended.
        EXPECT_TRUE(WaitForOtherThreads(baselineThreads_));
    }

    // The user-interface thread's loop: serves hand-overs and posted calls
    // and, like the window's socket notifier, lets the controller look at the
    // back end's notification descriptor whenever it is readable.
    bool Serve(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            dispatcher_->Pump();
            if (done()) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            pollfd p{backend_->NotificationFd(), POLLIN, 0};
            if (::poll(&p, 1, 2) > 0) {
                controller_->CheckNotifications();
            }
        }
    }

    UhidDevice& Plug(UhidDevice::Config config) {
        devices_.push_back(std::make_unique<UhidDevice>(std::move(config)));
        UhidDevice& dev = *devices_.back();
        EXPECT_FALSE(dev.WaitForHidrawNode(5s).empty())
            << "no hidraw node for " << dev.config().name;
        return dev;
    }

    int EntryNamed(const std::string& text) const {
        for (int i = 0; i < link_->EntryCount(); ++i) {
            if (link_->EntryText(i) == text) {
                return i;
            }
        }
        return -1;
    }
    bool Listed(const std::string& text) const { return EntryNamed(text) >= 0; }
    int EntryOf(const TJvHidDevice* device) const {
        for (int i = 0; i < link_->EntryCount(); ++i) {
            if (link_->EntryDevice(i) == device) {
                return i;
            }
        }
        return -1;
    }

    // Waits until a device is selected and its reader has opened the node:
    // from then on the kernel keeps the device's input reports for it. (A
    // report that arrives before the reader opens the node is not kept.)
    bool WaitForSelection() {
        if (!Serve([&] { return link_->CurrentDevice() != nullptr; })) {
            return false;
        }
        const std::string node = link_->CurrentDevice()->PnPInfo().InterfacePath;
        return Serve([&] { return OpenedByThisProcess(node); }, 5s);
    }

    // Sends a report with the letter and a counter through SendReport and
    // waits for the device's echo to reach the handler.
    void RoundTrip(UhidDevice& device, std::uint8_t counter) {
        const std::size_t outputsBefore = device.Outputs().size();
        const std::size_t receivedBefore = received_.size();
        const std::uint8_t payload[] = {3, counter, 0xA5};
        output_->SendReport('d', payload, sizeof(payload));
        ASSERT_TRUE(device.WaitForOutputs(outputsBefore + 1, 5s));
        const auto written = device.Outputs().back();
        std::vector<std::uint8_t> expected(65, 0);
        expected[0] = 1;
        expected[1] = 'd';
        expected[2] = 3;
        expected[3] = counter;
        expected[4] = 0xA5;
        EXPECT_EQ(written, expected);

        ASSERT_TRUE(Serve([&] { return received_.size() > receivedBefore; }, 5s));
        const Received& r = received_.back();
        EXPECT_EQ(r.device, link_->CurrentDevice());
        EXPECT_EQ(r.reportId, 1);
        EXPECT_EQ(r.data, std::vector<std::uint8_t>(expected.begin() + 1, expected.end()));
        EXPECT_EQ(r.thread, std::this_thread::get_id());
    }

    int baselineThreads_ = 0;
    std::shared_ptr<LinuxHidrawBackend> backend_;
    std::shared_ptr<PumpedUiDispatcher> dispatcher_;
    std::unique_ptr<TJvHidDeviceController> controller_;
    RecordingSink sink_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<CurrentDeviceOutput> output_;
    std::vector<Received> received_;
    std::vector<std::unique_ptr<UhidDevice>> devices_;
};

TEST_F(KernelLink, FindsAndSelectsTheController) {
    Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());

    TJvHidDevice* current = link_->CurrentDevice();
    EXPECT_TRUE(Listed("KX-RD4"));
    EXPECT_EQ(link_->EntryText(EntryOf(current)), "KX-RD4");
    EXPECT_EQ(current->ProductString(), u"KX-RD4");
    EXPECT_EQ(current->VendorID(), KxVendor);
    EXPECT_EQ(current->ProductID(), KxProduct);
    EXPECT_TRUE(current->ReadWriteAccess());
    EXPECT_TRUE(current->HasReader());
    EXPECT_EQ(sink_.connection, DeviceLink::Connected);
    EXPECT_EQ(sink_.entries, std::vector<std::string>{"KX-RD4"});
    EXPECT_EQ(sink_.status, DeviceLink::Refreshing);

    const HidCaps caps = current->Caps();
    EXPECT_EQ(caps.InputReportByteLength, 65);
    EXPECT_EQ(caps.OutputReportByteLength, 65);
}

TEST_F(KernelLink, ReportsRoundTripThroughTheReaderInOrder) {
    UhidDevice& kx = Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    EXPECT_TRUE(kx.WaitForOpenCount(1, 5s)) << "the node is not held open";

    for (std::uint8_t i = 0; i < 5; ++i) {
        RoundTrip(kx, i);
    }

    // Reports the device sends on its own, several at once, arrive in order.
    const std::size_t before = received_.size();
    for (std::uint8_t i = 0; i < 10; ++i) {
        std::vector<std::uint8_t> report(65, 0);
        report[0] = 1;
        report[1] = 'p';
        report[2] = i;
        ASSERT_TRUE(kx.SendInput(report));
    }
    ASSERT_TRUE(Serve([&] { return received_.size() >= before + 10; }, 3s));
    for (std::uint8_t i = 0; i < 10; ++i) {
        const Received& r = received_.at(before + i);
        EXPECT_EQ(r.data.size(), 64u);
        EXPECT_EQ(r.data.at(0), 'p');
        EXPECT_EQ(r.data.at(1), i);
        EXPECT_EQ(r.thread, std::this_thread::get_id());
    }
}

TEST_F(KernelLink, IdleReaderDoesNotWakeUp) {
    Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    ASSERT_TRUE(link_->CurrentDevice()->HasReader());
    std::this_thread::sleep_for(100ms); // let the reader reach its wait

    int threads = 0;
    const std::uint64_t before = OtherThreadsSwitches(threads);
    std::this_thread::sleep_for(600ms); // several ReaderSleepTime slices
    int threadsAfter = 0;
    const std::uint64_t after = OtherThreadsSwitches(threadsAfter);
    EXPECT_EQ(threads, threadsAfter);
    EXPECT_EQ(after, before) << "a thread woke up while no report arrived";
}

TEST_F(KernelLink, UnplugStopsTheReaderAndReplugSelectsTheNewDevice) {
    UhidDevice& first = Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    const std::uint32_t firstDevInst = link_->CurrentDevice()->PnPInfo().DevInst;
    RoundTrip(first, 1);
    const int threadsWhileConnected = OtherThreadCount();

    first.Destroy();
    // Before the change is processed the device is still selected and its
    // write handle open: writes fail at once instead of hanging.
    ASSERT_NE(link_->CurrentDevice(), nullptr);
    {
        std::uint8_t buffer[65] = {1, 'd'};
        std::uint32_t written = 0;
        EXPECT_FALSE(link_->CurrentDevice()->WriteReport(buffer, sizeof(buffer), written));
        const std::uint8_t payload[] = {3, 2};
        output_->SendReport('d', payload, sizeof(payload));
    }
    ASSERT_TRUE(Serve([&] { return link_->CurrentDevice() == nullptr; }))
        << "the unplugged controller is still selected";
    EXPECT_FALSE(Listed("KX-RD4"));
    EXPECT_EQ(sink_.connection, DeviceLink::Disconnected);
    // The reader and the uhid device's thread have ended.
    EXPECT_TRUE(WaitForOtherThreads(threadsWhileConnected - 2));

    // Sending with nothing selected writes nothing and does not fail.
    const std::uint8_t payload[] = {0};
    output_->SendReport('d', payload, sizeof(payload));

    UhidDevice& second = Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    EXPECT_NE(link_->CurrentDevice()->PnPInfo().DevInst, firstDevInst);
    EXPECT_EQ(link_->EntryText(EntryOf(link_->CurrentDevice())), "KX-RD4");
    EXPECT_EQ(link_->EntryCount() - 1, EntryOf(link_->CurrentDevice()));
    EXPECT_EQ(sink_.connection, DeviceLink::Connected);
    RoundTrip(second, 2);
    EXPECT_EQ(first.Outputs().size(), 1u);
}

TEST_F(KernelLink, OtherDeviceIsListedButNotSelected) {
    UhidDevice& kx = Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    TJvHidDevice* const selected = link_->CurrentDevice();

    UhidDevice::Config other;
    other.name = "KX-RD4 "; // a trailing blank is another product
    other.vendor = 0x1234;
    other.product = 0x5678;
    other.descriptor = UhidDevice::UnnumberedDescriptor(8);
    Plug(other);
    ASSERT_TRUE(Serve([&] { return Listed("KX-RD4 "); })) << "the second device is not listed";

    ASSERT_NE(link_->CurrentDevice(), nullptr);
    EXPECT_NE(link_->CurrentDevice(), selected) << "the rebuild keeps no old object";
    EXPECT_EQ(link_->EntryText(EntryOf(link_->CurrentDevice())), "KX-RD4");
    const int otherEntry = EntryNamed("KX-RD4 ");
    ASSERT_GE(otherEntry, 0);
    TJvHidDevice* otherDevice = link_->EntryDevice(otherEntry);
    ASSERT_NE(otherDevice, nullptr);
    EXPECT_EQ(sink_.entries, (std::vector<std::string>{"KX-RD4", "KX-RD4 "}));
    EXPECT_FALSE(otherDevice->HasReader());
    EXPECT_EQ(otherDevice->VendorID(), 0x1234);
    // Without numbered reports the identifier byte is counted all the same.
    EXPECT_EQ(otherDevice->Caps().InputReportByteLength, 9);
    EXPECT_EQ(otherDevice->Caps().OutputReportByteLength, 9);
    EXPECT_EQ(sink_.connection, DeviceLink::Connected);
    RoundTrip(kx, 7);
}

TEST_F(KernelLink, ASecondControllerPluggedLaterDoesNotTakeThePlaceOfTheFirst) {
    UhidDevice& a = Plug(KxRd4Config());
    ASSERT_TRUE(WaitForSelection());
    UhidDevice& b = Plug(KxRd4Config());
    ASSERT_TRUE(Serve([&] {
        int n = 0;
        for (int i = 0; i < link_->EntryCount(); ++i) {
            n += link_->EntryText(i) == "KX-RD4" ? 1 : 0;
        }
        return n == 2;
    }));
    TJvHidDevice* current = link_->CurrentDevice();
    ASSERT_NE(current, nullptr);
    ASSERT_TRUE(WaitForSelection());
    for (int i = 0; i < link_->EntryCount(); ++i) {
        if (link_->EntryText(i) == "KX-RD4" && link_->EntryDevice(i) != current) {
            EXPECT_FALSE(link_->EntryDevice(i)->HasReader());
        }
    }
    // The one in use stays, wherever b is listed.
    EXPECT_EQ(link_->EntryIdentity(EntryOf(current)).path, a.WaitForHidrawNode(1s));

    std::vector<std::uint8_t> report(65, 0);
    report[0] = 1;
    report[1] = 'a';
    ASSERT_TRUE(a.SendInput(report));
    report[1] = 'b';
    ASSERT_TRUE(b.SendInput(report));
    ASSERT_TRUE(Serve([&] { return !received_.empty(); }, 5s));
    Serve([] { return false; }, 200ms);
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0].data.at(0), 'a');
    EXPECT_EQ(received_[0].device, current);
}

} // namespace

namespace {

// Runs the scope with the effective user "nobody", which may not open the
// root-owned hidraw nodes for reading or writing.
class AsNobody {
public:
    AsNobody() { ok_ = ::setegid(65534) == 0 && ::seteuid(65534) == 0; }
    ~AsNobody() {
        [[maybe_unused]] const int u = ::seteuid(0);
        [[maybe_unused]] const int g = ::setegid(0);
    }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

TEST_F(KernelLink, DeviceWithoutNumberedReportsGetsIdentifierZero) {
    UhidDevice::Config config;
    config.name = "Other HID";
    config.vendor = 0x1234;
    config.product = 0x5678;
    config.descriptor = UhidDevice::UnnumberedDescriptor(8);
    UhidDevice& other = Plug(config);
    ASSERT_TRUE(Serve([&] { return Listed("Other HID"); }));
    TJvHidDevice* device = link_->EntryDevice(EntryNamed("Other HID"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(link_->CurrentDevice(), nullptr);
    EXPECT_FALSE(device->HasReader());

    device->SetDataHandler(TJvHidDataEvent(
        [this](TJvHidDevice& dev, std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
            received_.push_back({&dev, id, std::vector<std::uint8_t>(data, data + size),
                                 std::this_thread::get_id()});
        }));
    ASSERT_TRUE(device->HasReader());
    ASSERT_TRUE(Serve([&] { return OpenedByThisProcess(device->PnPInfo().InterfacePath); }));

    const std::vector<std::uint8_t> report = {10, 20, 30, 40, 50, 60, 70, 80};
    ASSERT_TRUE(other.SendInput(report));
    ASSERT_TRUE(Serve([&] { return !received_.empty(); }));
    EXPECT_EQ(received_[0].device, device);
    EXPECT_EQ(received_[0].reportId, 0);
    EXPECT_EQ(received_[0].data, report);
    device->SetDataHandler(nullptr);
    EXPECT_FALSE(device->HasReader());
}

TEST_F(KernelLink, ControllerWithoutAccessIsSelectedButNotConnected) {
    UhidDevice& kx = Plug(KxRd4Config());
    {
        AsNobody nobody;
        ASSERT_TRUE(nobody.ok());
        ASSERT_TRUE(Serve([&] { return link_->CurrentDevice() != nullptr; }));
        TJvHidDevice* current = link_->CurrentDevice();
        EXPECT_EQ(link_->EntryText(EntryOf(current)), "KX-RD4");
        EXPECT_FALSE(current->ReadWriteAccess());
        EXPECT_FALSE(current->HasReader());
        EXPECT_EQ(current->VendorID(), KxVendor);
        EXPECT_EQ(current->Caps().OutputReportByteLength, 65);
        EXPECT_EQ(sink_.connection, DeviceLink::Disconnected);
        EXPECT_NE(sink_.toolTip.find("70-kxrd4.rules"), std::string::npos) << sink_.toolTip;

        const std::uint8_t payload[] = {3, 0};
        output_->SendReport('d', payload, sizeof(payload));
        std::uint32_t written = 0;
        std::uint8_t buffer[65] = {1, 'd'};
        EXPECT_FALSE(current->WriteReport(buffer, sizeof(buffer), written));
    }
    EXPECT_FALSE(kx.WaitForOutputs(1, 200ms)) << "a query-only device was written";
    EXPECT_EQ(kx.OpenCount(), 0);
}

} // namespace
