// kxrd4-pc: the desktop tool for the KX-RD4 single-axis motion controller.
// Start-up: the command line (--demo, --help), the application (title, Polish
// button texts, window font), the main window with its components, its
// start-up steps, the message loop; shut-down in reverse. An error escaping
// the start-up as a whole is shown by the general error display. Unsaved
// edits are kept for recovery in the user's data folder (EditRecovery), with
// the crash guard on from before the start-up steps. The tool's own texts
// (help, version, start-up warnings) go through ConsoleOutput, which finds
// them a place on Windows too, where a window program has no console.

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleOutput.h"
#include "EditRecovery.h"
#include "EmulatorPeer.h"
#include "GeneralErrorDisplay.h"
#include "KxApplication.h"
#include "KxVersion.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
#include "ScreenshotHook.h"
#include "SignalEnd.h"
#include "SimulatedHidBackend.h"
#include "StartOptions.h"
#include "TFMain.h"
#include "ToolLanguage.h"
#include "WindowSettings.h"

namespace {

// Without a display Qt would abort with a terse message; say what to do.
bool DisplayAvailable() {
#if defined(Q_OS_LINUX)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    const StartOptions options =
        StartOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.action == StartOptions::Action::Help) {
        ConsoleOutput::Show(ConsoleOutput::Kind::Information, StartOptions::Usage());
        return 0;
    }
    if (options.action == StartOptions::Action::Version) {
        ConsoleOutput::Show(ConsoleOutput::Kind::Information,
                            std::string("kxrd4-pc ") + KxVersion + "\n");
        return 0;
    }
    if (options.action == StartOptions::Action::Error) {
        ConsoleOutput::Show(ConsoleOutput::Kind::Error,
                            "kxrd4-pc: " + options.error + "\n" + StartOptions::Usage());
        return 2;
    }
    if (!DisplayAvailable()) {
        ConsoleOutput::Show(ConsoleOutput::Kind::Error,
                            "kxrd4-pc needs a graphical desktop, but no display was found "
                            "(DISPLAY and WAYLAND_DISPLAY are not set).\n"
                            "Start it from a desktop session, over ssh -X, or under a virtual "
                            "display: xvfb-run -a kxrd4-pc\n");
        return 1;
    }

    KxApplication app(argc, argv);
    // The window's language (config.ini's choice, else the system's), with
    // Qt's own texts for the standard buttons ("Tak", "Nie", "Anuluj").
    if (!app.LoadTranslations(ToolLanguage::Decide(WindowSettings::DefaultPath())))
        ConsoleOutput::Show(ConsoleOutput::Kind::Warning,
                            "kxrd4-pc: Qt's Polish translation (qtbase_pl) is missing; "
                            "message box buttons show English texts\n");
    KxApplication::setFont(KxApplication::WindowFont());

    QtMessageBoxes boxes;
    QtFileDialogs dialogs;
    app.SetErrorBoxes(&boxes);
    int result = 0;
    // The demo: an emulated KX-RD4 plugged into an in-process back end that
    // takes the place of the platform's HID devices. Outlives the window.
    std::shared_ptr<SimulatedHidBackend> demoBackend;
    std::unique_ptr<EmulatorPeer> demoController;
    try {
        if (options.demo) {
            demoBackend = std::make_shared<SimulatedHidBackend>();
            demoController = std::make_unique<EmulatorPeer>(*demoBackend);
            demoController->With([&options](ControllerEmulator& emulator) {
                emulator.SetImperfection({options.demoLagMs, options.demoLostSteps});
            });
        }
        TFMain FMain(boxes, dialogs, demoBackend, nullptr, TFMain::PageBuild::AfterFirstFrame);
        if (options.demo) {
            FMain.MarkAsSimulator();
            FMain.AttachEmulatedInputs(
                [peer = demoController.get()](int io, bool on) { peer->SetInput(io, on); });
            FMain.AttachEmulatedFaults(
                [peer = demoController.get()] { return peer->TakeFaults(); });
        }
        dialogs.SetParent(&FMain);
        FMain.Recovery().EnableForThisProcess();
        ScreenshotHook::WatchStartUpQuestion(FMain);
        FMain.StartUp();
        // SIGTERM, SIGHUP and SIGINT end the tool as a close would, without
        // the question; unsaved edits stay in the recovery file.
        SignalEnd signalEnd([&FMain] { FMain.EndWithoutQuestion(); });
        ScreenshotHook::InstallFromEnvironment(FMain);
        FMain.show();
        result = KxApplication::exec();
        FMain.ShutDown();
    } catch (const std::exception& error) {
        GeneralErrorDisplay::Show(boxes, QString::fromUtf8(error.what()));
    } catch (...) {
        GeneralErrorDisplay::Show(boxes, QString());
    }
    return result;
}
