// Test helper: the main window with recovery on in $XDG_DATA_HOME and its
// settings in CONFIGDIR:
//   recovery_child edit CONFIGDIR      edits P3, prints "ready <set>" once the
//                                      recovery file is written, runs on
//   recovery_child crash CONFIGDIR     edits P3, prints "crashing <set>", SIGSEGV
//   recovery_child term|hup|int CONFIGDIR
//                                      edits P3, prints "ending <set>", raises
//                                      SIGTERM, SIGHUP or SIGINT at once (before
//                                      the recovery file is due) and ends as
//                                      the tool does
//   recovery_child yes|no CONFIGDIR    starts answering so, prints "question <text>"
//                                      per question, "caption <c>", "set <set>", exits
// <set> is the program set in hex.
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "EditRecovery.h"
#include "FileDialogs.h"
#include "KxApplication.h"
#include "MessageBoxes.h"
#include "ScreenshotHook.h"
#include "SignalEnd.h"
#include "TFMain.h"
#include "WindowSettings.h"

namespace {

struct AnsweringBoxes : MessageBoxes {
    QMessageBox::StandardButton answer = QMessageBox::No;
    QMessageBox::StandardButton Show(QMessageBox::Icon, const QString&, const QString& text,
                                     QMessageBox::StandardButtons) override {
        std::printf("question %s\n", text.toUtf8().constData());
        return answer;
    }
};

struct NoDialogs : FileDialogs {
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

void Say(const char* what, const QByteArray& text) {
    std::printf("%s %s\n", what, text.constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KxApplication app(argc, argv);
    const QByteArray mode = argv[1];
    AnsweringBoxes boxes;
    boxes.answer = mode == "yes" ? QMessageBox::Yes : QMessageBox::No;
    NoDialogs dialogs;
    TFMain window(boxes, dialogs);
    window.Settings().SetSettingsPath(QString::fromLocal8Bit(argv[2]) + "/config.ini");
    window.Recovery().EnableForThisProcess();
    window.StartUp();
    const auto set = [&] {
        return QByteArray(reinterpret_cast<const char*>(window.Programs().Data()),
                          ProgramSet::Size())
            .toHex();
    };
    if (mode == "yes" || mode == "no") {
        Say("caption", window.CaptionText().toUtf8());
        Say("set", set());
        window.ShutDown();
        return 0;
    }
    // An edit as the editor makes it: the set changes, is marked and recorded.
    ScreenshotHook::PutDemoProgram(window.Programs(), 3);
    window.MarkModified();
    window.RecordChange(QStringLiteral("test"));
    if (mode == "crash") {
        Say("crashing", set());
        std::raise(SIGSEGV);
    }
    if (mode == "term" || mode == "hup" || mode == "int") {
        SignalEnd signalEnd([&window] { window.EndWithoutQuestion(); });
        Say("ending", set());
        std::raise(mode == "term" ? SIGTERM : mode == "hup" ? SIGHUP : SIGINT);
        const int result = KxApplication::exec();
        window.ShutDown();
        return result;
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QFile::exists(window.Recovery().RecoveryPath())) {
            poll.stop();
            Say("ready", set());
        }
    });
    poll.start(20);
    return KxApplication::exec();
}
