// "Kopia sterownika…" and "Przywróć sterownik…" in demo mode: the window's
// backup and restore run against the emulated KX-RD4 on a link of their own,
// while the window's own link stands aside.

#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>

#include "ConfigPanel.h"
#include "ControlPage.h"
#include "ControllerBackup.h"
#include "ControllerBackupView.h"
#include "EditorPage.h"
#include "EmulatorPeer.h"
#include "FileAccess.h"
#include "HeldProgramView.h"
#include "NumberField.h"
#include "ShellFixture.h"
#include "TravelLimitsView.h"
#include "WireInt32.h"

namespace {

bool Same(const ProgramSet& a, const ProgramSet& b) {
    return std::equal(a.Data(), a.Data() + ProgramSetBytes, b.Data());
}

using Button = QMessageBox::StandardButton;

class ControllerBackupDemo : public ShellFixtureOf<TFMain, ScriptedDialogs> {
protected:
    void SetUp() override {
        SimulatedHidBackend::DeviceSpec setup;
        setup.ProductString = u"KX-RD4";
        setup.SerialNumber = u"A-17";
        setup.Port = "1-1";
        setup.InputReportByteLength = setup.OutputReportByteLength = EmulatorPeer::ReportLength;
        device = backend->Plug(setup);
        controller = std::make_unique<EmulatorPeer>(*backend, device);
        ShellFixtureOf::SetUp();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->StatusPanel(1)->text() == "Połączony (symulator)"; }, 5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view().BackupAction->isEnabled(); }, 2000));
        // Programs of the controller's own, and others in the editor.
        controller->With([](ControllerEmulator& e) {
            for (int p = 0; p < ProgramCount; ++p)
                for (int l = 0; l < LinesPerProgram; l += 6)
                    e.Programs().LineBytes(p, l)[0] = static_cast<std::uint8_t>(1 + p + l);
        });
        window->Programs().LineBytes(0, 0)[0] = 9;
        editor = window->Programs();
    }
    void TearDown() override {
        ShellFixtureOf::TearDown();
        controller.reset();
    }
    void Prepare(TFMain& created) override { created.MarkAsSimulator(); }

    ControllerBackupView& view() const { return window->Backups(); }
    QString Path(const char* name) const { return files.filePath(name); }

    // Starts a command and waits until its summary was shown; false when no
    // run started.
    bool Run(void (ControllerBackupView::*command)(), bool cancel = false) {
        QSignalSpy finished(&view(), &ControllerBackupView::Finished);
        (view().*command)();
        if (cancel)
            view().Cancel();
        return view().Busy() ? finished.wait(10000) : !finished.isEmpty();
    }
    ControllerBackup Held() const {
        ControllerBackup held;
        controller->With([&](ControllerEmulator& e) { held.programs = e.Programs(); });
        return held;
    }
    static ControllerBackup Load(const QString& path) {
        std::string text;
        EXPECT_EQ(FileAccess::ReadWhole(path.toStdString(), 1 << 20, text),
                  FileAccess::ReadStatus::Ok);
        ControllerBackup backup;
        ControllerBackup::Error error;
        EXPECT_TRUE(ControllerBackup::Parse(text, backup, error)) << error.message;
        return backup;
    }
    std::size_t WrittenLetters(char letter) const {
        const auto written = backend->Written(device);
        return static_cast<std::size_t>(std::count_if(
            written.begin(), written.end(), [&](const auto& r) { return r[1] == letter; }));
    }
    // The window is itself again: writes, replies and its controls.
    void ExpectWindowBack() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view().Busy(); }, 2000));
        EXPECT_TRUE(window->TabSheet3->isEnabled());
        EXPECT_TRUE(Same(window->Programs(), editor)) << "the editor's programs were touched";
        EXPECT_FALSE(window->Modified().IsSet());
    }

    SimulatedHidBackend::DeviceId device = 0;
    std::unique_ptr<EmulatorPeer> controller;
    ProgramSet editor;
    QTemporaryDir files;
};

TEST_F(ControllerBackupDemo, BackupThenRestoreOfAChangedFileVerifiesEverythingAndLeavesTheEditor) {
    EXPECT_EQ(window->Held().StateShown(), HeldPrograms::State::Unknown);
    dialogs.answers = {Path("station.kxb")};
    ASSERT_TRUE(Run(&ControllerBackupView::Backup));
    // The backup read what the controller holds: P0 there is not the
    // editor's, and the editor did not change it.
    EXPECT_EQ(window->Held().StateShown(), HeldPrograms::State::Differs);
    EXPECT_EQ(window->Held().HeldLabel->text(), "w sterowniku: inny niż w edytorze");
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].filter, "Kopia sterownika (*.kxb)");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Information) << boxes.calls[0].text.toStdString();
    EXPECT_TRUE(boxes.calls[0].text.contains("KX-RD4 SN A-17, port 1-1"));
    EXPECT_EQ(window->StatusPanel(0)->text(), "Kopia sterownika została zapisana");

    ControllerBackup backup = Load(Path("station.kxb"));
    EXPECT_TRUE(std::all_of(backup.hasProgram.begin(), backup.hasProgram.end(),
                            [](bool has) { return has; }));
    EXPECT_TRUE(Same(backup.programs, Held().programs));
    for (const auto& key : ControllerBackup::Keys())
        EXPECT_EQ(backup.parameters.count(key.name), key.readable ? 1u : 0u) << key.name;
    std::string text;
    FileAccess::ReadWhole(Path("station.kxb").toStdString(), 1 << 20, text);
    EXPECT_NE(text.find("# KX-RD4 controller backup, kxrd4-pc "), std::string::npos);
    EXPECT_NE(text.find("# controller: KX-RD4 SN A-17, port 1-1 at sim:hidraw"), std::string::npos);
    ExpectWindowBack();

    // The file changed in two programs and a parameter goes back, saved as
    // Notepad saves it (UTF-8 with a byte order mark).
    backup.programs.LineBytes(3, 2)[0] = 42;
    backup.programs.LineBytes(7, 24)[5] = 8;
    backup.parameters["vmax"].value = 1234;
    const std::string changed = "\xEF\xBB\xBF" + backup.Write({"changed"});
    ASSERT_TRUE(FileAccess::WriteAtomically(Path("changed.kxb").toStdString(), changed.data(),
                                            changed.size()));
    dialogs.answers = {Path("changed.kxb")};
    boxes.calls.clear();
    boxes.answers = {Button::Yes, Button::No}; // restore; no homing
    // The fields of "Sterowanie" held what was read before.
    NumberField* vmax = window->Control().Field("VmaxLabel");
    NumberField* xdef = window->Config().Field("XdefLabel");
    vmax->ShowValue(800);
    xdef->ShowValue(5);
    ASSERT_TRUE(Run(&ControllerBackupView::Restore));
    ASSERT_EQ(boxes.calls.size(), 3u);
    EXPECT_TRUE(boxes.calls[0].text.contains("KX-RD4 SN A-17, port 1-1"));
    EXPECT_TRUE(boxes.calls[1].text.contains("bazowanie"));
    EXPECT_EQ(boxes.calls[1].defaultButton, Button::No) << "Enter must not start a homing";
    // They show what the controller holds now, so "Zapisz" cannot undo it.
    EXPECT_EQ(vmax->text(), "1234");
    EXPECT_EQ(xdef->text(), QString::number(backup.parameters["xdef"].value));
    // P3 and P7 now differ from the editor's on the controller's side.
    window->Editor().ShowProgram(3);
    EXPECT_EQ(window->Held().HeldLabel->text(), "w sterowniku: inny niż w edytorze");
    const auto& summary = boxes.calls[2];
    EXPECT_EQ(summary.icon, QMessageBox::Information) << summary.text.toStdString();
    EXPECT_TRUE(summary.text.contains("został przywrócony")) << summary.text.toStdString();
    EXPECT_TRUE(summary.text.contains("Zgodne: 16, różne lub błędy: 0"))
        << summary.text.toStdString();
    EXPECT_TRUE(summary.text.contains("Prędkość maksymalna (vmax): zgodne"));
    EXPECT_TRUE(
        summary.text.contains("(home): pominięte (nie przywrócono: zapis uruchamia bazowanie)"));
    EXPECT_TRUE(Same(Held().programs, backup.programs));
    EXPECT_EQ(window->StatusPanel(0)->text(), "Sterownik został przywrócony");
    ExpectWindowBack();
}

TEST_F(ControllerBackupDemo, TheTravelLimitsGoIntoTheBackupAndComeBackWithTheRestore) {
    TravelLimitsView& limits = window->Limits();
    limits.CheckDevice();
    limits.MinField->setText("-20");
    limits.MaxField->setText("4000");
    ASSERT_TRUE(limits.Save());
    dialogs.answers = {Path("l.kxb")};
    ASSERT_TRUE(Run(&ControllerBackupView::Backup));
    std::string text;
    ASSERT_EQ(FileAccess::ReadWhole(Path("l.kxb").toStdString(), 1 << 20, text),
              FileAccess::ReadStatus::Ok);
    EXPECT_NE(text.find("[limits]\n# the travel limits kept on the PC, not in the controller\n"
                        "min = -20\nmax = 4000\n\n"),
              std::string::npos)
        << text;
    limits.MinField->clear();
    limits.MaxField->clear();
    ASSERT_TRUE(limits.Save());
    EXPECT_FALSE(limits.Current());
    dialogs.answers = {Path("l.kxb")};
    boxes.calls.clear();
    boxes.answers = {Button::Yes, Button::No, Button::Ok}; // restore; no homing; summary
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view().Busy(); }, 2000));
    ASSERT_TRUE(Run(&ControllerBackupView::Restore));
    ASSERT_TRUE(limits.Current());
    EXPECT_EQ(limits.Current()->Text(), "-20 4000");
    EXPECT_EQ(limits.MaxField->text(), "4000");
}

TEST_F(ControllerBackupDemo, RestoreAnsweredNieWritesNothingAndUnplugDisablesTheCommands) {
    const ProgramSet before = Held().programs;
    ProgramSet other;
    other.LineBytes(5, 5)[0] = 77;
    const std::string text = ControllerBackup::FromPrograms(other).Write({});
    ASSERT_TRUE(
        FileAccess::WriteAtomically(Path("other.kxb").toStdString(), text.data(), text.size()));
    dialogs.answers = {Path("other.kxb")};
    boxes.answers = {Button::No};
    const std::size_t lineWrites = WrittenLetters('d');
    EXPECT_FALSE(Run(&ControllerBackupView::Restore));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
    EXPECT_TRUE(
        boxes.calls[0].text.contains("sterownik KX-RD4 SN A-17, port 1-1 z pliku other.kxb"))
        << boxes.calls[0].text.toStdString();
    EXPECT_TRUE(boxes.calls[0].text.contains("programy P0–P9"));
    EXPECT_EQ(WrittenLetters('d'), lineWrites);
    EXPECT_TRUE(Same(Held().programs, before));
    EXPECT_FALSE(view().Busy());

    // A file that is no backup: its line named, nothing asked.
    const std::string bad = "[parameters]\nvmax = 10\nspeed = 3\n";
    ASSERT_TRUE(FileAccess::WriteAtomically(Path("bad.kxb").toStdString(), bad.data(), bad.size()));
    dialogs.answers = {Path("bad.kxb")};
    EXPECT_FALSE(Run(&ControllerBackupView::Restore));
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[1].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes.calls[1].text.contains("Błąd w linii 3: nieznany klucz \"speed\""))
        << boxes.calls[1].text.toStdString();

    backend->Unplug(device);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view().BackupAction->isEnabled(); }, 2000));
    EXPECT_FALSE(view().RestoreAction->isEnabled());
    EXPECT_FALSE(view().BackupButton->isEnabled());
}

// A backup cut short is refused with its line in Polish before anything is
// asked or written; a partial file written by hand names in the question what
// it leaves as it is.
TEST_F(ControllerBackupDemo, ACutBackupIsRefusedAndAPartialOneNamesWhatItLeaves) {
    ProgramSet other;
    other.LineBytes(5, 5)[0] = 77;
    const std::string text = ControllerBackup::FromPrograms(other).Write({});
    const std::string cut = text.substr(0, text.find("\nP4\n") + 1);
    ASSERT_TRUE(FileAccess::WriteAtomically(Path("cut.kxb").toStdString(), cut.data(), cut.size()));
    dialogs.answers = {Path("cut.kxb")};
    const std::size_t lineWrites = WrittenLetters('d');
    EXPECT_FALSE(Run(&ControllerBackupView::Restore));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes.calls[0].text.contains("bez linii [end], którą zapowiada jego sekcja "
                                             "[backup] (linia 2): jest ucięty"))
        << boxes.calls[0].text.toStdString();
    EXPECT_EQ(WrittenLetters('d'), lineWrites);

    const std::string partial = "[programs]\nP2\n[00]  END\n";
    ASSERT_TRUE(
        FileAccess::WriteAtomically(Path("p2.kxb").toStdString(), partial.data(), partial.size()));
    dialogs.answers = {Path("p2.kxb")};
    boxes.answers = {Button::No};
    EXPECT_FALSE(Run(&ControllerBackupView::Restore));
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[1].text.contains("Zostaną zapisane: programy P2.\nBez zmian pozostaną "
                                             "(nie ma ich w pliku): "))
        << boxes.calls[1].text.toStdString();
    EXPECT_TRUE(boxes.calls[1].text.contains("P1, P3, P4, P5, P6, P7, P8, P9"));
    EXPECT_EQ(WrittenLetters('d'), lineWrites);
}

// A controller that stops answering, and the operator's "Przerwij": a clear
// summary, the file left alone, the window itself again.
TEST_F(ControllerBackupDemo, MutedControllerOrCancelEndsWithAClearSummary) {
    struct Case {
        const char* name;
        bool restore;
        bool cancel;
        const char* says;
    };
    const Case cases[] = {
        {"backup, muted", false, false,
         "nie została zapisana (vmin: brak odpowiedzi sterownika w ciągu 150 ms"},
        {"restore, muted", true, false, "nie powiodło się w całości"},
        {"restore, cancelled", true, true, "zostało przerwane"},
    };
    ControllerBackup file;
    file.parameters["vmax"].value = 100;
    for (int p : {1, 2})
        file.hasProgram[static_cast<std::size_t>(p)] = true;
    const std::string text = file.Write({});
    ASSERT_TRUE(
        FileAccess::WriteAtomically(Path("part.kxb").toStdString(), text.data(), text.size()));
    controller->With([](ControllerEmulator& e) { e.SetMuted(true); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view().SetTimeout(std::chrono::milliseconds(c.cancel ? 5000 : 150));
        boxes.calls.clear();
        dialogs.answers = {Path(c.restore ? "part.kxb" : "never.kxb")};
        if (c.restore)
            boxes.answers = {Button::Yes};
        QElapsedTimer took;
        took.start();
        ASSERT_TRUE(Run(c.restore ? &ControllerBackupView::Restore : &ControllerBackupView::Backup,
                        c.cancel));
        EXPECT_LT(took.elapsed(), 4000);
        ASSERT_FALSE(boxes.calls.empty());
        const auto& summary = boxes.calls.back();
        EXPECT_EQ(summary.icon, QMessageBox::Warning);
        EXPECT_TRUE(summary.text.contains(c.says)) << summary.text.toStdString();
        if (c.restore && !c.cancel) {
            EXPECT_TRUE(summary.text.contains("P1: BŁĄD (zapis: brak odpowiedzi sterownika"))
                << summary.text.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(Path("never.kxb")));
        ExpectWindowBack();
    }
}

TEST_F(ControllerBackupDemo, EscDuringABackupOrRestoreSendsOneStopThroughTheRun) {
    const auto moving = [&] {
        bool is = false;
        controller->With([&](ControllerEmulator& e) { is = e.Moving(); });
        return is;
    };
    ControllerBackup file;
    file.parameters["vmax"].value = 1000;
    const std::string text = file.Write({});
    ASSERT_TRUE(
        FileAccess::WriteAtomically(Path("vmax.kxb").toStdString(), text.data(), text.size()));
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "restore" : "backup");
        // The axis on its way to 50000, far away.
        controller->With([](ControllerEmulator& e) {
            e.AdvanceTo(e.Now());
            std::vector<std::uint8_t> on(65, 0);
            on[0] = 1;
            on[1] = LetterByte(MessageLetter::EnableOn);
            e.HandleRequest(on.data(), on.size(), e.Now());
            std::vector<std::uint8_t> go(65, 0);
            go[0] = 1;
            go[1] = LetterByte(MessageLetter::XdstSet);
            WireInt32::Write(50000, go.data() + 2);
            e.HandleRequest(go.data(), go.size(), e.Now());
        });
        ASSERT_TRUE(QTest::qWaitFor(moving, 2000));
        const std::size_t stops = WrittenLetters('w');
        boxes.calls.clear();
        boxes.answers = {Button::Yes};
        dialogs.answers = {Path(restore ? "vmax.kxb" : "esc.kxb")};
        QSignalSpy finished(&view(), &ControllerBackupView::Finished);
        if (restore)
            view().Restore();
        else
            view().Backup();
        ASSERT_TRUE(view().Busy());
        QTest::keyClick(window.get(), Qt::Key_Escape);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(WrittenLetters('w'), stops + 1) << "one stop";
        EXPECT_TRUE(QTest::qWaitFor([&] { return !moving(); }, 4000)) << "the axis stops";
        ExpectWindowBack();
        // (The backup's run sent it on its own link; the restore, refused at
        // once while the axis moves, may have ended first: the window sent it.)
        if (!restore) {
            EXPECT_EQ(window->StatusPanel(0)->text(),
                      "Kopia sterownika: przerwano, wysłano zatrzymanie osi");
        }
    }
}

} // namespace
