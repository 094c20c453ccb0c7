// The whole window talking to a simulated KX-RD4 through the real device
// link, reader thread and hand-over: transfers from the editor page, a
// parameter read from "Sterowanie" and the chart polling.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <array>
#include <cstring>
#include <qcustomplot.h>

#include "ControlPage.h"
#include "LiveChart.h"
#include "ShellFixture.h"

namespace {

// A controller that keeps its own ten programs and answers like the KX-RD4.
class SimulatedController {
public:
    explicit SimulatedController(SimulatedHidBackend& backend) : backend_(backend) {}

    void Answer(SimulatedHidBackend::DeviceId id, const std::vector<std::uint8_t>& report) {
        std::vector<std::uint8_t> reply(65, 0);
        reply[0] = 1;
        reply[1] = report[1];
        switch (report[1]) {
        case 'd': { // LineWrite
            const int program = report[2], line = report[3];
            std::memcpy(&memory[program * 200 + line * 8], &report[4], 8);
            reply[2] = report[2];
            reply[3] = report[3];
            backend_.InjectReport(id, reply);
            if (line == 24) {
                std::vector<std::uint8_t> stored(65, 0);
                stored[0] = 1;
                stored[1] = 'f';
                backend_.InjectReport(id, stored);
            }
            return;
        }
        case 'e': { // LineRead
            const int program = report[2], line = report[3];
            reply[2] = report[2];
            reply[3] = report[3];
            std::memcpy(&reply[4], &memory[program * 200 + line * 8], 8);
            break;
        }
        case 'i': // VminRead: 300
            reply[2] = 0x2C;
            reply[3] = 0x01;
            break;
        case 'y': { // StatusPoll: position -1000, velocity 1000
            const std::array<std::uint8_t, 8> sample{0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0, 0};
            std::memcpy(&reply[2], sample.data(), sample.size());
            break;
        }
        default:
            break;
        }
        backend_.InjectReport(id, reply);
    }

    std::array<std::uint8_t, 2000> memory{};

private:
    SimulatedHidBackend& backend_;
};

class WindowController : public ShellFixture {
protected:
    void SetUp() override {
        SimulatedHidBackend::DeviceSpec setup;
        setup.ProductString = u"KX-RD4";
        id = backend->Plug(setup);
        backend->SetPeer(id, [this](SimulatedHidBackend::DeviceId device,
                                    const std::vector<std::uint8_t>& report) {
            controller.Answer(device, report);
        });
        ShellFixture::SetUp();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Połączony"; }, 5000));
    }

    SimulatedHidBackend::DeviceId id = 0;
    SimulatedController controller{*backend};
};

} // namespace

TEST_F(WindowController, SendsAProgramAndReadsItBackIntoAnother) {
    EXPECT_EQ(window->ListBox1->count(), 1);
    EXPECT_EQ(window->ListBox1->item(0)->text(), "KX-RD4");

    // P3 with unused operand bytes that must travel too.
    std::uint8_t* p3 = window->Programs().Data() + 3 * 200;
    for (int i = 0; i < 200; ++i)
        p3[i] = static_cast<std::uint8_t>(i * 7 + 1);
    Find<QRadioButton>("p3")->click();
    boxes.answers = {QMessageBox::Yes}; // these bytes are no program the check passes
    Find<QAbstractButton>("BitBtn6")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window->StatusPanel(0)->text() ==
                   "Program został zapisany do pamięci wewnetrznej urządzenia";
        },
        5000));
    EXPECT_EQ(window->pb->value(), 25);
    EXPECT_EQ(0, std::memcmp(controller.memory.data() + 3 * 200, p3, 200));

    // The controller runs P3 as P7; reading P7 back gives the same bytes.
    std::memcpy(controller.memory.data() + 7 * 200, controller.memory.data() + 3 * 200, 200);
    Find<QRadioButton>("p7")->click();
    boxes.answers.push_back(QMessageBox::Yes);
    Find<QAbstractButton>("BitBtn7")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window->StatusPanel(0)->text() ==
                   "Program został odczytany z pamieci wewnetrznej urządzenia";
        },
        5000));
    EXPECT_EQ(0, std::memcmp(window->Programs().Data() + 7 * 200, p3, 200));
    EXPECT_EQ(window->pb->value(), 25);
    // Reading does not mark the set modified; the listing shows the new lines.
    EXPECT_FALSE(window->Modified().IsSet());
    EXPECT_EQ(Find<QLabel>("line00")->text().left(4), "[00]");
    // Every reply was logged.
    EXPECT_EQ(window->Memo1->blockCount(), 51);
}

TEST_F(WindowController, ReadButtonFillsItsFieldAndChartPollsOnlyOnItsPage) {
    Find<QAbstractButton>("ReadVminButton")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QLineEdit>("VminLabel")->text() == "300"; }, 5000));
    EXPECT_EQ(window->StatusPanel(0)->text(), "Prędkość minimalna została odczytana");

    LiveChart* chart = window->Control().Chart();
    Find<QPushButton>("PlayChartButton")->click();
    QTest::qWait(150);
    EXPECT_EQ(chart->SampleCounter(), 0) << "no polling while another page is shown";

    window->PageControl1->setCurrentWidget(window->TabSheet3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return chart->SampleCounter() >= 3; }, 5000));
    EXPECT_EQ(chart->Series1()->data()->at(0)->value, -1000);
    EXPECT_EQ(chart->Series2()->data()->at(0)->value, 1000);
}

TEST_F(WindowController, UnplugAndReplugFollowTheController) {
    backend->Unplug(id);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Rozłączony"; }, 5000));
    EXPECT_EQ(window->ListBox1->count(), 0);
    // Without a device the buttons send nothing and report nothing.
    Find<QAbstractButton>("BitBtn6")->click();
    EXPECT_EQ(window->pb->value(), 0);

    SimulatedHidBackend::DeviceSpec setup;
    setup.ProductString = u"KX-RD4";
    const auto again = backend->Plug(setup);
    backend->SetPeer(again, [this](SimulatedHidBackend::DeviceId device,
                                   const std::vector<std::uint8_t>& report) {
        controller.Answer(device, report);
    });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Połączony"; }, 5000));
    Find<QAbstractButton>("ReadVminButton")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QLineEdit>("VminLabel")->text() == "300"; }, 5000));
}
