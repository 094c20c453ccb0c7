// The Qt glue of the device link: the hand-over through the event loop, the
// list box and status panels, notifications and the shut-down.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <atomic>
#include <thread>

#include "DeviceLinkView.h"
#include "QtUiDispatcher.h"
#include "SimulatedHidBackend.h"

namespace {

TEST(DeviceLinkGlue, HandOverRunsOnTheUiThreadThroughTheEventLoop) {
    QtUiDispatcher dispatcher;
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatcher.InvokeAndWait([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    bool posted = false;
    dispatcher.Post([&] { posted = true; });
    EXPECT_FALSE(posted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return posted; }, 5000));
}

TEST(DeviceLinkGlue, WaitingForAWorkerServesItsHandOversWithoutTheEventLoop) {
    QtUiDispatcher dispatcher;
    std::atomic<bool> finished{false};
    int served = 0;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            dispatcher.InvokeAndWait([&] { ++served; });
        }
        finished = true;
        dispatcher.Notify();
    });
    dispatcher.ServeUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(served, 3);
}

class DeviceLinkViewTest : public ::testing::Test {
protected:
    QListWidget listBox;
    QLabel panel0;
    QLabel panel1;
    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    std::vector<std::uint8_t> letters;
    std::unique_ptr<DeviceLinkView> view;

    void Start() {
        view = std::make_unique<DeviceLinkView>(
            &listBox, &panel0, &panel1,
            [this](TJvHidDevice&, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
                EXPECT_EQ(QThread::currentThread(), qApp->thread());
                if (size > 0) {
                    letters.push_back(data[0]);
                }
            },
            nullptr, backend);
        QCoreApplication::processEvents();
    }
    QStringList Texts() const {
        QStringList texts;
        for (int i = 0; i < listBox.count(); ++i) {
            texts << listBox.item(i)->text();
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

TEST_F(DeviceLinkViewTest, ListsSelectsAndFollowsPlugging) {
    SimulatedHidBackend::DeviceSpec mouse;
    mouse.ProductString = u"Mysz";
    backend->Plug(mouse);
    SimulatedHidBackend::DeviceSpec kx;
    kx.ProductString = u"KX-RD4";
    const auto id = backend->Plug(kx);
    EXPECT_TRUE(panel1.text().isEmpty()) << "nothing before the first notification";
    Start();
    EXPECT_EQ(Texts(), (QStringList{"Mysz", "KX-RD4"}));
    EXPECT_EQ(panel1.text(), QString("Połączony"));
    EXPECT_EQ(panel0.text(), QString("Odświeżam listę urządzeń"));
    EXPECT_EQ(listBox.item(1)->data(Qt::UserRole).value<quintptr>(),
              reinterpret_cast<quintptr>(view->EntryDevice(1)));
    EXPECT_EQ(view->CurrentDevice(), view->EntryDevice(1));

    backend->InjectReport(id, Reply('y'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return letters.size() == 1; }, 5000));

    const std::uint8_t value[4] = {1, 0, 0, 0};
    view->Output().SendReport('z', value, 4);
    ASSERT_EQ(backend->Written(id).size(), 1u);
    EXPECT_EQ(backend->Written(id)[0][1], 'z');

    backend->Unplug(id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listBox.count() == 1; }, 5000));
    EXPECT_EQ(panel1.text(), QString("Rozłączony"));
    EXPECT_EQ(view->CurrentDevice(), nullptr);

    const auto again = backend->Plug(kx);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listBox.count() == 2; }, 5000));
    EXPECT_EQ(panel1.text(), QString("Połączony"));
    backend->InjectReport(again, Reply('i'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return letters.size() == 2; }, 5000));
}

TEST_F(DeviceLinkViewTest, DoubleClickingAControllerInTheListSwitchesToIt) {
    SimulatedHidBackend::DeviceSpec kx;
    kx.ProductString = u"KX-RD4";
    kx.SerialNumber = u"A-17";
    kx.Port = "1-1";
    const auto a = backend->Plug(kx);
    kx.SerialNumber.clear();
    kx.Port = "1-2";
    const auto b = backend->Plug(kx);
    SimulatedHidBackend::DeviceSpec mouse;
    mouse.ProductString = u"Mysz";
    backend->Plug(mouse);
    Start();
    listBox.resize(228, 82);
    listBox.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&listBox));
    EXPECT_EQ(Texts(), (QStringList{"KX-RD4 SN A-17, port 1-1", "KX-RD4 port 1-2", "Mysz"}));
    EXPECT_TRUE(listBox.item(0)->toolTip().contains(QString::fromStdString(backend->PathOf(a))));
    const auto bold = [&] {
        QList<int> rows;
        for (int i = 0; i < listBox.count(); ++i) {
            if (listBox.item(i)->font().bold()) {
                rows << i;
            }
        }
        return rows;
    };
    EXPECT_EQ(bold(), QList<int>{1});
    EXPECT_EQ(panel1.toolTip(), QString("Sterownik w użyciu: KX-RD4 port 1-2"));

    const auto doubleClick = [&](int row) {
        const QPoint at = listBox.visualItemRect(listBox.item(row)).center();
        // The view takes a double-click as the second click of a pair.
        QTest::mouseClick(listBox.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(listBox.viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(0);
    EXPECT_EQ(view->CurrentDevice(), view->EntryDevice(0));
    EXPECT_EQ(bold(), QList<int>{0});
    EXPECT_EQ(panel0.text(), QString("Wybrano sterownik KX-RD4 SN A-17, port 1-1"));
    EXPECT_EQ(panel1.text(), QString("Połączony"));
    EXPECT_EQ(panel1.toolTip(), QString("Sterownik w użyciu: KX-RD4 SN A-17, port 1-1"));
    const std::uint8_t value[4] = {1, 0, 0, 0};
    view->Output().SendReport('z', value, 4);
    EXPECT_EQ(backend->Written(a).size(), 1u);
    EXPECT_TRUE(backend->Written(b).empty());

    // The mouse is no controller: nothing changes.
    doubleClick(2);
    EXPECT_EQ(view->CurrentDevice(), view->EntryDevice(0));
    EXPECT_EQ(bold(), QList<int>{0});
}

TEST_F(DeviceLinkViewTest, QueryOnlyControllerNamesTheUdevRule) {
    SimulatedHidBackend::DeviceSpec kx;
    kx.ProductString = u"KX-RD4";
    kx.QueryOnly = true;
    backend->Plug(kx);
    Start();
    EXPECT_EQ(panel1.text(), QString("Rozłączony"));
    EXPECT_TRUE(panel1.toolTip().contains("70-kxrd4.rules"));
}

TEST_F(DeviceLinkViewTest, ShutdownWhileAReportWaitsForTheUiThreadCompletes) {
    SimulatedHidBackend::DeviceSpec kx;
    kx.ProductString = u"KX-RD4";
    const auto id = backend->Plug(kx);
    Start();
    // The senders keep the output they were given at start-up.
    ReportOutput& output = view->Output();
    backend->InjectReport(id, Reply('y'));
    while (backend->PendingReports(id) != 0) {
        std::this_thread::yield(); // the reader has it and waits for the UI thread
    }
    view->Shutdown();
    EXPECT_EQ(letters.size(), 1u);
    EXPECT_EQ(view->CurrentDevice(), nullptr);
    output.SendReport('u', nullptr, 0); // harmless after the shut-down
    view->Output().SendReport('u', nullptr, 0);
    EXPECT_EQ(backend->Written(id).size(), 0u);
    view.reset();
    QCoreApplication::processEvents();
}

TEST(DeviceLinkGlue, HostBackEndStartsWithWhateverIsPlugged) {
    QListWidget listBox;
    QLabel panel0;
    QLabel panel1;
    DeviceLinkView view(&listBox, &panel0, &panel1, nullptr);
    QCoreApplication::processEvents();
    if (view.JvHidDeviceController1()->HidSupported()) {
        EXPECT_FALSE(panel1.text().isEmpty());
    }
    view.Shutdown();
}

} // namespace
