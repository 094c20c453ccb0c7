// kx_record_probe: the speed of recording a run, three figures as "key value"
// lines for scripts/bench.sh:
//   link_rate_hz      samples per second the recording poll (one StatusPoll
//                     outstanding, the next on each reply) gets through the
//                     HID link (reader thread and hand-over) from the
//                     emulated KX-RD4 (ControllerSession, as kxrd4-cli record)
//   window_rate_hz    the same in the main window ("Nagrywaj", "Uruchom
//                     program") on the offscreen platform, as kxrd4-pc --demo
//   window_stall_ms   the event loop's largest stall while the window records:
//                     the longest time between two passes of a 1 ms timer
//   idle_stall_ms     the same for as long with the window idle (what the
//                     machine itself costs)
//   report_60s_ms     the report (PDF, CSV, PNG) of a 60 s run recorded at
//                     500 samples per second
//
// Usage: kx_record_probe [SECONDS]   (the length of each recording, default 5)

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ControlPage.h"
#include "ControllerSession.h"
#include "DeviceLinkView.h"
#include "EditorPage.h"
#include "EmulatorPeer.h"
#include "ProgramListing.h"
#include "RunComparison.h"
#include "RunRecording.h"
#include "RunReport.h"
#include "SilentOperator.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"

namespace {

// Every question answered Yes (the first motion to this controller).
class YesBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton Show(QMessageBox::Icon, const QString&, const QString&,
                                     QMessageBox::StandardButtons) override {
        return QMessageBox::Yes;
    }
};

// Back and forth between 0 and 20000 for as long as it is given.
ProgramSet Shuttle() {
    ProgramSet set;
    ProgramListing::Error error;
    ProgramListing::Parse("P0\n[00]  V_MAX  05000\n[01]  A_MAX  05000\n[02]  M_EN\n"
                          "[03]  X_DST  +0020000\n[04]  X_DST  +0000000\n[05]  J_LIN  03\n",
                          false, set, error);
    return set;
}

double LinkRate(double seconds) {
    auto backend = std::make_shared<SimulatedHidBackend>();
    EmulatorPeer controller(*backend);
    ControllerSession session(backend, std::chrono::milliseconds(1000));
    std::string error;
    session.Choose(std::nullopt);
    MotionRecorder::Options options;
    options.limitS = seconds;
    MotionRecorder recorder(session.PollSender(), ControllerSession::SteadySeconds, options);
    ProgramSet set = Shuttle();
    session.Record(
        recorder,
        [&](std::string& e) {
            ControllerSession::Reply reply;
            return session.SendProgram(set, 0, e) &&
                   session.Byte(MessageLetter::ProgramStart, 0, reply, e);
        },
        error);
    return recorder.Recording().Rate();
}

double ReportMs() {
    // A minute of the shuttle as the dry run gives it, taken as measured at 2 ms.
    const ProgramSet set = Shuttle();
    RunComparison::Setup setup;
    setup.programs = &set;
    setup.limitS = 60;
    const RunComparison::Prediction prediction = RunComparison::Predict(setup);
    MotionRecording recording;
    recording.runStart = MotionRecording::RunStart{0, 0.001};
    for (std::size_t i = 0; i < prediction.run.samples.size(); i += 2) {
        const auto& s = prediction.run.samples[i];
        recording.samples.push_back(
            {s.timeMs / 1000.0, s.timeMs / 1000.0 + 0.001, s.position, s.velocity});
    }
    recording.end = MotionRecording::End::TimeLimit;
    recording.endS = 60;
    QElapsedTimer timer;
    timer.start();
    const RunComparison::Result comparison = RunComparison::Compare(setup, recording);
    RunReportContent content;
    content.toolVersion = "bench";
    content.serial = "BENCH-1";
    content.programs = &set;
    content.recording = &recording;
    content.comparison = &comparison;
    QTemporaryDir folder;
    QString error;
    if (!RunReport::Write(folder.filePath(QStringLiteral("run.pdf")), content, error)) {
        std::fprintf(stderr, "kx_record_probe: %s\n", qPrintable(error));
        return -1;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: kx_record_probe [SECONDS]\n");
        return 2;
    }
    QApplication app(argc, argv);
    std::printf("link_rate_hz %.0f\n", LinkRate(seconds));
    std::fflush(stdout);

    auto backend = std::make_shared<SimulatedHidBackend>();
    EmulatorPeer controller(*backend);
    YesBoxes boxes;
    NoDialogs dialogs;
    TFMain window(boxes, dialogs, backend);
    window.MarkAsSimulator();
    window.StartUp();
    window.show();
    const auto connectedBy = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.DeviceLink().CurrentDevice() == nullptr &&
           std::chrono::steady_clock::now() < connectedBy) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    window.Programs() = Shuttle();
    window.RenderProgram();
    window.Editor().p[0]->click();
    // The program sent first, so that the run is not preceded by a read-back.
    window.Editor().BitBtn6->click();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    RunRecording& recording = window.Recording();
    recording.Box()->setChecked(true);
    double stallMs = 0;
    double idleStallMs = 0;
    bool idle = true;
    bool wasActive = false; // the tick after the end counts the comparison
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double gap = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6;
        if (idle) {
            idleStallMs = std::max(idleStallMs, gap);
        } else if (recording.Active() || wasActive) {
            stallMs = std::max(stallMs, gap);
        }
        wasActive = recording.Active();
        sinceTick.restart();
    });
    sinceTick.start();
    probe.start();
    QElapsedTimer idleFor;
    idleFor.start();
    while (idleFor.elapsed() < seconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    idle = false;
    // A moment after the end, so that the probe sees the comparison's pass.
    QObject::connect(&recording, &RunRecording::Finished, &app,
                     [] { QTimer::singleShot(100, &QCoreApplication::quit); });
    window.Editor().BitBtn8->click(); // "Uruchom program"
    QTimer::singleShot(static_cast<int>(seconds * 1000) + 1500, [&] {
        recording.Box()->setChecked(false); // ends the recording
    });
    QApplication::exec();
    const MotionRecording* recorded = recording.LastRecording();
    std::printf("window_rate_hz %.0f\n", recorded != nullptr ? recorded->Rate() : 0.0);
    std::printf("window_stall_ms %.1f\n", stallMs);
    std::printf("idle_stall_ms %.1f\n", idleStallMs);
    std::printf("report_60s_ms %.0f\n", ReportMs());
    window.ShutDown();
    return recorded != nullptr ? 0 : 1;
}
