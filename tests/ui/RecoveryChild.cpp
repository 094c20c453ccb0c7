// Test helper: the main window as the tool runs it, with recovery on in
// $XDG_DATA_HOME and its settings in CONFIGDIR, driven from the command line:
//   recovery_child edit CONFIGDIR         edits P3, prints "ready <set>" once the
//                                         recovery file is written, runs on
//   recovery_child crash CONFIGDIR        edits P3, prints "crashing <set>", SIGSEGV
//   recovery_child start CONFIGDIR yes|no starts, answers the questions, prints
//                                         "question <text>" for each, "caption <c>"
//                                         and "set <set>", and closes cleanly
// <set> is the program set in hex.
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <string>

#include "EditRecovery.h"
#include "FileDialogs.h"
#include "KxApplication.h"
#include "MessageBoxes.h"
#include "ProgramSet.h"
#include "ScreenshotHook.h"
#include "TFMain.h"
#include "WindowSettings.h"

namespace {

class AnsweringBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton answer = QMessageBox::No;
    QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString&, const QString& text,
                                     QMessageBox::StandardButtons) override {
        std::printf("question %d %s\n", static_cast<int>(icon), text.toUtf8().constData());
        return answer;
    }
};

class NoDialogs : public FileDialogs {
public:
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

std::string Hex(const ProgramSet& set) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < ProgramSet::Size(); ++i) {
        text += digits[set.Data()[i] >> 4];
        text += digits[set.Data()[i] & 15];
    }
    return text;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KxApplication app(argc, argv);
    const std::string mode = argv[1];
    AnsweringBoxes boxes;
    if (mode == "start" && argc > 3 && std::string(argv[3]) == "yes")
        boxes.answer = QMessageBox::Yes;
    NoDialogs dialogs;
    TFMain window(boxes, dialogs);
    window.Settings().SetSettingsPath(QString::fromLocal8Bit(argv[2]) + "/config.ini");
    window.Recovery().EnableForThisProcess();
    window.StartUp();

    if (mode == "start") {
        Say("caption " + window.CaptionText().toStdString());
        Say("set " + Hex(window.Programs()));
        window.ShutDown();
        return 0;
    }
    // An edit as the editor makes it: the set changes, is marked and recorded.
    ScreenshotHook::PutDemoProgram(window.Programs(), 3);
    window.MarkModified();
    window.RecordChange(QStringLiteral("test"));
    if (mode == "crash") {
        Say("crashing " + Hex(window.Programs()));
        std::raise(SIGSEGV);
        return 1;
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QFile::exists(window.Recovery().RecoveryPath())) {
            poll.stop();
            Say("ready " + Hex(window.Programs()));
        }
    });
    poll.start(20);
    return KxApplication::exec();
}
