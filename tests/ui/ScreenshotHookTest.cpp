// The screenshot hook (scripts/screenshot.sh) in either language of the
// window: the start-up question about changes left by a tool that no longer
// runs is recognised without its text, photographed and answered "Yes", so
// that a run in English does not stop at a question nobody answers.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DialogFakes.h"
#include "EditRecovery.h"
#include "InEnglish.h"
#include "KxApplication.h"
#include "QtMessageBoxes.h"
#include "RecoveryFile.h"
#include "ScreenshotHook.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "UiLanguage.h"
#include "WindowSettings.h"

namespace {

// A process number that no process has any more.
long DeadProcess() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(ScreenshotHook, AnswersTheStartUpQuestionInEitherLanguage) {
    for (const Language language : {Language::English, Language::Polish}) {
        SCOPED_TRACE(UiLanguage::Code(language).toStdString());
        App().LoadTranslations(language);
        QTemporaryDir dir;
        const QString shots = dir.filePath(QStringLiteral("shots"));
        const QString data = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(data);
        const std::string left(RecoveryFile::SetSize, '\x05');
        ASSERT_TRUE(RecoveryFile::Write(RecoveryFile::PathFor(data.toStdString(), DeadProcess()),
                                        "/p/wózek.kxp",
                                        reinterpret_cast<const std::uint8_t*>(left.data())));
        qputenv(ScreenshotHook::Variable, shots.toUtf8());

        QtMessageBoxes boxes;
        ScriptedDialogs dialogs;
        TFMain window{boxes, dialogs, std::make_shared<SimulatedHidBackend>()};
        window.Settings().SetSettingsPath(dir.filePath(QStringLiteral("config.ini")));
        window.Recovery().Enable(data, 1'000'000'001);
        // A question the hook does not answer would wait for ever: closed
        // after 10 s, which fails the test below.
        QString unanswered;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&unanswered] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                unanswered = box->text();
                box->reject();
            }
        });
        guard.start(10000);
        ScreenshotHook::WatchStartUpQuestion(window);
        window.StartUp(); // asks; the hook answers

        EXPECT_EQ(unanswered, QString());
        EXPECT_TRUE(QFile::exists(QDir(shots).filePath(QStringLiteral("question-recovery.png"))));
        EXPECT_EQ(window.CurrentFile(), QStringLiteral("/p/wózek.kxp")); // "Yes": taken
        EXPECT_EQ(window.Programs().Data()[0], 5);
        window.ShutDown();
        qunsetenv(ScreenshotHook::Variable);
    }
}

} // namespace
