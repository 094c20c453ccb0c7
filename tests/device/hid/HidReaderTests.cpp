// The reader thread and the blocking hand-over: order, thread, stopping,
// replacing handlers, unplugging, odd read sizes.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <stdexcept>

#include "HidTestRig.h"
#include "TJvHidDeviceController.h"
#include "TJvHidDeviceReadThread.h"

namespace {

class HidReader : public ::testing::Test {
protected:
    HidTestRig rig;
    std::unique_ptr<TJvHidDeviceController> controller;
    std::unique_ptr<TJvHidDevice> device;
    SimulatedHidBackend::DeviceId id = 0;
    std::vector<ReceivedReport> received;
    TJvHidDataEvent record = [this](TJvHidDevice& d, std::uint8_t reportId,
                                    const std::uint8_t* data, std::uint16_t size) {
        received.push_back({&d, reportId, std::vector<std::uint8_t>(data, data + size),
                            std::this_thread::get_id()});
    };

    void Claim(SimulatedHidBackend::DeviceSpec setup = HidTestRig::Setup(u"KX-RD4")) {
        id = rig.backend->Plug(setup);
        controller = std::make_unique<TJvHidDeviceController>(rig.backend, rig.ui);
        rig.ui->Pump();
        ASSERT_EQ(controller->Count(), 1);
        device = controller->ClaimByIndex(0);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        device.reset();
        controller.reset();
    }
    static std::vector<std::uint8_t> Report(std::uint8_t first, std::size_t size) {
        std::vector<std::uint8_t> r(size);
        for (std::size_t i = 0; i < size; ++i) {
            r[i] = static_cast<std::uint8_t>(first + i);
        }
        return r;
    }
};

TEST_F(HidReader, DeliversEveryReportInOrderOnTheUiThread) {
    Claim();
    device->SetDataHandler(record);
    ASSERT_TRUE(device->HasReader());
    EXPECT_EQ(device->Reader()->BufferSize(), 65u);
    for (int i = 0; i < 200; ++i) {
        auto r = Report(static_cast<std::uint8_t>(i), 65);
        r[0] = 1;
        rig.backend->InjectReport(id, r);
    }
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() == 200; }));
    for (int i = 0; i < 200; ++i) {
        const auto& r = received[static_cast<std::size_t>(i)];
        EXPECT_EQ(r.reportId, 1);
        ASSERT_EQ(r.data.size(), 64u);
        EXPECT_EQ(r.data[0], static_cast<std::uint8_t>(i + 1));
        EXPECT_EQ(r.data[63], static_cast<std::uint8_t>(i + 64));
        EXPECT_EQ(r.thread, std::this_thread::get_id());
        EXPECT_EQ(r.device, device.get());
    }
}

TEST_F(HidReader, TheReadHandleIsOpenWhenTheReaderStarts) {
    // hidraw queues input only for open handles: a reply to a request written
    // right after the start must find the reader's handle already open.
    Claim();
    device->SetDataHandler(record);
    EXPECT_EQ(rig.backend->OpenHandles(id, HidOpenMode::Read), 1);
}

TEST_F(HidReader, EmptyReportsAreDroppedAndLongOnesCut) {
    Claim();
    device->SetDataHandler(record);
    rig.backend->InjectReport(id, {});
    rig.backend->InjectReport(id, Report(7, 300));
    rig.backend->InjectReport(id, {9});
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() == 2; }));
    rig.Settle();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].reportId, 7);
    EXPECT_EQ(received[0].data.size(), 64u);
    EXPECT_EQ(received[1].reportId, 9);
    EXPECT_EQ(received[1].data.size(), 0u);
}

TEST_F(HidReader, ReplacingTheHandlerKeepsTheReader) {
    Claim();
    device->SetDataHandler(record);
    const TJvHidDeviceReadThread* reader = device->Reader();
    int other = 0;
    device->SetDataHandler(
        [&](TJvHidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) { ++other; });
    EXPECT_EQ(device->Reader(), reader);
    rig.backend->InjectReport(id, Report(1, 65));
    ASSERT_TRUE(rig.PumpUntil([&] { return other == 1; }));
    EXPECT_TRUE(received.empty());
}

TEST_F(HidReader, NoHandlerNoReaderAndNoReportToAnEmptySlot) {
    Claim();
    EXPECT_FALSE(device->HasReader()) << "no handler set";
    device->SetDataHandler(record);
    device->SetDataHandler(nullptr);
    EXPECT_FALSE(device->HasReader());
    rig.backend->InjectReport(id, Report(1, 65));
    rig.Settle();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(rig.backend->PendingReports(id), 1u) << "nobody reads without a handler";
}

TEST_F(HidReader, StoppingAReaderBlockedInAHandOverCompletes) {
    Claim();
    device->SetDataHandler(record);
    rig.backend->InjectReport(id, Report(1, 65));
    // The reader hands the report over and blocks; the test's thread does not
    // serve it before it stops the reader.
    while (rig.backend->PendingReports(id) != 0) {
        std::this_thread::yield();
    }
    device->SetDataHandler(nullptr);
    EXPECT_FALSE(device->HasReader());
    ASSERT_EQ(received.size(), 1u) << "the report in hand was delivered before the slot cleared";
    rig.backend->InjectReport(id, Report(2, 65));
    rig.Settle();
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(HidReader, StopsAtOnceWhateverTheSleepTime) {
    Claim();
    device->SetReaderSleepTime(10000);
    device->SetDataHandler(record);
    rig.Settle(std::chrono::milliseconds(20)); // let it wait for a report
    device->StopReader();                      // must not take 10 s; CTest's time-out would tell
    EXPECT_FALSE(device->HasReader());
    EXPECT_EQ(rig.backend->OpenHandles(id, HidOpenMode::Read), 0) << "read handle closed";
}

TEST_F(HidReader, AnIdleReaderDoesNotWakeUp) {
    Claim();
    device->SetReaderSleepTime(10);
    device->SetDataHandler(record);
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.backend->ReadCalls() == 1; }));
    rig.Settle(std::chrono::milliseconds(200));
    EXPECT_EQ(rig.backend->ReadCalls(), 1u);
}

TEST_F(HidReader, UnpluggedDeviceDeliversNothingAndPausesBetweenFailedStarts) {
    Claim();
    std::atomic<int> errors{0};
    device->SetDataErrorHandler([&](TJvHidDevice&, std::uint32_t) { ++errors; });
    device->SetReaderSleepTime(20);
    device->SetDataHandler(record);
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.backend->ReadCalls() == 1; }));
    device->MarkUnplugged();
    rig.backend->InjectReport(id, Report(1, 65));
    rig.Settle(std::chrono::milliseconds(200));
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(device->HasReader()) << "stops only when released";
    EXPECT_GE(errors.load(), 1);
    EXPECT_LE(errors.load(), 30) << "failed starts are paced, not spun";
    device.reset();
    EXPECT_EQ(rig.backend->OpenHandles(id, HidOpenMode::Read), 0);
}

TEST_F(HidReader, ReaderRecoversWhenTheReadFails) {
    Claim();
    device->SetReaderSleepTime(10);
    device->SetDataHandler(record);
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.backend->ReadCalls() >= 1; }));
    // The back end drops the handle (as a read error would); the next read
    // opens a new one.
    for (int h = 0; h < 64; ++h) {
        rig.backend->Close(h);
    }
    rig.backend->InjectReport(id, Report(5, 65));
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() == 1; }));
}

TEST_F(HidReader, WritesGoThroughOnlyForAccessibleReadWriteDevices) {
    Claim();
    const std::uint8_t report[65] = {1, 'u'};
    std::uint32_t written = 0;
    EXPECT_TRUE(device->WriteReport(report, 65, written));
    EXPECT_EQ(written, 65u);
    ASSERT_EQ(rig.backend->Written(id).size(), 1u);
    EXPECT_EQ(rig.backend->Written(id)[0].size(), 65u);

    device->MarkUnplugged();
    EXPECT_FALSE(device->WriteReport(report, 65, written));
    EXPECT_EQ(rig.backend->Written(id).size(), 1u);
}

// A long run (the demo's chart polls 40 times a second) must not make the
// simulated device's write history grow without end: it keeps the last ones.
TEST_F(HidReader, SimulatedDeviceKeepsTheLastWritesOnly) {
    Claim();
    constexpr std::size_t Limit = SimulatedHidBackend::WrittenHistory;
    std::uint8_t report[65] = {1, 'y'};
    std::uint32_t written = 0;
    for (std::uint32_t n = 0; n < Limit + 2; ++n) {
        std::memcpy(report + 2, &n, sizeof n);
        ASSERT_TRUE(device->WriteReport(report, 65, written));
    }
    const auto history = rig.backend->Written(id);
    ASSERT_EQ(history.size(), Limit);
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::memcpy(&first, history.front().data() + 2, sizeof first);
    std::memcpy(&last, history.back().data() + 2, sizeof last);
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(last, Limit + 1);
}

TEST_F(HidReader, QueryOnlyDeviceGetsNoReaderAndWritesNothing) {
    auto setup = HidTestRig::Setup(u"KX-RD4");
    setup.QueryOnly = true;
    Claim(setup);
    device->SetDataHandler(record);
    EXPECT_FALSE(device->HasReader());
    const std::uint8_t report[65] = {1, 'u'};
    std::uint32_t written = 0;
    EXPECT_FALSE(device->WriteReport(report, 65, written));
    EXPECT_EQ(device->Caps().OutputReportByteLength, 65) << "queries still work";
    EXPECT_EQ(device->ProductString(), u"KX-RD4");
}

TEST_F(HidReader, DeviceWithoutReadableInputLengthGetsNoReader) {
    auto setup = HidTestRig::Setup(u"KX-RD4");
    setup.CapsReadable = false;
    Claim(setup);
    device->SetDataHandler(record);
    EXPECT_FALSE(device->HasReader());
    EXPECT_EQ(device->Caps().InputReportByteLength, 0);
    EXPECT_EQ(device->Caps().OutputReportByteLength, 0);
}

TEST_F(HidReader, ProductStringIsCutAtZeroAnd254Characters) {
    auto setup = HidTestRig::Setup(std::u16string(300, u'x'));
    Claim(setup);
    EXPECT_EQ(device->ProductString().size(), 254u);

    auto zero = HidTestRig::Setup(std::u16string(u"KX-RD4\0junk", 11));
    SimulatedHidBackend::DeviceId second = rig.backend->Plug(zero);
    controller->CheckNotifications();
    ASSERT_EQ(controller->Count(), 2);
    auto other = controller->ClaimByIndex(1);
    EXPECT_EQ(other->ProductString(), u"KX-RD4");
    (void)second;
}

TEST_F(HidReader, AHandlerMayRemoveItselfAndMayFail) {
    Claim();
    int calls = 0;
    device->SetDataHandler(
        [&](TJvHidDevice& d, std::uint8_t, const std::uint8_t* data, std::uint16_t) {
            ++calls;
            if (data[0] == 'x') {
                throw std::runtime_error("handler failed");
            }
            if (data[0] == 'q') {
                d.SetDataHandler(nullptr); // from inside its own delivery
            }
        });
    auto letter = [](std::uint8_t l) { return std::vector<std::uint8_t>{1, l}; };
    rig.backend->InjectReport(id, letter('x'));
    rig.backend->InjectReport(id, letter('a'));
    ASSERT_TRUE(rig.PumpUntil([&] { return calls == 2; })) << "a failing handler stops nothing";
    rig.backend->InjectReport(id, letter('q'));
    ASSERT_TRUE(rig.PumpUntil([&] { return calls == 3; }));
    EXPECT_FALSE(device->HasReader());
    rig.backend->InjectReport(id, letter('b'));
    rig.Settle();
    EXPECT_EQ(calls, 3);
    device.reset(); // joins the stopped reader
}

} // namespace

// A second user of the same devices on a thread of its own (the window's
// backup beside the window's link): each reader gets every report, and the
// second user's controller going away leaves the first one hearing plugs.
TEST_F(HidReader, ASecondClientOnAnotherThreadSeesEveryReportAndLeavesTheFirstItsNotifications) {
    Claim();
    device->SetDataHandler(record);
    constexpr std::size_t Count = 100;
    std::atomic<bool> ready{false};
    std::atomic<std::size_t> secondGot{0};
    std::thread second([&] {
        auto ui = std::make_shared<PumpedUiDispatcher>();
        auto other = std::make_unique<TJvHidDeviceController>(
            SimulatedHidBackend::NewClient(rig.backend), ui);
        ui->Pump();
        std::unique_ptr<TJvHidDevice> mine = other->ClaimByIndex(0);
        if (mine == nullptr) {
            ADD_FAILURE() << "the second client sees no device";
            ready = true;
            return;
        }
        std::size_t got = 0;
        mine->SetDataHandler([&](TJvHidDevice&, std::uint8_t, const std::uint8_t* data,
                                 std::uint16_t) { EXPECT_EQ(data[0], (++got) % 256); });
        ready = true;
        ui->PumpUntil([&] { return got == Count; }, std::chrono::seconds(10));
        secondGot = got;
        mine.reset();
        other.reset();
    });
    while (!ready) {
        std::this_thread::yield();
    }
    for (std::size_t i = 0; i < Count; ++i) {
        auto r = Report(static_cast<std::uint8_t>(i), 65);
        r[0] = 1;
        rig.backend->InjectReport(id, r);
    }
    EXPECT_TRUE(rig.PumpUntil([&] { return received.size() == Count; }));
    second.join();
    EXPECT_EQ(secondGot, Count);
    for (std::size_t i = 0; i < received.size(); ++i) {
        EXPECT_EQ(received[i].data[0], (i + 1) % 256);
    }
    rig.backend->Plug(HidTestRig::Setup(u"Other"));
    EXPECT_TRUE(rig.PumpUntil([&] { return controller->Count() == 2; }));
}
