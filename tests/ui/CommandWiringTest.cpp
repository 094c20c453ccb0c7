// The window's commands reach their steps: the file commands from the menu,
// the shortcuts and the tool bar; the transfer buttons with the current
// program, "Odczytaj program" only after Yes.

#include <QAction>
#include <QRadioButton>
#include <QToolButton>
#include <stdexcept>
#include <string>
#include <vector>

#include "EditorPage.h"
#include "HeldProgramView.h"
#include "ProgramCheckView.h"
#include "ProgramListing.h"
#include "ShellFixture.h"
#include <QLabel>
#include <QPlainTextEdit>

namespace {

class RecordingWindow : public TFMain {
public:
    using TFMain::TFMain;
    std::vector<std::string> calls;
    bool failTransfers = false;

protected:
    void NewFile() override { calls.push_back("New"); }
    void OpenFile() override { calls.push_back("Open"); }
    void SaveFile() override { calls.push_back("Save"); }
    void SaveFileAs() override { calls.push_back("SaveAs"); }
    void StartSendProgram(int p) override { Transfer("Send", p); }
    void StartReadProgram(int p) override { Transfer("Read", p); }
    void RunProgram(int p) override { Transfer("Run", p); }
    void StopProgram(int p) override { Transfer("Stop", p); }

private:
    void Transfer(const std::string& what, int program) {
        calls.push_back(what + std::to_string(program));
        if (failTransfers)
            throw std::runtime_error("no device");
    }
};

using Commands = ShellFixtureOf<RecordingWindow>;
using Calls = std::vector<std::string>;

TEST_F(Commands, ShortcutsRunTheFileCommands) {
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    // The minus key is no shortcut.
    QTest::keyClick(window.get(), Qt::Key_Minus);
    EXPECT_EQ(window->calls, (Calls{"New", "Open", "Save", "SaveAs"}));
}

TEST_F(Commands, ToolBarButtonsAndMenuItemsRunTheSameCommands) {
    for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4"})
        QTest::mouseClick(Find<QToolButton>(QLatin1String(name)), Qt::LeftButton);
    for (const char* name : {"Otw1", "Otwrz1", "Zapisz1", "Zapiszjako1"})
        window->findChild<QAction*>(QLatin1String(name))->trigger();
    EXPECT_EQ(window->calls,
              (Calls{"New", "Open", "Save", "SaveAs", "New", "Open", "Save", "SaveAs"}));
}

TEST_F(Commands, TransferButtonsWorkOnTheCurrentProgram) {
    QTest::mouseClick(Find<QRadioButton>("p7"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("BitBtn6"), Qt::LeftButton);
    window->ProgramSent(7); // stored: the run needs no read-back
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("BitBtn9"), Qt::LeftButton);
    boxes.answers = {QMessageBox::No, QMessageBox::Yes};
    QTest::mouseClick(Find<QToolButton>("BitBtn7"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("BitBtn7"), Qt::LeftButton);
    EXPECT_EQ(window->calls, (Calls{"Send7", "Run7", "Stop7", "Read7"}));
    EXPECT_EQ(boxes.calls.size(), 2u);
}

TEST_F(Commands, F7MarksTheFaultyLinesAndSendAndRunAskFirst) {
    const auto load = [&](const char* listing) {
        ProgramSet& set = window->Programs();
        set.ClearAllPrograms();
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(listing, false, set, error)) << error.message;
        window->RenderProgram();
    };
    // A move before M_EN (error) and a line after END (warning).
    load("P0\n[00]  X_DST  +0000100\n[01]  END\n[02]  M_EN\n");
    EditorPage& editor = window->Editor();
    EXPECT_EQ(editor.MarkOf(0), EditorPage::LineMark::None); // only after F7
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_F7);
    EXPECT_EQ(editor.MarkOf(0), EditorPage::LineMark::Error);
    EXPECT_EQ(editor.MarkOf(1), EditorPage::LineMark::None);
    EXPECT_EQ(editor.MarkOf(2), EditorPage::LineMark::Warning);
    EXPECT_EQ(editor.line[0]->toolTip(), "Ruch przy wyłączonym silniku (brak M_EN)");
    EXPECT_EQ(editor.line[2]->toolTip(), "Linia nieosiągalna");
    EXPECT_EQ(editor.line[2]->palette().color(QPalette::Window), EditorPage::WarningColour);
    EXPECT_EQ(window->StatusPanel(0)->text(), "Sprawdzenie programu 0: błędy: 1, ostrzeżenia: 1");
    EXPECT_TRUE(window->Memo2->toPlainText().contains(
        "P0 [00] błąd: Ruch przy wyłączonym silniku (brak M_EN)"));

    // The marks follow the program: mended, then another program shown.
    load("P0\n[00]  M_EN\n[01]  END\n[02]  M_EN\nP3\n[00]  J_LIN  22\n");
    EXPECT_EQ(editor.MarkOf(0), EditorPage::LineMark::None);
    EXPECT_EQ(editor.MarkOf(2), EditorPage::LineMark::Warning);
    editor.ShowProgram(3);
    EXPECT_EQ(editor.MarkOf(0), EditorPage::LineMark::Error);
    EXPECT_EQ(editor.MarkOf(2), EditorPage::LineMark::None);

    // Wyślij and Uruchom ask on errors and go on only on Tak.
    boxes.answers = {QMessageBox::No, QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes};
    for (const char* button : {"BitBtn6", "BitBtn6", "BitBtn8", "BitBtn8"})
        QTest::mouseClick(Find<QToolButton>(QLatin1String(button)), Qt::LeftButton);
    // (The run reads the program back first: what the controller holds is
    // not known until it says stored; it is the editor's, so it runs.)
    EXPECT_EQ(window->calls, (Calls{"Send3", "Read3"}));
    window->ProgramRead(3);
    EXPECT_EQ(window->calls, (Calls{"Send3", "Read3", "Run3"}));
    ASSERT_EQ(boxes.calls.size(), 4u);
    EXPECT_EQ(boxes.calls[0].text, "Program zawiera błędy. Wysłać mimo to?");
    EXPECT_EQ(boxes.calls[2].text, "Program zawiera błędy. Uruchomić mimo to?");
    for (const auto& call : boxes.calls)
        EXPECT_EQ(call.defaultButton, QMessageBox::No) << "Enter must not send or run";
    // A clean program goes without a question.
    editor.ShowProgram(0);
    QTest::mouseClick(Find<QToolButton>("BitBtn6"), Qt::LeftButton);
    window->ProgramSent(0);
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    EXPECT_EQ(boxes.calls.size(), 4u);
    EXPECT_EQ(window->calls.back(), "Run0");
}

// Lines that can never be reached are one finding per run of them, in the
// log and the status bar, and every line of the run is marked with it.
TEST_F(Commands, F7ReportsARunOfUnreachableLinesOnce) {
    ProgramSet& set = window->Programs();
    set.ClearAllPrograms();
    ProgramListing::Error error;
    ASSERT_TRUE(ProgramListing::Parse("P0\n[00]  END\n[01]  M_EN\n[03]  M_EN\n[24]  END\n", false,
                                      set, error));
    window->RenderProgram();
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_F7);
    EditorPage& editor = window->Editor();
    EXPECT_EQ(editor.MarkOf(0), EditorPage::LineMark::None);
    for (const int line : {1, 3, 24})
        EXPECT_EQ(editor.MarkOf(line), EditorPage::LineMark::Warning) << line;
    EXPECT_EQ(editor.line[3]->toolTip(), "Linie 01–24 są nieosiągalne");
    EXPECT_EQ(window->StatusPanel(0)->text(), "Sprawdzenie programu 0: błędy: 0, ostrzeżenia: 1");
    EXPECT_TRUE(
        window->Memo2->toPlainText().contains("P0 [01] ostrzeżenie: Linie 01–24 są nieosiągalne"));
}

TEST_F(Commands, RunOfAChangedProgramRunsOnlyWhatTheReadBackConfirms) {
    const auto load = [&](const char* listing) {
        window->Programs().ClearProgram(0);
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(listing, false, window->Programs(), error));
        window->RenderProgram();
    };
    QLabel* held = window->Held().HeldLabel;
    load("P0\n[00]  M_EN\n[01]  W_TIM  00100\n[02]  END\n");
    window->Held().SendStarted(0);
    EXPECT_EQ(held->text(), "w sterowniku: nieznany"); // until the controller says stored
    window->ProgramSent(0);
    EXPECT_EQ(held->text(), "w sterowniku: zgodny");
    load("P0\n[00]  M_EN\n[01]  W_TIM  00200\n[02]  END\n");
    EXPECT_EQ(held->text(), "w sterowniku: zmieniony od wysłania");
    const ProgramSet edited = window->Programs();

    // Tak: sent, then read back; the read-back differs in line 01: nothing
    // runs, the editor keeps its program, the operator is told.
    boxes.answers = {QMessageBox::Yes, QMessageBox::Ok};
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    window->ProgramSent(0);
    EXPECT_EQ(window->calls, (Calls{"Send0", "Read0"}));
    window->Programs().SetLine(0, 1, ProgramLine{18, 0, 0, 0, 9, 9});
    window->ProgramRead(0);
    EXPECT_EQ(window->calls, (Calls{"Send0", "Read0"}));
    EXPECT_EQ(window->Programs().Line(0, 1), edited.Line(0, 1));
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[1].text, "Odczytany program 0 różni się od wysłanego w linii 01: "
                                   "program nie został uruchomiony");
    EXPECT_EQ(held->text(), "w sterowniku: zmieniony od wysłania");

    // Again, and the read-back equals what was sent: it runs.
    boxes.answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    window->ProgramSent(0);
    window->ProgramRead(0);
    EXPECT_EQ(window->calls, (Calls{"Send0", "Read0", "Send0", "Read0", "Run0"}));
    EXPECT_EQ(held->text(), "w sterowniku: zgodny");
    // Nie runs what the controller holds, without sending.
    load("P0\n[00]  M_EN\n[01]  W_TIM  00300\n[02]  END\n");
    boxes.answers = {QMessageBox::No};
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    EXPECT_EQ(window->calls.back(), "Run0");
    EXPECT_EQ(window->calls.size(), 6u);
}

TEST_F(Commands, ATransferThatCannotStartIsNotReported) {
    window->failTransfers = true;
    boxes.answers = {QMessageBox::Yes};
    for (const char* name : {"BitBtn6", "BitBtn7", "BitBtn8", "BitBtn9"})
        QTest::mouseClick(Find<QToolButton>(QLatin1String(name)), Qt::LeftButton);
    // (The run of a program the controller may not hold reads it back first;
    // that read cannot start either, so nothing runs.)
    EXPECT_EQ(window->calls, (Calls{"Send0", "Read0", "Read0", "Stop0"}));
    EXPECT_EQ(window->StatusPanel(0)->text(), "Program 0 nie został odczytany");
    // Only the question of "Odczytaj program"; no error box.
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].title, "Odczytaj program");
}

} // namespace
