// Listing and selecting the KX-RD4, as the main window shows it, and
// SendReport over the selected device.

#include <gtest/gtest.h>

#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "HidTestRig.h"

namespace {

class DeviceLinkTest : public ::testing::Test {
protected:
    HidTestRig rig;
    RecordingSink sink;
    std::vector<ReceivedReport> received;
    std::unique_ptr<TJvHidDeviceController> controller;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<CurrentDeviceOutput> output;

    void Start() {
        controller = std::make_unique<TJvHidDeviceController>(rig.backend, rig.ui);
        link = std::make_unique<DeviceLink>(
            *controller, sink,
            [this](TJvHidDevice& d, std::uint8_t id, const std::uint8_t* data, std::uint16_t n) {
                received.push_back({&d, id, std::vector<std::uint8_t>(data, data + n),
                                    std::this_thread::get_id()});
            });
        output = std::make_unique<CurrentDeviceOutput>(*link);
        rig.ui->Pump();
    }
    void Change() { controller->CheckNotifications(); }
    void TearDown() override {
        // The shut-down order of the window: release, then the controller.
        output.reset();
        link.reset();
        controller.reset();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& e : sink.entries) {
            texts.push_back(e.text);
        }
        return texts;
    }
    static std::vector<std::uint8_t> Reply(std::uint8_t letter) {
        std::vector<std::uint8_t> r(65, 0);
        r[0] = 1;
        r[1] = letter;
        return r;
    }
};

TEST_F(DeviceLinkTest, NoDeviceLeavesTheListEmptyAndShowsDisconnected) {
    Start();
    EXPECT_TRUE(sink.entries.empty());
    EXPECT_EQ(link->CurrentDevice(), nullptr);
    EXPECT_EQ(sink.connection, "Rozłączony");
    const std::uint8_t value[4] = {0x2C, 0x01, 0, 0};
    output->SendReport('o', value, 4); // nothing selected: nothing happens
}

TEST_F(DeviceLinkTest, SelectsOnlyTheExactProductString) {
    struct Case {
        const char* name;
        std::u16string product;
        bool productReadable;
        std::string text;
        bool selected;
    };
    const std::vector<Case> cases = {
        {"exact", u"KX-RD4", true, "KX-RD4", true},
        {"other case", u"kx-rd4", true, "kx-rd4", false},
        {"trailing blank", u"KX-RD4 ", true, "KX-RD4 ", false},
        {"empty product", u"", true, "Device VID=1A2B PID=000C", false},
        {"unreadable product", u"KX-RD4", false, "Device VID=1A2B PID=000C", false},
        {"invalid UTF-16", std::u16string{u'K', char16_t(0xD800)}, true, "K\xEF\xBF\xBD", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HidTestRig fresh;
        rig.backend = fresh.backend;
        rig.ui = fresh.ui;
        auto setup = HidTestRig::Setup(c.product);
        setup.ProductStringReadable = c.productReadable;
        rig.backend->Plug(setup);
        Start();
        ASSERT_EQ(Texts(), std::vector<std::string>{c.text});
        EXPECT_NE(sink.entries[0].device, nullptr) << "every listed device is claimed";
        EXPECT_EQ(link->CurrentDevice() != nullptr, c.selected);
        EXPECT_EQ(sink.connection, c.selected ? "Połączony" : "Rozłączony");
        EXPECT_EQ(sink.status, "Odświeżam listę urządzeń");
        TearDown();
    }
}

TEST_F(DeviceLinkTest, LaterOfTwoControllersWinsAndAloneDelivers) {
    const auto first = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
    const auto second = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Start();
    ASSERT_EQ(Texts(), (std::vector<std::string>{"KX-RD4", "Mouse", "KX-RD4"}));
    EXPECT_EQ(link->CurrentDevice(), sink.entries[2].device);
    EXPECT_FALSE(sink.entries[0].device->HasReader());
    EXPECT_FALSE(sink.entries[1].device->HasReader());
    rig.backend->InjectReport(first, Reply('i'));
    rig.backend->InjectReport(second, Reply('j'));
    ASSERT_TRUE(rig.PumpUntil([&] { return !received.empty(); }));
    rig.Settle();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].data[0], 'j');
    EXPECT_EQ(received[0].device, sink.entries[2].device);
}

TEST_F(DeviceLinkTest, UnplugAndReplugFollowTheController) {
    const auto mouse = rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
    const auto kx = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Start();
    ASSERT_EQ(sink.connection, "Połączony");

    rig.backend->Unplug(kx);
    Change();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Mouse"});
    EXPECT_EQ(link->CurrentDevice(), nullptr);
    EXPECT_EQ(sink.connection, "Rozłączony");

    const auto again = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Change();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Mouse", "KX-RD4"}));
    EXPECT_EQ(link->CurrentDevice(), sink.entries[1].device);
    EXPECT_EQ(sink.connection, "Połączony");
    rig.backend->InjectReport(again, Reply('y'));
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() == 1; }));

    // A new mouse rebuilds the list; the controller gets a new object and reader.
    TJvHidDevice* before = link->CurrentDevice();
    rig.backend->Plug(HidTestRig::Setup(u"Mouse 2"));
    Change();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Mouse", "KX-RD4", "Mouse 2"}));
    EXPECT_NE(link->CurrentDevice(), nullptr);
    EXPECT_TRUE(link->CurrentDevice()->HasReader());
    (void)before;
    rig.backend->InjectReport(again, Reply('y'));
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() == 2; }));

    // A change that is not a HID change does not touch the list.
    const int calls = sink.connectionCalls;
    rig.backend->Touch();
    Change();
    EXPECT_EQ(sink.connectionCalls, calls);
    (void)mouse;
}

TEST_F(DeviceLinkTest, TheControllerInUseStaysUntilTheOperatorChoosesAnother) {
    const auto kx = [](std::u16string serial, std::string port) {
        auto setup = HidTestRig::Setup(u"KX-RD4");
        setup.SerialNumber = std::move(serial);
        setup.Port = std::move(port);
        return setup;
    };
    const auto a = rig.backend->Plug(kx(u"A", "1-1"));
    Start();
    ASSERT_EQ(Texts(), std::vector<std::string>{"KX-RD4"});
    EXPECT_EQ(sink.status, "Odświeżam listę urządzeń") << "one controller: nothing to announce";
    EXPECT_EQ(sink.toolTip, "Sterownik w użyciu: KX-RD4 SN A, port 1-1");

    // Each step: what happens, then which entry is current (by serial) and
    // whether the message panel names it.
    const auto serialInUse = [&] {
        const int i = link->CurrentIndex();
        return i < 0 ? std::string("none") : link->EntryIdentity(i).serial;
    };
    const auto indexOf = [&](const std::string& serial) {
        for (int i = 0; i < link->EntryCount(); ++i) {
            if (link->IsController(i) && link->EntryIdentity(i).serial == serial) {
                return i;
            }
        }
        return -1;
    };
    SimulatedHidBackend::DeviceId b = 0, mouse = 0;
    struct Step {
        const char* what;
        std::function<void()> act;
        std::string inUse;
        std::string announced; // empty: the message panel is left alone
    };
    const std::vector<Step> steps = {
        {"a second one is plugged",
         [&] {
             b = rig.backend->Plug(kx(u"B", "1-2"));
             Change();
         },
         "A", ""},
        {"the operator picks the second", [&] { EXPECT_TRUE(link->Select(indexOf("B"))); }, "B",
         "Wybrano sterownik KX-RD4 SN B, port 1-2"},
        {"a mouse is plugged",
         [&] {
             mouse = rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
             Change();
         },
         "B", ""},
        {"a mouse is not a controller", [&] { EXPECT_FALSE(link->Select(2)); }, "B", ""},
        {"the one in use is unplugged: the other takes over, named",
         [&] {
             rig.backend->Unplug(b);
             Change();
         },
         "A", "Wybrano sterownik KX-RD4 SN A, port 1-1"},
        {"it comes back: the one in use stays",
         [&] {
             b = rig.backend->Plug(kx(u"B", "1-2"));
             Change();
         },
         "A", ""},
        {"the one in use is replugged between two scans: found again by its serial",
         [&] {
             rig.backend->Unplug(a);
             rig.backend->Plug(kx(u"A", "2-4"));
             Change();
         },
         "A", ""},
        {"everything goes",
         [&] {
             for (const auto id : rig.backend->PluggedDevices()) {
                 rig.backend->Unplug(id);
             }
             Change();
         },
         "none", ""},
        {"both come back at once: the last one in use is found again",
         [&] {
             rig.backend->Plug(kx(u"A", "2-4"));
             b = rig.backend->Plug(kx(u"B", "1-2"));
             Change();
         },
         "A", ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        sink.status = "Odświeżam listę urządzeń";
        step.act();
        EXPECT_EQ(serialInUse(), step.inUse);
        EXPECT_EQ(sink.status,
                  step.announced.empty() ? "Odświeżam listę urządzeń" : step.announced);
        // Only the one in use has a reader.
        for (int i = 0; i < link->EntryCount(); ++i) {
            if (link->IsController(i)) {
                EXPECT_EQ(link->EntryDevice(i)->HasReader(), i == link->CurrentIndex()) << i;
            }
        }
    }
    // Reports of the other one do not arrive.
    const std::size_t before = received.size();
    rig.backend->InjectReport(b, Reply('x'));
    rig.Settle();
    EXPECT_EQ(received.size(), before);
    (void)mouse;
}

TEST_F(DeviceLinkTest, QueryOnlyControllerIsSelectedButShownDisconnectedWithAHint) {
    auto setup = HidTestRig::Setup(u"KX-RD4");
    setup.QueryOnly = true;
    const auto id = rig.backend->Plug(setup);
    Start();
    ASSERT_NE(link->CurrentDevice(), nullptr);
    EXPECT_FALSE(link->CurrentDevice()->HasReader());
    EXPECT_EQ(sink.connection, "Rozłączony");
    EXPECT_NE(sink.toolTip.find("70-kxrd4.rules"), std::string::npos);
    output->SendReport('u', nullptr, 0);
    EXPECT_TRUE(rig.backend->Written(id).empty());

    rig.backend->Unplug(id);
    Change();
    EXPECT_TRUE(sink.toolTip.empty());
}

TEST_F(DeviceLinkTest, SendReportWritesTheOutputLengthOfAZeroedBuffer) {
    struct Case {
        std::uint16_t length;
        bool capsReadable;
        bool written;
    };
    const std::vector<Case> cases = {{65, true, true},  {12, true, true},   {256, true, true},
                                     {11, true, false}, {257, true, false}, {0, true, false},
                                     {65, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        HidTestRig fresh;
        rig.backend = fresh.backend;
        rig.ui = fresh.ui;
        auto setup = HidTestRig::Setup(u"KX-RD4");
        setup.OutputReportByteLength = c.length;
        setup.CapsReadable = c.capsReadable;
        const auto id = rig.backend->Plug(setup);
        Start();
        const std::uint8_t value[4] = {0x2C, 0x01, 0x00, 0x00};
        output->SendReport(0x6F, value, 4);
        const auto writes = rig.backend->Written(id);
        ASSERT_EQ(writes.size(), c.written ? 1u : 0u);
        if (c.written) {
            std::vector<std::uint8_t> expected(c.length, 0);
            expected[0] = 0x01;
            expected[1] = 0x6F;
            expected[2] = 0x2C;
            expected[3] = 0x01;
            EXPECT_EQ(writes[0], expected);
        }
        TearDown();
    }
}

TEST_F(DeviceLinkTest, RescansAskDevicesThatCannotBeTheControllerForTheirStringsOnce) {
    struct Case {
        const char* name;
        std::uint16_t input;
        std::uint16_t output;
        bool capsReadable;
        bool mayBeController;
    };
    const std::vector<Case> cases = {
        {"keyboard: no output reports", 9, 0, true, false},
        {"output reports too short for the messages", 65, 11, true, false},
        {"no input reports", 0, 65, true, false},
        {"report lengths unreadable", 65, 65, false, true},
    };
    std::vector<SimulatedHidBackend::DeviceId> ids;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto setup = HidTestRig::Setup(u"Device " + std::u16string(1, char16_t(u'A' + i)));
        setup.SerialNumber = u"SN" + std::u16string(1, char16_t(u'0' + i));
        setup.InputReportByteLength = cases[i].input;
        setup.OutputReportByteLength = cases[i].output;
        setup.CapsReadable = cases[i].capsReadable;
        ids.push_back(rig.backend->Plug(setup));
        names.push_back("Device " + std::string(1, char('A' + i)));
    }
    const auto kx = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    names.push_back("KX-RD4");
    Start();
    std::vector<int> firstScan;
    for (const auto id : ids) {
        firstScan.push_back(rig.backend->StringReads(id));
        EXPECT_GE(firstScan.back(), 2) << "product and serial number asked at the first scan";
    }
    // Every rebuild lists all of them with their names and serial numbers again.
    for (int round = 0; round < 3; ++round) {
        const auto mouse = rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
        Change();
        rig.backend->Unplug(mouse);
        Change();
        ASSERT_EQ(Texts(), names);
        EXPECT_EQ(link->CurrentDevice(), sink.entries.back().device);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            EXPECT_EQ(link->EntryIdentity(static_cast<int>(i)).serial,
                      "SN" + std::string(1, char('0' + i)));
        }
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(sink.entries[i].device->MayBeController(), cases[i].mayBeController);
        if (cases[i].mayBeController) {
            EXPECT_GT(rig.backend->StringReads(ids[i]), firstScan[i]);
        } else {
            EXPECT_EQ(rig.backend->StringReads(ids[i]), firstScan[i]);
        }
    }
    (void)kx;
}

TEST_F(DeviceLinkTest, AFailedWriteShowsTheLinkDownReopensAndAResetControllerIsTakenAnew) {
    const auto id = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    Start();
    TJvHidDevice* before = link->CurrentDevice();
    ASSERT_NE(before, nullptr);
    const std::uint8_t value[4] = {0x2C, 0x01, 0x00, 0x00};
    output->SendReport('o', value, 4);
    EXPECT_EQ(rig.backend->OpenHandles(id, HidOpenMode::ReadWrite), 1) << "kept for the next";

    // The controller resets (same node, same path): the open handles are dead.
    rig.backend->Reset(id);
    struct Step {
        const char* name;
        bool rescanFirst;
        std::size_t written; // reports that reached the controller so far
        const char* connection;
    };
    const Step steps[] = {
        {"the write on the dead handle fails and closes it", false, 1, "Rozłączony"},
        {"the next write opens the device anew", false, 2, "Połączony"},
        {"the rescan takes the reported removal as one", true, 3, "Połączony"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.rescanFirst) {
            Change();
            ASSERT_NE(link->CurrentDevice(), nullptr);
            EXPECT_NE(link->CurrentDevice(), before) << "the same node, but a new device";
            EXPECT_EQ(Texts(), std::vector<std::string>{"KX-RD4"});
        }
        output->SendReport('o', value, 4);
        EXPECT_EQ(rig.backend->Written(id).size(), step.written);
        EXPECT_EQ(sink.connection, step.connection);
        if (std::string(step.connection) == "Rozłączony") {
            EXPECT_EQ(sink.status, DeviceLink::WriteFailed);
            EXPECT_EQ(sink.toolTip, DeviceLink::WriteFailedToolTip);
            EXPECT_EQ(rig.backend->OpenHandles(id, HidOpenMode::ReadWrite), 0);
        }
    }
    // A new object with a new reader: reports flow again.
    EXPECT_TRUE(link->CurrentDevice()->HasReader());
    rig.backend->InjectReport(id, Reply('i'));
    ASSERT_TRUE(rig.PumpUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received.back().device, link->CurrentDevice());
}

TEST_F(DeviceLinkTest, HandlerThatAnswersEveryReportKeepsFlowingAcrossARebuild) {
    const auto id = rig.backend->Plug(HidTestRig::Setup(u"KX-RD4"));
    // The controller echoes every write; the handler writes on every report.
    rig.backend->SetPeer(id, [&](SimulatedHidBackend::DeviceId d, const auto& report) {
        rig.backend->InjectReport(d, report);
    });
    Start();
    TJvHidDataEvent chain = [&](TJvHidDevice&, std::uint8_t, const std::uint8_t* data,
                                std::uint16_t) {
        received.push_back({nullptr, 0, {data[0]}, std::this_thread::get_id()});
        output->SendReport(data[0], nullptr, 0);
    };
    link.reset();
    link = std::make_unique<DeviceLink>(*controller, sink, chain);
    output = std::make_unique<CurrentDeviceOutput>(*link);
    controller->HandleNotification(TJvHidDeviceController::InitialNotification);
    output->SendReport('y', nullptr, 0);
    ASSERT_TRUE(rig.PumpUntil([&] { return received.size() >= 20; }));
    // A rebuild while reports are in flight: the release serves the hand-over
    // in progress, which then writes to no device.
    rig.backend->Touch();
    rig.backend->Plug(HidTestRig::Setup(u"Mouse"));
    Change();
    EXPECT_EQ(sink.connection, "Połączony");
    link->Shutdown();
    EXPECT_EQ(link->CurrentDevice(), nullptr);
    EXPECT_EQ(controller->Count(), 2);
    for (int i = 0; i < controller->Count(); ++i) {
        EXPECT_FALSE(controller->Device(i)->Claimed());
    }
}

} // namespace
