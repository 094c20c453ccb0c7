// The tool in demo mode, as kxrd4-pc --demo starts it: the window talks to the
// emulated KX-RD4 through the real device link, reader thread and hand-over,
// and says so in its caption and connection panel. Driven as an operator
// would: the line edit dialog, the transfer buttons, the chart's Play/Stop.

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <qcustomplot.h>

#include "AxisStop.h"
#include "ControlPage.h"
#include "ControllerMessages.h"
#include "EmulatedInputs.h"
#include "EmulatorPeer.h"
#include "FileCommands.h"
#include "HeldProgramView.h"
#include "LiveChart.h"
#include "ProgramEditing.h"
#include "ProgramListing.h"
#include "QtMessageBoxes.h"
#include "ShellFixture.h"
#include "TFProg.h"
#include "TextView.h"

namespace {

class DemoMode : public ShellFixture {
protected:
    void SetUp() override {
        // Plugged before the window's first scan, as in main().
        controller = std::make_unique<EmulatorPeer>(*backend);
        ShellFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000))
            << window->StatusPanel(1)->text().toStdString();
    }
    void TearDown() override {
        ShellFixture::TearDown();
        controller.reset();
    }
    void Prepare(TFMain& created) override {
        created.MarkAsSimulator();
        created.AttachEmulatedInputs([this](int io, bool on) { controller->SetInput(io, on); });
    }

    QLabel* Line(int n) const {
        return Find<QLabel>(QStringLiteral("line%1").arg(n, 2, 10, QChar('0')));
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    }
    bool WaitForStatus(const QString& text) {
        return QTest::qWaitFor([&] { return window->StatusPanel(0)->text() == text; }, 5000);
    }

    // Double-click on the line, pick the command, type the number, OK.
    void EditLine(int line, CommandCode command, const char* number) {
        QTest::mouseDClick(Line(line), Qt::LeftButton, {}, Line(line)->rect().center());
        TFProg* dialog = window->LineEditor();
        ASSERT_TRUE(dialog->isVisible());
        auto* function = dialog->findChild<QComboBox*>("Function");
        function->setCurrentIndex(static_cast<int>(command));
        emit function->activated(static_cast<int>(command));
        if (number != nullptr) {
            auto* field = dialog->findChild<QLineEdit*>("Number");
            ASSERT_TRUE(field->isVisibleTo(dialog));
            field->selectAll();
            QTest::keyClicks(field, number);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
    }

    std::array<std::uint8_t, ProgramBytes> Program(const ProgramSet& set, int program) const {
        std::array<std::uint8_t, ProgramBytes> bytes{};
        std::copy_n(set.Data() + program * ProgramBytes, ProgramBytes, bytes.begin());
        return bytes;
    }

    std::unique_ptr<EmulatorPeer> controller;
};

TEST_F(DemoMode, RunOfAProgramChangedSinceSentSendsVerifiesAndRunsItOnTak) {
    const auto load = [&](const char* listing) {
        window->Programs().ClearProgram(0);
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(listing, false, window->Programs(), error));
        window->RenderProgram();
    };
    QLabel* held = window->Held().HeldLabel;
    load("P0\n[00]  M_EN\n[01]  W_TIM  05000\n[02]  END\n");
    EXPECT_EQ(held->text(), "w sterowniku: nieznany");
    Click("BitBtn6"); // "Wyślij program"
    ASSERT_TRUE(WaitForStatus(Stored));
    EXPECT_EQ(held->text(), "w sterowniku: zgodny");

    load("P0\n[00]  M_EN\n[01]  W_TIM  03000\n[02]  END\n");
    EXPECT_EQ(held->text(), "w sterowniku: zmieniony od wysłania");
    const auto edited = Program(window->Programs(), 0);
    const QString undo = window->Editing().Cofnij->text();
    boxes.answers = {QMessageBox::Cancel};
    Click("BitBtn8"); // "Uruchom program": asks, runs nothing
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls[0].text.startsWith("Program 0 został zmieniony od wysłania"));
    QTest::qWait(100);
    controller->With([](ControllerEmulator& e) { EXPECT_FALSE(e.ProgramRunning()); });

    boxes.answers = {QMessageBox::Yes}; // sent, read back, run
    Click("BitBtn8");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            bool running = false;
            controller->With([&](ControllerEmulator& e) { running = e.ProgramRunning(); });
            return running;
        },
        5000));
    controller->With([&](ControllerEmulator& e) { EXPECT_EQ(Program(e.Programs(), 0), edited); });
    EXPECT_EQ(Program(window->Programs(), 0), edited);
    EXPECT_EQ(held->text(), "w sterowniku: zgodny");
    EXPECT_EQ(window->Editing().Cofnij->text(), undo); // the read-back is no edit
    // Run again: nothing asked.
    Click("BitBtn8");
    EXPECT_EQ(boxes.calls.size(), 2u);

    // The controller goes: what it holds is no longer known.
    controller.reset();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Rozłączony"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return held->text() == "w sterowniku: nieznany"; }, 1000));
}

TEST_F(DemoMode, RunOfAnUnknownProgramReadsItBackAndRunsOnlyTheEditorsWithoutAsking) {
    // The controller holds a P0 of its own; the editor another, never sent.
    controller->With([](ControllerEmulator& e) {
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse("P0\n[00]  M_EN\n[01]  W_TIM  09000\n[02]  END\n", false,
                                          e.Programs(), error));
    });
    window->Programs().ClearProgram(0);
    ProgramListing::Error error;
    ASSERT_TRUE(ProgramListing::Parse("P0\n[00]  M_EN\n[01]  X_DST  +0005000\n[02]  END\n", false,
                                      window->Programs(), error));
    window->RenderProgram();
    const auto editors = Program(window->Programs(), 0);
    QLabel* held = window->Held().HeldLabel;
    EXPECT_EQ(held->text(), "w sterowniku: nieznany");
    const std::size_t readsBefore = backend->Written(controller->Device()).size();

    boxes.answers = {QMessageBox::Cancel};
    Click("BitBtn8"); // "Uruchom program": read back first, then asked
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.calls.size() == 1; }, 5000));
    EXPECT_TRUE(boxes.calls[0].text.startsWith("Program 0 w sterowniku różni się od programu "
                                               "w edytorze"))
        << boxes.calls[0].text.toStdString();
    EXPECT_EQ(boxes.calls[0].defaultButton, QMessageBox::Cancel);
    const auto written = backend->Written(controller->Device());
    EXPECT_EQ(std::count_if(written.begin() + static_cast<std::ptrdiff_t>(readsBefore),
                            written.end(), [](const auto& r) { return r[1] == 'e'; }),
              LinesPerProgram);
    QTest::qWait(100);
    controller->With([](ControllerEmulator& e) { EXPECT_FALSE(e.ProgramRunning()); });
    EXPECT_EQ(Program(window->Programs(), 0), editors) << "the editor keeps its program";
    EXPECT_EQ(held->text(), "w sterowniku: inny niż w edytorze");
    EXPECT_FALSE(window->Modified().IsSet());

    // The controller holds the editor's program: read back and run unasked.
    controller->With([&](ControllerEmulator& e) {
        std::copy(editors.begin(), editors.end(), e.Programs().LineBytes(0, 0));
    });
    window->Held().Learned(0, std::nullopt); // (as a restore leaves it: not known)
    Click("BitBtn8");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            bool running = false;
            controller->With([&](ControllerEmulator& e) { running = e.ProgramRunning(); });
            return running;
        },
        5000));
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(held->text(), "w sterowniku: zgodny");
}

TEST_F(DemoMode, EscInEveryWindowAndTheStopButtonEachSendOneStop) {
    const auto stops = [&] {
        const auto written = backend->Written(controller->Device());
        return std::count_if(written.begin(), written.end(), [](const auto& r) {
            return r[1] == LetterByte(MessageLetter::MotorStop);
        });
    };
    const auto moving = [&] {
        bool is = false;
        controller->With([&](ControllerEmulator& e) { is = e.Moving(); });
        return is;
    };
    // The axis on its way to 50000, far away.
    window->Messages().SendRequest(MessageLetter::EnableOn);
    window->Messages().SendValue(MessageLetter::XdstSet, 50000);
    ASSERT_TRUE(QTest::qWaitFor(moving, 2000));

    // The line edit dialog: Esc stops the axis and closes the dialog.
    QTest::mouseDClick(Line(0), Qt::LeftButton, {}, Line(0)->rect().center());
    TFProg* dialog = window->LineEditor();
    ASSERT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog->findChild<QComboBox*>("Function"), Qt::Key_Escape);
    EXPECT_EQ(stops(), 1);
    EXPECT_FALSE(dialog->isVisible()) << "Esc keeps its meaning";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !moving(); }, 3000)) << "the axis stops";
    std::int32_t position = 0;
    controller->With([&](ControllerEmulator& e) { position = e.Position(); });
    EXPECT_LT(position, 50000);

    // The main window, on each page.
    for (QWidget* page : {window->TabSheet1, window->TabSheet3, window->TabSheet2}) {
        window->PageControl1->setCurrentWidget(page);
        QTest::keyClick(window.get(), Qt::Key_Escape);
    }
    EXPECT_EQ(stops(), 4);

    // The text view.
    window->Editing().EditAsText();
    ASSERT_NE(window->Editing().Text, nullptr);
    ASSERT_TRUE(window->Editing().Text->isVisible());
    QTest::keyClick(window->Editing().Text, Qt::Key_Escape);
    EXPECT_EQ(stops(), 5);
    EXPECT_FALSE(window->Editing().Text->isVisible());

    // A question: Esc answers it as ever, and stops.
    QtMessageBoxes real;
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(real.Show(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
    EXPECT_EQ(stops(), 6);

    // The red button on the tool bar, seen on every page.
    QToolButton* button = window->Stop().StopButton;
    for (QWidget* page : {window->TabSheet1, window->TabSheet3, window->TabSheet2}) {
        window->PageControl1->setCurrentWidget(page);
        EXPECT_TRUE(button->isVisible());
    }
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(stops(), 7);
    // Held down, Esc stops once.
    QTest::keyPress(window.get(), Qt::Key_Escape);
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(window.get(), &repeated);
    QTest::keyRelease(window.get(), Qt::Key_Escape);
    EXPECT_EQ(stops(), 8);
}

TEST_F(DemoMode, CaptionAndConnectionPanelSayItIsTheSimulator) {
    EXPECT_EQ(window->windowTitle(), "KX-RD4 PC (symulator)  -  [Nowy]");
    ASSERT_EQ(window->ListBox1->count(), 1);
    EXPECT_EQ(window->ListBox1->item(0)->text(),
              "KX-RD4 SN DEMO-1"); // the demo controller's own serial

    // Every caption the file commands set keeps the mark, and so does the
    // modified mark appended to it.
    window->SetCaptionText(FileCommands::FileCaption("/tmp/ruch.kxp"));
    EXPECT_EQ(window->windowTitle(), "KX-RD4 PC (symulator)  -  [/tmp/ruch.kxp]");
    window->MarkModified();
    EXPECT_EQ(window->windowTitle(), "KX-RD4 PC (symulator)  -  [/tmp/ruch.kxp]*");
    window->MarkModified();
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC (symulator)  -  [/tmp/ruch.kxp]*");

    // The controller goes away and comes back: the panel follows, marked.
    const auto device = controller->Device();
    controller.reset();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window->StatusPanel(1)->text() == "Rozłączony"; }, 5000));
    EXPECT_FALSE(backend->IsPlugged(device));
    controller = std::make_unique<EmulatorPeer>(*backend);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000));
}

TEST_F(DemoMode, ProgramEditedSentClearedReadBackAndRunMovesTheChartedAxis) {
    struct Edit {
        int line;
        CommandCode command;
        const char* number;
    };
    const Edit edits[] = {
        {0, CommandCode::V_MAX, "8000"}, {1, CommandCode::A_MAX, "20000"},
        {2, CommandCode::M_EN, nullptr}, {3, CommandCode::X_DST, "6000"},
        {4, CommandCode::W_TIM, "300"},  {5, CommandCode::X_DST, "0"},
        {6, CommandCode::END, nullptr},
    };
    for (const Edit& edit : edits)
        EditLine(edit.line, edit.command, edit.number);
    EXPECT_EQ(Line(0)->text(), "[00]  V_MAX  08000");
    EXPECT_EQ(Line(3)->text(), "[03]  X_DST  +0006000");
    EXPECT_EQ(Line(5)->text(), "[05]  X_DST  -0000000");
    // The longest texts are shown whole.
    EXPECT_GE(Line(3)->width(), Line(3)->sizeHint().width());
    EXPECT_EQ(Line(6)->width(), 156);
    const auto sent = Program(window->Programs(), 0);

    Click("BitBtn6"); // "Wyślij program"
    ASSERT_TRUE(WaitForStatus(Stored));
    EXPECT_EQ(window->pb->value(), 25);
    controller->With(
        [&](ControllerEmulator& emulator) { EXPECT_EQ(Program(emulator.Programs(), 0), sent); });

    boxes.answers = {QMessageBox::Yes};
    Click("BitBtn5"); // "Wyczyść program"
    EXPECT_EQ(Line(0)->text(), "[00]  *****  ");
    EXPECT_EQ(Program(window->Programs(), 0), (std::array<std::uint8_t, ProgramBytes>{}));

    boxes.answers = {QMessageBox::Yes};
    Click("BitBtn7"); // "Odczytaj program"
    ASSERT_TRUE(WaitForStatus(ReadBack));
    EXPECT_EQ(Program(window->Programs(), 0), sent);
    EXPECT_EQ(Line(3)->text(), "[03]  X_DST  +0006000");
    EXPECT_TRUE(window->windowTitle().startsWith("KX-RD4 PC (symulator)  -  [Nowy]"));

    // The read-back over the cleared program is one step, taken back and
    // redone like any edit; before it, the clear.
    ProgramEditing& editing = window->Editing();
    EXPECT_EQ(editing.Cofnij->text(), "Cofnij: odczyt programu 0 ze sterownika");
    editing.Cofnij->trigger();
    EXPECT_EQ(Program(window->Programs(), 0), (std::array<std::uint8_t, ProgramBytes>{}));
    EXPECT_EQ(editing.Cofnij->text(), "Cofnij: wyczyszczenie programu 0");
    editing.Cofnij->trigger();
    EXPECT_EQ(Program(window->Programs(), 0), sent);
    editing.Ponow->trigger();
    editing.Ponow->trigger();
    EXPECT_EQ(Program(window->Programs(), 0), sent);
    EXPECT_FALSE(editing.Ponow->isEnabled());

    Click("BitBtn8"); // "Uruchom program": the chart runs with it
    window->PageControl1->setCurrentWidget(window->TabSheet3);
    LiveChart* chart = window->Control().Chart();
    EXPECT_TRUE(window->Control().ChartRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return chart->SampleCounter() >= 40; }, 10000));
    Click("PlayChartButton"); // stop
    EXPECT_FALSE(window->Control().ChartRunning());

    // The axis moved out: positions rise from the start, with a velocity.
    const QCPGraphDataContainer& positions = *chart->Series1()->data();
    const QCPGraphDataContainer& velocities = *chart->Series2()->data();
    double highest = 0, fastest = 0;
    for (auto it = positions.constBegin(); it != positions.constEnd(); ++it)
        highest = std::max(highest, it->value);
    for (auto it = velocities.constBegin(); it != velocities.constEnd(); ++it)
        fastest = std::max(fastest, std::abs(it->value));
    EXPECT_GT(highest, 0);
    EXPECT_GT(fastest, 0);

    // Stopped: a reply still on its way may add a sample, then nothing more.
    QTest::qWait(100);
    const double after = chart->SampleCounter();
    QTest::qWait(200);
    EXPECT_EQ(chart->SampleCounter(), after);
}

TEST_F(DemoMode, SimulationDrawsThePredictionAndInputBoxesReleaseAWaitingProgram) {
    // P0 in the editor: enable, wait for input 0, move out, end.
    ProgramSet& programs = window->Programs();
    const auto line = [](CommandCode c, std::uint8_t b1 = 0, std::uint8_t b2 = 0) {
        return ProgramLine{static_cast<std::uint8_t>(c), b1, b2, 0, 0, 0, 0, 0};
    };
    programs.SetLine(0, 0, line(CommandCode::M_EN));
    programs.SetLine(0, 1, line(CommandCode::W_INP, 0, 1));
    programs.SetLine(0, 2, line(CommandCode::X_DFP)); // DEF position 1000, A max 500
    programs.SetLine(0, 3, line(CommandCode::END));
    window->RenderProgram();
    auto* input0 = Find<QCheckBox>("Input0");
    ASSERT_TRUE(input0->isVisibleTo(window->TabSheet3));
    EXPECT_TRUE(Find<QCheckBox>("Input1")->isVisibleTo(window->TabSheet3));

    // F9 with input 0 off: the program waits at the limit; ticked, it ends
    // after its move (2 x 1.414 s: a triangle at A max 500 over 1000 steps).
    LiveChart* chart = window->Control().Chart();
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet3);
    EXPECT_EQ(window->StatusPanel(0)->text().toStdString(),
              "Symulacja: program P0 nie kończy się w ciągu 60 s; czeka w linii 01 na "
              "załączenie wejścia 0");
    EXPECT_TRUE(chart->HasPrediction());
    input0->setChecked(true);
    window->Symulacja1->trigger();
    EXPECT_EQ(window->StatusPanel(0)->text().toStdString(),
              "Symulacja: program P0 kończy się po 2,829 s");
    EXPECT_EQ(chart->Series3()->name(), "Symulacja: pozycja");
    EXPECT_EQ(chart->Series4()->name(), "Symulacja: prędkość");
    EXPECT_TRUE(chart->Legend3()->isVisibleTo(chart));
    EXPECT_EQ(chart->Series3()->pen().style(), Qt::DashLine);
    ASSERT_GT(chart->Series3()->dataCount(), 200);
    EXPECT_EQ(chart->Series3()->data()->at(0)->key, 0.0);
    EXPECT_EQ((chart->Series3()->data()->constEnd() - 1)->value, 1000.0);
    EXPECT_EQ(window->Control().Chart()->Series1()->dataCount(), 0); // live series untouched

    // A fault is named with its time and line.
    programs.SetLine(0, 0, line(CommandCode::W_TIM));
    window->Symulacja1->trigger();
    EXPECT_EQ(window->StatusPanel(0)->text().toStdString(),
              "Symulacja: błąd po 0,000 s w linii 02 programu P0: ruch przy wyłączonym "
              "napędzie (brak M_EN)");
    EXPECT_TRUE(window->Memo2->toPlainText().contains("linii 02 programu P0"));

    // The same program in the emulated controller, started: it waits until
    // Input0 is ticked in the window.
    input0->setChecked(false);
    programs.SetLine(0, 0, line(CommandCode::M_EN));
    controller->With([&](ControllerEmulator& emulator) { emulator.Programs() = programs; });
    Click("BitBtn8"); // "Uruchom program"
    const auto waiting = [&] {
        bool at = false;
        controller->With([&](ControllerEmulator& emulator) { at = emulator.CurrentLine() == 1; });
        return at;
    };
    ASSERT_TRUE(QTest::qWaitFor(waiting, 5000));
    QTest::qWait(100);
    EXPECT_TRUE(waiting());
    QTest::mouseClick(input0, Qt::LeftButton, {}, QPoint(6, input0->height() / 2));
    EXPECT_TRUE(input0->isChecked());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            bool moved = false;
            controller->With([&](ControllerEmulator& emulator) {
                moved = !emulator.ProgramRunning() || emulator.CurrentLine() >= 2;
            });
            return moved;
        },
        5000));
}

} // namespace

TEST_F(DemoMode, FaultsOfTheRunningProgramAreShownAsTheyOccur) {
    window->AttachEmulatedFaults([this] { return controller->TakeFaults(); });
    // P0 in the controller moves without ENABLE.
    controller->With([](ControllerEmulator& emulator) {
        emulator.Programs().SetLine(0, 0, ProgramLine{107, 0, 0, 0, 1, 0, 0, 0});
    });
    controller->With([](ControllerEmulator& emulator) {
        const std::uint8_t start[] = {1, 0x67, 0};
        emulator.HandleRequest(start, sizeof start, emulator.Now());
    });
    const QString text = "Sterownik (symulator): błąd w linii 00 programu P0: ruch przy "
                         "wyłączonym napędzie (brak M_EN)";
    ASSERT_TRUE(WaitForStatus(text)) << window->StatusPanel(0)->text().toStdString();
    EXPECT_TRUE(window->Memo2->toPlainText().contains(text));
}
