// The recovery file as the window's commands leave it, and a named set taken
// at start-up in place of the last program file.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DialogFakes.h"
#include "EditRecovery.h"
#include "ProgramEditing.h"
#include "ProgramFile.h"
#include "RecoveryFile.h"
#include "ScreenshotHook.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "WindowSettings.h"

namespace {

class EditRecoveryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    TFMain window{boxes, dialogs, std::make_shared<SimulatedHidBackend>()};

    std::string Data() const { return dir.filePath("data").toStdString(); }
    void Start() {
        QDir().mkpath(dir.filePath("data"));
        window.Settings().SetSettingsPath(dir.filePath("config.ini"));
        window.Recovery().Enable(dir.filePath("data"), 1'000'000'001);
        window.StartUp();
    }
    void TearDown() override { window.ShutDown(); }
    void Edit(int program) {
        ScreenshotHook::PutDemoProgram(window.Programs(), program);
        window.MarkModified();
        window.RecordChange(QStringLiteral("test"));
    }
    // The recovery file holds the set as it is now, and the name.
    bool Holds(const QString& name) const {
        RecoveryFile::Contents contents;
        return RecoveryFile::Read(window.Recovery().RecoveryPath().toStdString(), contents) ==
                   RecoveryFile::Status::Ok &&
               contents.fileName == name.toStdString() &&
               contents.bytes ==
                   std::string(reinterpret_cast<const char*>(window.Programs().Data()),
                               RecoveryFile::SetSize);
    }
    bool Exists() const { return QFile::exists(window.Recovery().RecoveryPath()); }
};

TEST_F(EditRecoveryTest, TheFileFollowsEditsAndGoesWithSaveNewOpenAndExit) {
    Start();
    Edit(3);
    QTRY_VERIFY_WITH_TIMEOUT(Holds({}), 2500);
    window.Editing().History().Undo();
    QTRY_VERIFY_WITH_TIMEOUT(Holds({}), 2500);

    const QString saved = dir.filePath("saved.kxp");
    dialogs.answers = {saved, QString(), saved};
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"Save as", [&] { window.Zapiszjako1Click(); }},
        {"Open cancelled: still unsaved", [&] { window.Otwrz1Click(); }},
        {"Open", [&] { window.Otwrz1Click(); }},
        {"Save", [&] { window.Zapisz1Click(); }},
        {"New", [&] { window.Otw1Click(); }},
    };
    for (const auto& [what, command] : steps) {
        Edit(7);
        window.Recovery().WriteNow();
        Edit(6); // and a write pending
        boxes.answers = {QMessageBox::No};
        command();
        QTest::qWait(EditRecovery::WriteDelayMs + 300); // no late write brings it back
        EXPECT_EQ(Exists(), std::string(what).find("still") != std::string::npos) << what;
    }
    Edit(8);
    window.Recovery().WriteNow();
    EXPECT_TRUE(Holds({})); // after New the set has no file
    window.ShutDown();
    EXPECT_TRUE(QDir(dir.filePath("data")).isEmpty());
}

TEST_F(EditRecoveryTest, ATakenSetKeepsItsNameAndTheLastFileIsNotLoaded) {
    const QString last = dir.filePath("ostatni.kxp");
    ASSERT_TRUE(WriteProgramFile(last.toStdString(), ProgramSet()));
    QFile ini(dir.filePath("config.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Options]\nAutoLoad=1\nAutoLoadFile=" + last.toUtf8() + "\n");
    ini.close();
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string left(RecoveryFile::SetSize, '\x05');
    QDir().mkpath(dir.filePath("data"));
    ASSERT_TRUE(RecoveryFile::Write(RecoveryFile::PathFor(Data(), dead), "/p/wózek.kxp",
                                    reinterpret_cast<const std::uint8_t*>(left.data())));
    boxes.answers = {QMessageBox::Yes};
    Start();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes.calls[0].text, QStringLiteral("Odzyskać niezapisane zmiany z /p/wózek.kxp?"));
    EXPECT_EQ(window.CaptionText(), QStringLiteral("KX-RD4 PC  -  [/p/wózek.kxp]*"));
    EXPECT_TRUE(Holds(QStringLiteral("/p/wózek.kxp"))); // this window's own at once
    EXPECT_EQ(window.Programs().Data()[0], 5);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(RecoveryFile::PathFor(Data(), dead))));
}

TEST_F(EditRecoveryTest, EscapeOnTheQuestionKeepsTheFileForTheNextStartAndOnlyNieDeletesIt) {
    // Two sets left by tools that ended; newest asked first.
    std::vector<pid_t> dead;
    for (int i = 0; i < 2; ++i) {
        const pid_t child = fork();
        if (child == 0)
            _exit(0);
        waitpid(child, nullptr, 0);
        dead.push_back(child);
    }
    QDir().mkpath(dir.filePath("data"));
    for (const pid_t pid : dead) {
        const std::string left(RecoveryFile::SetSize, '\x07');
        ASSERT_TRUE(RecoveryFile::Write(RecoveryFile::PathFor(Data(), pid), "/p/a.kxp",
                                        reinterpret_cast<const std::uint8_t*>(left.data())));
    }
    boxes.answers = {QMessageBox::Cancel}; // Escape
    Start();
    ASSERT_EQ(boxes.calls.size(), 1u) << "Escape asks no more at this start";
    EXPECT_TRUE(boxes.calls[0].escapeCancels);
    EXPECT_EQ(boxes.calls[0].defaultButton, QMessageBox::Yes);
    for (const pid_t pid : dead)
        EXPECT_TRUE(QFile::exists(QString::fromStdString(RecoveryFile::PathFor(Data(), pid))));
    EXPECT_NE(window.Programs().Data()[0], 7) << "nothing was taken";
    EXPECT_FALSE(window.Modified().IsSet());

    // At the next start "Nie" deletes each.
    ScriptedBoxes again;
    TFMain next{again, dialogs, std::make_shared<SimulatedHidBackend>()};
    next.Settings().SetSettingsPath(dir.filePath("config2.ini"));
    next.Recovery().Enable(dir.filePath("data"), 1'000'000'002);
    again.answers = {QMessageBox::No, QMessageBox::No};
    next.StartUp();
    EXPECT_EQ(again.calls.size(), 2u);
    for (const pid_t pid : dead)
        EXPECT_FALSE(QFile::exists(QString::fromStdString(RecoveryFile::PathFor(Data(), pid))));
    next.ShutDown();
}

} // namespace
