// The window's commands reach their steps: the file commands from the menu,
// the shortcuts and the tool bar; the transfer buttons with the current
// program, "Odczytaj program" only after Yes.

#include <QAction>
#include <QRadioButton>
#include <QToolButton>
#include <stdexcept>
#include <string>
#include <vector>

#include "ShellFixture.h"

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
    QTest::mouseClick(Find<QToolButton>("BitBtn8"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("BitBtn9"), Qt::LeftButton);
    boxes.answers = {QMessageBox::No, QMessageBox::Yes};
    QTest::mouseClick(Find<QToolButton>("BitBtn7"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("BitBtn7"), Qt::LeftButton);
    EXPECT_EQ(window->calls, (Calls{"Send7", "Run7", "Stop7", "Read7"}));
    EXPECT_EQ(boxes.calls.size(), 2u);
}

TEST_F(Commands, ATransferThatCannotStartIsNotReported) {
    window->failTransfers = true;
    boxes.answers = {QMessageBox::Yes};
    for (const char* name : {"BitBtn6", "BitBtn7", "BitBtn8", "BitBtn9"})
        QTest::mouseClick(Find<QToolButton>(QLatin1String(name)), Qt::LeftButton);
    EXPECT_EQ(window->calls, (Calls{"Send0", "Read0", "Run0", "Stop0"}));
    // Only the question of "Odczytaj program"; no error box.
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].title, "Odczytaj program");
}

} // namespace
