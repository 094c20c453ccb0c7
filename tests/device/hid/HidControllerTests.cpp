// The controller's scan, reconciliation, claims and releases over the
// simulated back end.

#include <gtest/gtest.h>

#include <algorithm>

#include "HidTestRig.h"
#include "TJvHidDeviceController.h"

namespace {

class HidController : public ::testing::Test {
protected:
    HidTestRig rig;
    std::unique_ptr<TJvHidDeviceController> controller;
    int changes = 0;

    void Create() {
        controller = std::make_unique<TJvHidDeviceController>(rig.backend, rig.ui);
        controller->SetLoading(true);
        controller->SetOnDeviceChange([this](TJvHidDeviceController&) { ++changes; });
        controller->SetLoading(false);
        rig.ui->Pump(); // the initial notification
    }
    void Notify() { controller->CheckNotifications(); }
    std::vector<std::uint32_t> DevInsts() const {
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < controller->Count(); ++i) {
            ids.push_back(controller->Device(i)->PnPInfo().DevInst);
        }
        return ids;
    }
};

TEST_F(HidController, InitialNotificationReportsAChangeEvenWithoutDevices) {
    Create();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller->Count(), 0);
    EXPECT_EQ(controller->Version(), "1.0.35");
    EXPECT_EQ(controller->DevThreadSleepTime(), 100);
}

TEST_F(HidController, WithoutHidSupportNothingIsScannedOrNotified) {
    rig.backend->SetAvailable(false);
    rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Create();
    EXPECT_EQ(changes, 0);
    controller->HandleNotification(TJvHidDeviceController::DevNodesChanged);
    EXPECT_EQ(controller->Count(), 0);
}

TEST_F(HidController, RescanKeepsPositionsAppendsArrivalsAndDropsRemovals) {
    const auto a = rig.backend->Plug(HidTestRig::Setup(u"A"));
    const auto b = rig.backend->Plug(HidTestRig::Setup(u"B"));
    Create();
    ASSERT_EQ(controller->Count(), 2);
    TJvHidDevice* objectB = controller->Device(1);

    rig.backend->Touch(); // a node change that is not a HID change
    Notify();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller->Device(1), objectB);

    rig.backend->Unplug(a);
    Notify();
    EXPECT_EQ(changes, 2);
    ASSERT_EQ(controller->Count(), 1);
    EXPECT_EQ(controller->Device(0), objectB);

    const auto again = rig.backend->Plug(HidTestRig::Setup(u"A"));
    Notify();
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(controller->Count(), 2);
    EXPECT_EQ(controller->Device(0), objectB);
    EXPECT_EQ(controller->Device(1)->PnPInfo().InterfacePath, rig.backend->PathOf(again));
    EXPECT_NE(rig.backend->PathOf(again), rig.backend->PathOf(a));
    (void)b;
}

TEST_F(HidController, DevicesThatCannotBeOpenedOrIdentifiedAreLeftOut) {
    auto setup = [](auto change) {
        auto s = HidTestRig::Setup(u"X");
        change(s);
        return s;
    };
    rig.backend->Plug(setup([](auto& s) { s.OpenFails = true; }));
    rig.backend->Plug(setup([](auto& s) { s.AttributesReadable = false; }));
    const auto queryOnly = rig.backend->Plug(setup([](auto& s) { s.QueryOnly = true; }));
    const auto vanishing = rig.backend->Plug(HidTestRig::Setup(u"gone"));
    const std::string vanishingPath = rig.backend->PathOf(vanishing);
    rig.backend->SetOpenHook([&](const std::string& path) {
        if (path == vanishingPath) {
            rig.backend->Unplug(vanishing); // between listing and opening
        }
    });
    Create();
    ASSERT_EQ(controller->Count(), 1);
    TJvHidDevice* d = controller->Device(0);
    EXPECT_EQ(d->PnPInfo().InterfacePath, rig.backend->PathOf(queryOnly));
    EXPECT_FALSE(d->ReadWriteAccess());
    EXPECT_EQ(rig.backend->OpenHandles(queryOnly, HidOpenMode::QueryOnly), 0);
}

TEST_F(HidController, ClaimAndReleaseGiveTheDeviceBack) {
    const auto a = rig.backend->Plug(HidTestRig::Setup(u"A"));
    rig.backend->Plug(HidTestRig::Setup(u"B"));
    Create();
    EXPECT_EQ(controller->ClaimByIndex(-1), nullptr);
    EXPECT_EQ(controller->ClaimByIndex(2), nullptr);

    auto held = controller->ClaimByIndex(0);
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(held->Claimed());
    EXPECT_EQ(controller->ClaimByIndex(0), nullptr) << "claimed twice";
    const TJvHidDataEvent handler = [](TJvHidDevice&, std::uint8_t, const std::uint8_t*,
                                       std::uint16_t) {};
    held->SetDataHandler(handler);
    held->SetReaderSleepTime(250);
    EXPECT_TRUE(held->HasReader());

    TJvHidDevice* old = held.get();
    held.reset(); // release: a fresh object takes the same place
    ASSERT_EQ(controller->Count(), 2);
    TJvHidDevice* fresh = controller->Device(0);
    EXPECT_FALSE(fresh->Claimed());
    EXPECT_FALSE(fresh->HasReader());
    EXPECT_TRUE(fresh->DataHandler() == handler);
    EXPECT_EQ(fresh->ReaderSleepTime(), 250);
    EXPECT_EQ(fresh->PnPInfo().InterfacePath, rig.backend->PathOf(a));
    (void)old;

    // Claimed, then unplugged: stays listed until released, then dropped.
    held = controller->ClaimByIndex(0);
    rig.backend->Unplug(a);
    Notify();
    EXPECT_EQ(controller->Count(), 2);
    EXPECT_FALSE(held->Plugged());
    held.reset();
    EXPECT_EQ(controller->Count(), 1);
}

TEST_F(HidController, ReleaseWhoseReplacementCannotBeCreatedDropsTheEntry) {
    const auto a = rig.backend->Plug(HidTestRig::Setup(u"A"));
    Create();
    auto held = controller->ClaimByIndex(0);
    // Gone without a notification yet: the fresh object cannot be opened.
    rig.backend->SetOpenHook([&](const std::string&) { rig.backend->Unplug(a); });
    held.reset();
    EXPECT_EQ(controller->Count(), 0);
}

TEST_F(HidController, SleepTimeAndHandlersPassToDevicesStillHoldingTheDefaults) {
    rig.backend->Plug(HidTestRig::Setup(u"A"));
    rig.backend->Plug(HidTestRig::Setup(u"B"));
    Create();
    controller->Device(1)->SetReaderSleepTime(500);
    controller->SetDevThreadSleepTime(40);
    EXPECT_EQ(controller->Device(0)->ReaderSleepTime(), 40);
    EXPECT_EQ(controller->Device(1)->ReaderSleepTime(), 500);

    const TJvHidDataEvent own = [](TJvHidDevice&, std::uint8_t, const std::uint8_t*,
                                   std::uint16_t) {};
    const TJvHidDataEvent common = [](TJvHidDevice&, std::uint8_t, const std::uint8_t*,
                                      std::uint16_t) {};
    controller->Device(1)->SetDataHandler(own);
    controller->SetOnDeviceData(common);
    EXPECT_TRUE(controller->Device(0)->DataHandler() == common);
    EXPECT_TRUE(controller->Device(1)->DataHandler() == own);
}

TEST_F(HidController, ReaderSleepTimeAcceptsOnlyTenToTenThousand) {
    rig.backend->Plug(HidTestRig::Setup(u"A"));
    Create();
    TJvHidDevice* d = controller->Device(0);
    const std::vector<std::pair<int, int>> cases = {{9, 100}, {10001, 100},   {10, 10},    {0, 10},
                                                    {-5, 10}, {10000, 10000}, {5000, 5000}};
    for (const auto& [value, expected] : cases) {
        d->SetReaderSleepTime(value);
        EXPECT_EQ(d->ReaderSleepTime(), expected) << value;
    }
}

TEST_F(HidController, NotificationsDuringARescanCauseOneMoreRescan) {
    Create();
    int scans = 0;
    controller->SetLoading(true);
    controller->SetOnDeviceChange([&](TJvHidDeviceController& c) {
        ++scans;
        if (scans == 1) {
            // Arrives while the change is being processed.
            rig.backend->Plug(HidTestRig::Setup(u"late"));
            c.CheckNotifications();
            c.CheckNotifications();
            EXPECT_TRUE(c.InDeviceChange());
        }
    });
    controller->SetLoading(false);
    rig.backend->Plug(HidTestRig::Setup(u"first"));
    Notify();
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(controller->Count(), 2);
    EXPECT_FALSE(controller->InDeviceChange());
}

TEST_F(HidController, NotificationDuringAReportHandlerWaitsUntilItReturns) {
    const auto kx = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Create();
    auto held = controller->ClaimByIndex(0);
    int handled = 0;
    int countInside = -1;
    held->SetDataHandler([&](TJvHidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
        // As if a nested event loop (a message box) delivered a notification.
        rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
        controller->CheckNotifications();
        countInside = controller->Count();
        ++handled;
    });
    rig.backend->InjectReport(kx, {1, 'y'});
    ASSERT_TRUE(rig.PumpUntil([&] { return handled == 1; }));
    EXPECT_EQ(countInside, 1) << "no rescan inside the handler";
    ASSERT_TRUE(rig.PumpUntil([&] { return controller->Count() == 2; }));
    EXPECT_EQ(changes, 2);
}

TEST_F(HidController, ListenerNotificationsArePostedToTheUiThread) {
    Create();
    rig.backend->Plug(HidTestRig::Setup(u"A"));
    EXPECT_EQ(controller->Count(), 0);
    rig.ui->Pump();
    EXPECT_EQ(controller->Count(), 1);
    EXPECT_EQ(changes, 2);
}

TEST_F(HidController, DestructionLeavesHeldDevicesUnpluggedAndUsable) {
    rig.backend->Plug(HidTestRig::Setup(u"A"));
    rig.backend->Plug(HidTestRig::Setup(u"B"));
    Create();
    auto held = controller->ClaimByIndex(1);
    controller.reset();
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(held->Plugged());
    EXPECT_EQ(held->Controller(), nullptr);
    std::uint32_t written = 0;
    const std::uint8_t report[2] = {1, 'i'};
    EXPECT_FALSE(held->WriteReport(report, 2, written));
    held.reset();
    rig.ui->Pump(); // a notification posted before the destruction finds nothing
}

} // namespace
