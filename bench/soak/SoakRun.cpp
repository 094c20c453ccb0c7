// kx_soak: an 8-hour shift of the main window, as fast as it goes. The real
// window on the offscreen platform, linked to an emulated KX-RD4 as in
// kxrd4-pc --demo (the simulated back end with the controller emulator as its
// peer), its chart
// running on "Sterowanie", is fed StatusPoll replies as fast as it takes them:
// every reply's handling sends the next poll through the window's own poll
// (Timer1Timer, whose 25 ms timer is stopped for the run). After every
// 1 000 replies the window sends a program with "Wyślij program" and reads it
// back with "Odczytaj program", and polling resumes when the read-back has
// finished. Prints the resident memory after 100 000 replies and at the end,
// and whether every transfer completed with the program intact.
//
// Usage: kx_soak [REPLIES]   (default 1 150 000: 8 hours at 40 per second)
// Exit status 0 when every transfer completed and memory grew by less than
// 20 MB between 100 000 replies and the end.

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ControlPage.h"
#include "DeviceLinkView.h"
#include "EditorPage.h"
#include "EmulatorPeer.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"

namespace {

constexpr long WarmReplies = 100000;
constexpr long TransferEvery = 1000;
constexpr double GrowthLimitMb = 20;
constexpr int SoakProgram = 3;
const std::string_view StoredMessage = "Program został zapisany do pamięci wewnetrznej urządzenia";
const std::string_view ReadMessage = "Program został odczytany z pamieci wewnetrznej urządzenia";

class NoDialogs : public FileDialogs {
public:
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

// Every question is answered Yes (the read-back's confirmation).
class YesBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton Show(QMessageBox::Icon, const QString&, const QString&,
                                     QMessageBox::StandardButtons) override {
        return QMessageBox::Yes;
    }
};

double ResidentMb() {
    long kb = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) {
                break;
            }
        }
        std::fclose(status);
    }
    return static_cast<double>(kb) / 1024.0;
}

// The program sent and read back: every command once, with digits that
// differ from line to line.
std::array<ProgramLine, LinesPerProgram> SampleProgram() {
    std::array<ProgramLine, LinesPerProgram> lines{};
    for (int n = 0; n < LinesPerProgram; ++n) {
        lines[static_cast<std::size_t>(n)][0] = static_cast<std::uint8_t>(n);
        for (int i = 1; i < 8; ++i) {
            lines[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((n + i) % 10);
        }
    }
    return lines;
}

// The window with a hook on the replies it handles.
class SoakWindow : public TFMain {
public:
    SoakWindow(MessageBoxes& boxes, FileDialogs& dialogs, std::shared_ptr<HidBackend> backend,
               long total)
        : TFMain(boxes, dialogs, std::move(backend)), total_(total) {}

    void LoadProgram() {
        for (int n = 0; n < LinesPerProgram; ++n) {
            Programs().SetLine(SoakProgram, n, sample_[static_cast<std::size_t>(n)]);
        }
    }

    void AddChartSample(std::int32_t position, std::int32_t velocity) override {
        TFMain::AddChartSample(position, velocity);
        ++replies;
        if (replies == WarmReplies) {
            rssWarm = ResidentMb();
        }
        if (replies >= total_) {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        } else if (replies % TransferEvery == 0) {
            // As the operator would: a button press, after this reply.
            ++sends;
            QMetaObject::invokeMethod(
                this, [this] { Editor().BitBtn6->click(); }, Qt::QueuedConnection);
        } else {
            Timer1Timer(); // the next poll
        }
    }

    void ShowStatus(std::string_view message, bool repaintNow) override {
        TFMain::ShowStatus(message, repaintNow);
        if (message == StoredMessage) {
            ++stored;
            // The read-back has to bring every line back.
            Programs().ClearProgram(SoakProgram);
            QMetaObject::invokeMethod(
                this, [this] { Editor().BitBtn7->click(); }, Qt::QueuedConnection);
        } else if (message == ReadMessage) {
            ++read;
            bool same = true;
            for (int n = 0; n < LinesPerProgram; ++n) {
                same =
                    same && Programs().Line(SoakProgram, n) == sample_[static_cast<std::size_t>(n)];
            }
            intact += same ? 1 : 0;
            LoadProgram();
            Timer1Timer(); // polling resumes
        }
    }

    long replies = 0;
    long sends = 0;
    long stored = 0;
    long read = 0;
    long intact = 0;
    double rssWarm = 0;

private:
    const long total_;
    const std::array<ProgramLine, LinesPerProgram> sample_ = SampleProgram();
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const long total = argc > 1 ? std::atol(argv[1]) : 1150000;
    if (total < 1) {
        std::fprintf(stderr, "usage: kx_soak [REPLIES]\n");
        return 2;
    }
    QApplication app(argc, argv);
    auto backend = std::make_shared<SimulatedHidBackend>();
    EmulatorPeer controller(*backend);
    YesBoxes boxes;
    NoDialogs dialogs;
    SoakWindow window(boxes, dialogs, backend, total);
    window.MarkAsSimulator(); // as kxrd4-pc --demo shows it
    window.StartUp();
    window.show();
    window.Timer1->stop(); // the soak polls as fast as replies come
    const auto connectedBy = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.DeviceLink().CurrentDevice() == nullptr &&
           std::chrono::steady_clock::now() < connectedBy) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (window.DeviceLink().CurrentDevice() == nullptr) {
        std::fprintf(stderr, "kx_soak: the emulated KX-RD4 was not selected\n");
        return 1;
    }
    window.LoadProgram();
    window.Editor().p[SoakProgram]->click();
    window.PageControl1->setCurrentWidget(window.TabSheet3);
    window.Control().PlayChartButtonClick(); // the chart runs
    QCoreApplication::processEvents();

    const auto started = std::chrono::steady_clock::now();
    window.Timer1Timer(); // the first poll
    QApplication::exec();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double rssEnd = ResidentMb();
    const double growth = rssEnd - window.rssWarm;

    std::printf("soak: %ld StatusPoll replies in %.0f s (%.0f per second)\n", window.replies,
                seconds, static_cast<double>(window.replies) / seconds);
    std::printf("soak: resident memory after %ld replies %.1f MB, at the end %.1f MB, "
                "growth %.1f MB (limit %.0f MB)\n",
                WarmReplies, window.rssWarm, rssEnd, growth, GrowthLimitMb);
    std::printf("soak: program transfers: %ld sent, %ld stored, %ld read back, %ld intact\n",
                window.sends, window.stored, window.read, window.intact);
    const bool transfersOk = window.sends > 0 && window.stored == window.sends &&
                             window.read == window.sends && window.intact == window.sends;
    const bool memoryOk = total < WarmReplies || growth < GrowthLimitMb;
    std::printf("soak: %s\n", transfersOk && memoryOk ? "PASSED" : "FAILED");
    return transfersOk && memoryOk ? 0 : 1;
}
