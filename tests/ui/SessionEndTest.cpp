// The end of the user's session answered as closing the window is: the
// question about unsaved changes when the session manager lets the tool ask
// ("Anuluj" keeps the session), unsaved edits kept in the recovery file, and
// config.ini written in every case.
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

#include "DialogFakes.h"
#include "EditRecovery.h"
#include "ProgramFile.h"
#include "ScreenshotHook.h"
#include "SessionEnd.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "WindowSettings.h"

namespace {

TEST(SessionEndTest, AnsweredAsTheCloseQuestionWithSettingsAndRecoveryKept) {
    using B = QMessageBox;
    struct Case {
        const char* what;
        bool edited;
        bool interaction;
        std::vector<B::StandardButton> answers; // the questions expected and their answers
        bool mayEnd;
        bool fileSaved;
        bool recoveryKept;
    } cases[] = {
        {"nothing unsaved", false, true, {}, true, false, false},
        {"Tak saves", true, true, {B::Yes}, true, true, false},
        {"Nie lets it end", true, true, {B::No}, true, false, true},
        {"Anuluj cancels", true, true, {B::Cancel}, false, false, true},
        {"no asking allowed", true, false, {}, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ScriptedBoxes boxes;
        ScriptedDialogs dialogs;
        TFMain window{boxes, dialogs, std::make_shared<SimulatedHidBackend>()};
        const QString file = dir.filePath("oś.kxp");
        ASSERT_TRUE(WriteProgramFile(file.toStdString(), ProgramSet()));
        const QString ini = dir.filePath("config.ini");
        window.Settings().SetSettingsPath(ini);
        window.Recovery().Enable(dir.filePath("data"), 1'000'000'002);
        QDir().mkpath(dir.filePath("data"));
        window.StartUp();
        window.SetCurrentFile(file);
        if (c.edited) {
            ScreenshotHook::PutDemoProgram(window.Programs(), 2);
            window.MarkModified();
            window.RecordChange(QStringLiteral("test"));
        }
        QFile::remove(ini);
        boxes.answers = {c.answers.begin(), c.answers.end()};

        EXPECT_EQ(window.SessionEndRequest().CommitData(c.interaction), c.mayEnd);

        ASSERT_EQ(boxes.calls.size(), c.answers.size());
        if (!boxes.calls.empty()) {
            EXPECT_EQ(boxes.calls[0].buttons, B::Yes | B::No | B::Cancel);
        }
        EXPECT_TRUE(QFile::exists(ini));
        ProgramSet saved;
        ASSERT_TRUE(ReadProgramFile(file.toStdString(), saved));
        EXPECT_EQ(
            std::equal(saved.Data(), saved.Data() + ProgramSet::Size(), window.Programs().Data()),
            c.fileSaved || !c.edited);
        EXPECT_EQ(QFile::exists(window.Recovery().RecoveryPath()), c.recoveryKept);
        // A cancelled sign-out leaves the window as it was, edits unsaved.
        EXPECT_EQ(window.Modified().IsSet(), c.edited && !c.fileSaved);
        window.Recovery().Finish();
        window.ShutDown();
    }
}

} // namespace
