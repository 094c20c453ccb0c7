// The window in English: its dialogs and side windows show no Polish text
// (the main window itself is walked with the demo controller, in
// LanguageControlTest), Qt's own buttons follow, the manual opens in English
// and F1 in the line edit dialog opens the page of the chosen command.

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>

#include "BackupSummary.h"
#include "EmulatedFaultView.h"
#include "EmulatedInputs.h"
#include "InEnglish.h"
#include "LanguageBox.h"
#include "ManualView.h"
#include "MnemonicTable.h"
#include "ModifiedFlag.h"
#include "PolishText.h"
#include "ProgramSimulation.h"
#include "SettingsFile.h"
#include "ShellFixture.h"
#include "TFProg.h"
#include "TextView.h"
#include "ToolLanguage.h"
#include "UiLanguage.h"

namespace {

// The manual's window when it is on screen.
ManualView* ShownManual() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* manual = qobject_cast<ManualView*>(widget); manual && manual->isVisible())
            return manual;
    }
    return nullptr;
}

// The window built and started with the English texts loaded.
class EnglishWindow : public InEnglish<ShellFixture> {
protected:
    void TearDown() override {
        if (ManualView* manual = ShownManual())
            manual->close();
        InEnglish::TearDown();
    }
};

TEST_F(EnglishWindow, DialogsAndSideWindowsShowNoPolish) {
    QStringList polish;
    // The line edit dialog with the fields of every command.
    TFProg* dialog = window->LineEditor();
    ASSERT_NE(dialog, nullptr);
    for (int code = 0; code < CommandCount; ++code) {
        dialog->ShowFieldsFor(code);
        polish += PolishTextsIn(dialog);
    }
    // The demo's input boxes, the text view, the manual.
    QWidget page;
    EmulatedInputs inputs(&page, 0, 0);
    polish += PolishTextsIn(&page);
    TextView view;
    view.Open(QStringLiteral("P0"), QString(), {}, {});
    polish += PolishTextsIn(&view);
    view.reject();
    ManualView* manual = ManualView::Show();
    polish += PolishTextsIn(manual);
    manual->close();
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
}

TEST_F(EnglishWindow, QuestionsStatusTextsAndSummariesAreEnglish) {
    QStringList texts;
    // The save question of "Nowy" and the caption of a new file.
    window->Modified().MarkModified();
    boxes.answers = {QMessageBox::No};
    window->Otw1->trigger();
    ASSERT_EQ(boxes.calls.size(), 1u);
    texts << boxes.calls[0].title << boxes.calls[0].text << window->windowTitle();
    // A restore's summary, each result and a backup file that does not parse.
    using Result = BackupSession::Item::Result;
    const std::vector<BackupSession::Item> items{
        {"vmax", Result::Verified, "1000", "1000"},
        {"P3 line 05", Result::Differs, "a", "b"},
        {"xdst", Result::NotRestored, "", "never restored: writing it moves the axis"},
        {"wdef", Result::Unverified, "", "written; cannot be read back"},
        {"P4", Result::Failed, "", "no answer from the KX-RD4 within 1000 ms"}};
    for (const bool cancelled : {false, true}) {
        const BackupSummary::Text summary = BackupSummary::Restore(
            items, QStringLiteral("SN 7"), QStringLiteral("a.kxb"), cancelled);
        texts << summary.text << summary.details;
    }
    texts << BackupSummary::Restore({items[0]}, "SN 7", "a.kxb", false).text;
    texts << BackupSummary::ParseError({4, "\"x\" is not \"key = value\""}, "a.kxb");
    // The dry run's summaries and every fault.
    ProgramDryRun::Result ran;
    ran.ended = true;
    ran.endMs = 4250;
    texts << ProgramSimulation::Summary(ran, 0, 60000);
    ran.ended = false;
    for (const auto waiting : {ProgramDryRun::Waiting::Input, ProgramDryRun::Waiting::Axis,
                               ProgramDryRun::Waiting::Time, ProgramDryRun::Waiting::Running}) {
        ran.waiting = waiting;
        ran.program = 1;
        texts << ProgramSimulation::Summary(ran, 0, 60000);
    }
    for (int cause = 0; cause <= static_cast<int>(ControllerEmulator::FaultCause::TravelLimit);
         ++cause) {
        ControllerEmulator::Fault fault;
        fault.Cause = static_cast<ControllerEmulator::FaultCause>(cause);
        texts << ProgramSimulation::FaultText(fault) << EmulatedFaultView::Text(fault);
    }
    QStringList polish;
    for (const QString& text : texts) {
        if (LooksPolish(text))
            polish << text;
    }
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
    ProgramDryRun::Result ended;
    ended.ended = true;
    ended.endMs = 4250;
    EXPECT_EQ(ProgramSimulation::Summary(ended, 2, 60000),
              "Simulation: program P2 ends after 4.250 s");
}

TEST_F(EnglishWindow, StandardButtonsFollowTheLanguage) {
    QMessageBox box(QMessageBox::Question, "t", "q",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Yes");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), "Cancel");
}

TEST_F(EnglishWindow, F1InTheLineEditDialogOpensThePageOfTheChosenCommand) {
    TFProg* dialog = window->LineEditor();
    ASSERT_NE(dialog, nullptr);
    window->OpenLineEditor(3);
    for (const int code : {7, 21, 0}) {
        dialog->ShowFieldsFor(code);
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("Function")), Qt::Key_F1);
        ManualView* manual = ShownManual();
        ASSERT_NE(manual, nullptr) << code;
        EXPECT_EQ(manual->CurrentPage(), ManualView::CommandPage(code));
        const QString text = manual->Browser()->toPlainText();
        EXPECT_TRUE(text.contains(QLatin1String("Does the line wait?"))) << text.toStdString();
        if (code != 0) {
            EXPECT_TRUE(
                text.startsWith(QString::fromLatin1(MnemonicTable::Mnemonic(code)).trimmed()))
                << text.toStdString();
        }
    }
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(EnglishWindow, F1InTheWindowOpensTheContentsInAWindowThatGoesWithIt) {
    auto* action = window->findChild<QAction*>(QStringLiteral("Instrukcja1"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(action->text(), "Operator's manual");
    action->trigger();
    ManualView* manual = ShownManual();
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(manual->CurrentPage(), "index.md");
    EXPECT_TRUE(manual->Browser()->toPlainText().startsWith("KX-RD4 PC – operator's manual"));
    // Closed with the main window; never keeps the tool running by itself.
    EXPECT_EQ(manual->parentWidget(), window.get());
    EXPECT_FALSE(manual->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(EnglishWindow, ChoosingALanguageWritesItAndTakesEffectAtTheNextStart) {
    const QString path = window->Settings().SettingsPath();
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_EQ(SettingsFile(path.toStdString()).ReadLanguage(), std::nullopt);
    auto* box = Find<LanguageBox>(QStringLiteral("LanguageBox"));
    EXPECT_EQ(box->Choice()->currentText(), "English");
    box->Choice()->setCurrentIndex(0);
    emit box->Choice()->activated(0);
    EXPECT_EQ(SettingsFile(path.toStdString()).ReadLanguage(), "pl");
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text(),
              "The language changes when the program is started again");
    EXPECT_EQ(UiLanguage::Current(), Language::English);
    EXPECT_EQ(ToolLanguage::Decide(path), Language::Polish);
    EXPECT_FALSE(before.contains("Language"));
}

} // namespace

namespace {

// Run by ctest with LANG set (language_tests.cmake): the system's language
// decides without a choice in config.ini, and a choice overrides it.
TEST(SystemLanguage, FollowsTheEnvironmentUnlessChosen) {
    const QString expected = qEnvironmentVariable("KXRD4_EXPECTED_LANGUAGE");
    ASSERT_FALSE(expected.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    EXPECT_EQ(UiLanguage::Code(ToolLanguage::Decide(path)), expected)
        << ToolLanguage::SystemLanguage().toStdString();
    for (const Language chosen : {Language::Polish, Language::English}) {
        SettingsFile(path.toStdString()).WriteLanguage(UiLanguage::Code(chosen).toStdString());
        EXPECT_EQ(ToolLanguage::Decide(path), chosen);
    }
}

} // namespace

namespace {

// The walk is no empty check: Polish is told apart from English, and the
// Polish window is full of it.
TEST(PolishText, ToldApartFromEnglish) {
    for (const char* polish : {"Wyślij program", "Nowy plik", "Program 3 linia 05", "We/Wy",
                               "Czysc", "Plik o podanej nazwie juz istnieje."})
        EXPECT_TRUE(LooksPolish(QString::fromUtf8(polish))) << polish;
    for (const char* english : {"Send program", "New file", "Program 3 line 05", "I/O",
                                "[05]  X_DST  +0012000", "KX-RD4 - PC", "Program 0", ""})
        EXPECT_FALSE(LooksPolish(QString::fromUtf8(english))) << english;
}

TEST_F(ShellFixture, TheWalkFindsThePolishWindowPolish) {
    const QStringList polish = PolishTextsIn(window.get());
    for (const char* name :
         {"BitBtn6: Wyślij program", "GroupBox1: Operacje na plikach", "LanguageBox: Język"})
        EXPECT_TRUE(polish.contains(QString::fromUtf8(name))) << name;
}

} // namespace
