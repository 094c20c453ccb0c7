// The recovery file as the window's commands leave it, and the question at
// start-up, with recovery on in a temporary folder.
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DialogFakes.h"
#include "EditRecovery.h"
#include "FileCommands.h"
#include "ProgramEditing.h"
#include "ProgramFile.h"
#include "RecoveryFile.h"
#include "ScreenshotHook.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "WindowSettings.h"

namespace {

// A process id that no longer runs.
long DeadProcessId() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

std::string SetBytes(const TFMain& window) {
    return {reinterpret_cast<const char*>(window.Programs().Data()), RecoveryFile::SetSize};
}

class EditRecoveryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    std::unique_ptr<TFMain> window;

    QString Data() const { return dir.filePath("data"); }
    void Start(const QString& folder = {}) {
        QDir().mkpath(Data());
        window = std::make_unique<TFMain>(boxes, dialogs, std::make_shared<SimulatedHidBackend>());
        window->Settings().SetSettingsPath(dir.filePath("config.ini"));
        window->Recovery().Enable(folder.isEmpty() ? Data() : folder, 1'000'000'001);
        window->StartUp();
    }
    void TearDown() override {
        if (window)
            window->ShutDown();
        window.reset();
    }
    void Edit(int program) {
        ScreenshotHook::PutDemoProgram(window->Programs(), program);
        window->MarkModified();
        window->RecordChange(QStringLiteral("test"));
    }
    // The recovery file's contents, or nullopt while there is none.
    std::optional<RecoveryFile::Contents> Recovered() const {
        RecoveryFile::Contents contents;
        if (RecoveryFile::Read(window->Recovery().RecoveryPath().toStdString(), contents) !=
            RecoveryFile::Status::Ok)
            return std::nullopt;
        return contents;
    }
    bool Holds(const std::string& set, const QString& name) const {
        const auto contents = Recovered();
        return contents && contents->bytes == set && contents->fileName == name.toStdString();
    }
};

TEST_F(EditRecoveryTest, TheFileFollowsEditsAndGoesWithSaveNewOpenAndExit) {
    Start();
    ASSERT_TRUE(boxes.calls.empty()); // nothing to offer
    EXPECT_FALSE(Recovered());

    Edit(3);
    const std::string edited = SetBytes(*window);
    QTRY_VERIFY_WITH_TIMEOUT(Holds(edited, {}), 2500);
    window->Editing().History().Undo();
    QTRY_VERIFY_WITH_TIMEOUT(Holds(std::string(RecoveryFile::SetSize, '\0'), {}), 2500);
    window->Editing().History().Redo();
    QTRY_VERIFY_WITH_TIMEOUT(Holds(edited, {}), 2500);

    const QString saved = dir.filePath("saved.kxp");
    dialogs.answers.push_back(saved);
    window->Zapiszjako1Click();
    EXPECT_FALSE(QFile::exists(window->Recovery().RecoveryPath()));

    // After a save the set belongs to the file.
    Edit(5);
    window->Recovery().WriteNow();
    EXPECT_TRUE(Holds(SetBytes(*window), saved));

    // Open cancelled after the changes were declined: they are still unsaved.
    boxes.answers = {QMessageBox::No};
    dialogs.answers.push_back(QString());
    window->Otwrz1Click();
    QTest::qWait(EditRecovery::WriteDelayMs + 300);
    EXPECT_TRUE(Holds(SetBytes(*window), saved));

    struct Step {
        const char* what;
        std::function<void()> command;
    };
    const Step steps[] = {
        {"New", [&] { window->Otw1Click(); }},
        {"Open",
         [&] {
             dialogs.answers.push_back(saved);
             window->Otwrz1Click();
         }},
        {"Save", [&] { window->Zapisz1Click(); }},
    };
    for (const Step& step : steps) {
        Edit(7);
        window->Recovery().WriteNow();
        ASSERT_TRUE(Recovered()) << step.what;
        boxes.answers = {QMessageBox::No};
        step.command();
        EXPECT_FALSE(QFile::exists(window->Recovery().RecoveryPath())) << step.what;
        QTest::qWait(EditRecovery::WriteDelayMs + 300); // no late write brings it back
        EXPECT_FALSE(QFile::exists(window->Recovery().RecoveryPath())) << step.what;
    }

    Edit(8);
    window->Recovery().WriteNow();
    const QString crash = window->Recovery().CrashPath();
    EXPECT_TRUE(QFile::exists(crash));
    window->ShutDown();
    EXPECT_TRUE(QDir(Data()).isEmpty()) << QDir(Data()).entryList().join(' ').toStdString();
}

TEST_F(EditRecoveryTest, TheStartOffersALeftSetBeforeTheAutoload) {
    struct Case {
        QMessageBox::StandardButton answer;
        bool recovered;
    };
    for (const Case c : {Case{QMessageBox::Yes, true}, Case{QMessageBox::No, false}}) {
        SCOPED_TRACE(c.recovered);
        QDir(Data()).removeRecursively();
        QDir().mkpath(Data());
        // The last program file, to be loaded at start when nothing is recovered.
        const QString last = dir.filePath("ostatni.kxp");
        ProgramSet lastSet;
        ScreenshotHook::PutDemoProgram(lastSet, 1);
        ASSERT_TRUE(WriteProgramFile(last.toStdString(), lastSet));
        QFile ini(dir.filePath("config.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[Options]\nAutoLoad=1\nAutoLoadFile=" + last.toUtf8() + "\n");
        ini.close();
        // What a killed tool left: its set, named, and a torn file of another.
        const std::string left(RecoveryFile::SetSize, '\x05');
        const long dead = DeadProcessId();
        ASSERT_TRUE(RecoveryFile::Write(RecoveryFile::PathFor(Data().toStdString(), dead),
                                        "/programy/wózek.kxp",
                                        reinterpret_cast<const std::uint8_t*>(left.data())));
        const std::string torn = RecoveryFile::PathFor(Data().toStdString(), DeadProcessId());
        QFile tornFile(QString::fromStdString(torn));
        ASSERT_TRUE(tornFile.open(QIODevice::WriteOnly));
        tornFile.write("KXRD4-RECOVERY 1 0 \n\x05\x05");
        tornFile.close();

        boxes.calls.clear();
        boxes.answers = {c.answer};
        Start();
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
        EXPECT_EQ(boxes.calls[0].text,
                  QStringLiteral("Odzyskać niezapisane zmiany z /programy/wózek.kxp?"));
        EXPECT_EQ(boxes.calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(torn) + ".damaged"));
        EXPECT_FALSE(QFile::exists(
            QString::fromStdString(RecoveryFile::PathFor(Data().toStdString(), dead))));
        if (c.recovered) {
            EXPECT_EQ(SetBytes(*window), left);
            EXPECT_EQ(window->CurrentFile(), QStringLiteral("/programy/wózek.kxp"));
            EXPECT_EQ(window->CaptionText(),
                      QStringLiteral("KX-RD4 PC  -  [/programy/wózek.kxp]*"));
            EXPECT_TRUE(window->Modified().IsSet());
            // Kept at once as this window's own.
            EXPECT_TRUE(Holds(left, QStringLiteral("/programy/wózek.kxp")));
        } else {
            EXPECT_EQ(SetBytes(*window), std::string(reinterpret_cast<const char*>(lastSet.Data()),
                                                     RecoveryFile::SetSize));
            EXPECT_EQ(window->CurrentFile(), last);
            EXPECT_FALSE(window->Modified().IsSet());
            EXPECT_TRUE(window->StatusPanel(0)->text().startsWith(
                QStringLiteral("Pominięto uszkodzony plik odzyskiwania")));
        }
        window->ShutDown();
        window.reset();
    }
}

TEST_F(EditRecoveryTest, AFileThatCannotBeWrittenIsSaidOnce) {
    Start(dir.filePath("no/such/folder"));
    Edit(2);
    window->Recovery().WriteNow();
    EXPECT_TRUE(window->StatusPanel(0)->text().startsWith(
        QStringLiteral("Nie można zapisać pliku odzyskiwania ")));
    window->ShowStatus(QStringLiteral("inna wiadomość"));
    Edit(4);
    window->Recovery().WriteNow();
    EXPECT_EQ(window->StatusPanel(0)->text(), QStringLiteral("inna wiadomość"));
}

} // namespace
