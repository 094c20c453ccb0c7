// The guards around motion: questions while the axis moves and before the
// first motion of another controller (MotionGuard alone), and in the demo
// window the write refused while moving and the warning when the connection
// goes while the axis moves.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "ControlPage.h"
#include "DialogFakes.h"
#include "EditorPage.h"
#include "EmulatorPeer.h"
#include "MotionGuard.h"
#include "NumberField.h"
#include "ProgramCheckView.h"
#include "ProgramListing.h"
#include "SettingsFile.h"
#include "ShellFixture.h"
#include "TravelLimitsView.h"

namespace {

using Button = QMessageBox::StandardButton;

TEST(MotionGuardAlone, AsksWhileMovingAndBeforeAnotherControllersFirstMotion) {
    ScriptedBoxes boxes;
    std::optional<DeviceIdentity> current = DeviceIdentity{"A-17", "1-1", "/dev/hidraw1"};
    MotionGuard guard(boxes, [&] { return current; });
    struct Case {
        const char* what;
        std::int32_t velocity; // of the last status reply
        const char* serial;    // the controller in use
        MessageLetter letter;
        std::vector<Button> answers; // the questions' answers
        bool allowed;
        const char* asked; // a piece of the question, "" when none
    };
    const Case cases[] = {
        {"a write at rest", 0, "A-17", MessageLetter::VmaxWrite, {}, true, ""},
        {"a jog, the first motion", 0, "A-17", MessageLetter::PositionUp, {}, true, ""},
        {"a write while moving, Nie",
         250,
         "A-17",
         MessageLetter::VmaxWrite,
         {Button::No},
         false,
         "Oś się porusza (ostatni odczyt: prędkość 250). Zapisać parametr mimo to?"},
        {"a program sent while moving, Tak",
         -40,
         "A-17",
         MessageLetter::LineWrite,
         {Button::Yes},
         true,
         "Wysłać program mimo to?"},
        {"a jog while moving asks nothing", 250, "A-17", MessageLetter::PositionDown, {}, true, ""},
        {"another controller's motion, Nie",
         0,
         "B-2",
         MessageLetter::XdstSet,
         {Button::No},
         false,
         "sterownika KX-RD4 SN B-2, port 1-1, innego niż ostatnio sterowany (KX-RD4 SN "
         "A-17, port 1-1)"},
        {"asked again: not driven yet, Tak",
         0,
         "B-2",
         MessageLetter::ProgramStart,
         {Button::Yes},
         true,
         "SN B-2"},
        {"then once only", 0, "B-2", MessageLetter::HomeStart, {}, true, ""},
        {"a read is no write", 250, "B-2", MessageLetter::VmaxRead, {}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        guard.StatusSeen(0, c.velocity);
        current->serial = c.serial;
        boxes.calls.clear();
        boxes.answers = {c.answers.begin(), c.answers.end()};
        EXPECT_EQ(guard.Allow(c.letter), c.allowed);
        ASSERT_EQ(boxes.calls.size(), c.answers.size());
        if (!boxes.calls.empty()) {
            EXPECT_TRUE(boxes.calls[0].text.contains(QString::fromUtf8(c.asked)))
                << boxes.calls[0].text.toStdString();
            EXPECT_EQ(boxes.calls[0].defaultButton, Button::No);
        }
    }
    guard.StatusSeen(0, 5);
    boxes.answers = {Button::No};
    EXPECT_FALSE(guard.AllowRestore());
}

class MotionGuardDemo : public ShellFixture {
protected:
    void SetUp() override {
        controller = std::make_unique<EmulatorPeer>(*backend);
        ShellFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000));
    }
    void TearDown() override {
        ShellFixture::TearDown();
        controller.reset();
    }
    void Prepare(TFMain& created) override { created.MarkAsSimulator(); }
    std::size_t Written(char letter) const {
        const auto written = backend->Written(controller->Device());
        return static_cast<std::size_t>(std::count_if(
            written.begin(), written.end(), [&](const auto& r) { return r[1] == letter; }));
    }
    std::unique_ptr<EmulatorPeer> controller;
};

TEST_F(MotionGuardDemo, AWriteWhileMovingIsAskedAndTheLostConnectionWarns) {
    window->AddChartSample(1200, 300); // a status reply: the axis moves
    window->Control().Field("VmaxLabel")->setText("900");
    boxes.answers = {Button::No};
    QTest::mouseClick(Find<QAbstractButton>("WriteVmaxButton"), Qt::LeftButton);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].defaultButton, Button::No);
    QTest::qWait(50);
    EXPECT_EQ(Written('p'), 0u) << "nothing written on Nie";

    // The controller goes while the axis moved: a warning until OK.
    boxes.answers = {Button::Ok};
    const auto device = controller->Device();
    controller.reset();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Rozłączony"; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.calls.size() == 2; }, 2000));
    EXPECT_EQ(boxes.calls[1].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes.calls[1].text.contains("Oś może nadal się poruszać"))
        << boxes.calls[1].text.toStdString();
    EXPECT_EQ(boxes.calls[1].buttons, QMessageBox::Ok);
    (void)device;
}

TEST_F(MotionGuardDemo, LimitsOnOpcjeRefuseJogsAndTargetsBeyondThemAndStopTheAxisThere) {
    TravelLimitsView& limits = window->Limits();
    limits.CheckDevice(); // (as its poll does every 500 ms)
    EXPECT_TRUE(limits.Note->text().contains("SN_DEMO-1") ||
                limits.Note->text().contains("DEMO-1"));
    EXPECT_TRUE(limits.Note->text().contains("nie w sterowniku"));
    limits.MinField->setText("0");
    limits.MaxField->setText("10x");
    EXPECT_FALSE(limits.Save()) << "not a number";
    limits.MaxField->setText("50000");
    limits.VmaxField->setText("800");
    ASSERT_TRUE(limits.Save());
    EXPECT_EQ(window->StatusPanel(0)->text(), "Granice ruchu zostały zapisane (w tym PC)");
    SettingsFile settings(window->Settings().SettingsPath().toStdString());
    EXPECT_EQ(settings.ReadString("TravelLimits", "SN DEMO-1", ""), "0 50000 800");

    // Each motion of "Sterowanie" inside, at and beyond the limits; the axis
    // stands at 49600 by the last status reply.
    struct Case {
        const char* what;
        std::function<void()> act;
        char letter;
        bool sent;
    };
    ControlPage& page = window->Control();
    const auto write = [&](const char* field, const char* text, const char* button) {
        return [&page, field, text, button, this] {
            page.Field(field)->setText(text);
            QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
        };
    };
    const auto jog = [this](int step, const char* button) {
        return [this, step, button] {
            Find<QComboBox>("Delta")->setCurrentIndex(step - 1);
            QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"target inside", write("XdstLabel", "25000", "WriteXdstButton"), 't', true},
        {"target at max", write("XdstLabel", "50000", "WriteXdstButton"), 't', true},
        {"target beyond", write("XdstLabel", "50001", "WriteXdstButton"), 't', false},
        {"target below", write("XdstLabel", "-1", "WriteXdstButton"), 't', false},
        {"velocity at vmax", write("VdstLabel", "-800", "WriteVdstButton"), 's', true},
        {"velocity beyond", write("VdstLabel", "801", "WriteVdstButton"), 's', false},
        {"jog to 50000", jog(400, "BitBtn3"), '}', true},
        {"jog beyond", jog(401, "BitBtn3"), '}', false},
        {"jog down", jog(1000, "BitBtn4"), '|', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->AddChartSample(49600, 0); // at rest there
        boxes.calls.clear();
        boxes.answers = {Button::Ok};
        const std::size_t before = Written(c.letter);
        c.act();
        QTest::qWait(20);
        EXPECT_EQ(Written(c.letter), before + (c.sent ? 1 : 0));
        EXPECT_EQ(boxes.calls.size(), c.sent ? 0u : 1u);
        if (!c.sent && !boxes.calls.empty()) {
            EXPECT_EQ(boxes.calls[0].title, "Granice ruchu");
            EXPECT_TRUE(boxes.calls[0].text.contains("Nic nie zostało wysłane"));
        }
        boxes.answers.clear();
    }
    // A status reply beyond the limits, moving outwards: the stop at once;
    // moving back inwards: none.
    const std::size_t stops = Written('w');
    window->AddChartSample(50010, 120);
    EXPECT_TRUE(window->StatusPanel(0)->text().startsWith("Pozycja 50010 poza granicami ruchu"));
    QTest::qWait(20);
    EXPECT_EQ(Written('w'), stops + 1);
    window->AddChartSample(50005, -120);
    QTest::qWait(20);
    EXPECT_EQ(Written('w'), stops + 1);
}

TEST_F(MotionGuardDemo, AProgramLeavingTheLimitsIsMarkedAndAskedWithNieTheDefault) {
    TravelLimitsView& limits = window->Limits();
    limits.CheckDevice();
    limits.MinField->setText("0");
    limits.MaxField->setText("50000");
    ASSERT_TRUE(limits.Save());
    EditorPage& editor = window->Editor();
    ProgramListing::Error error;
    window->Programs().ClearProgram(0);
    ASSERT_TRUE(ProgramListing::Parse("P0\n[00]  M_EN\n[01]  X_DF+\n[02]  END\n", false,
                                      window->Programs(), error));
    window->RenderProgram();
    // By DEF position 1000 from where the last status reply saw the axis.
    struct Case {
        std::int32_t at;
        bool marked;
    };
    for (const Case c : {Case{0, false}, Case{49000, false}, Case{49001, true}}) {
        SCOPED_TRACE(c.at);
        window->AddChartSample(c.at, 0);
        window->Check().CheckShownProgram();
        EXPECT_EQ(editor.MarkOf(1) == EditorPage::LineMark::Error, c.marked);
        if (c.marked) {
            EXPECT_TRUE(editor.line[1]->toolTip().startsWith(
                QString("Oś wyjeżdża poza granice ruchu 0..50000: pozycja 50001 po ")))
                << editor.line[1]->toolTip().toStdString();
            EXPECT_TRUE(editor.line[1]->toolTip().endsWith("(start z pozycji 49001)"));
        }
    }
    // "Wyślij program" and "Uruchom program" ask, Nie the default: nothing
    // sent, nothing run.
    boxes.answers = {Button::No, Button::No};
    const std::size_t lines = Written('d');
    const std::size_t runs = Written('g');
    for (const char* button : {"BitBtn6", "BitBtn8"})
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    QTest::qWait(50);
    ASSERT_EQ(boxes.calls.size(), 2u);
    for (const auto& call : boxes.calls) {
        EXPECT_TRUE(call.text.startsWith("P0 [01]: Oś wyjeżdża poza granice ruchu 0..50000: "
                                         "pozycja 50001 po "))
            << call.text.toStdString();
        EXPECT_EQ(call.defaultButton, Button::No);
    }
    EXPECT_TRUE(boxes.calls[0].text.endsWith("Program zawiera błędy. Wysłać mimo to?"));
    EXPECT_TRUE(boxes.calls[1].text.endsWith("Program zawiera błędy. Uruchomić mimo to?"));
    EXPECT_EQ(Written('d'), lines);
    EXPECT_EQ(Written('g'), runs);
    // Without limits the program is fine again.
    limits.MinField->clear();
    limits.MaxField->clear();
    ASSERT_TRUE(limits.Save());
    window->Check().CheckShownProgram();
    EXPECT_EQ(editor.MarkOf(1), EditorPage::LineMark::None);
}

TEST_F(MotionGuardDemo, TheLostConnectionAtRestWarnsOfNothing) {
    window->AddChartSample(1200, 0);
    controller.reset();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Rozłączony"; }, 5000));
    QTest::qWait(50);
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace
