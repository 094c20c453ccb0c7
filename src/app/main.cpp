// kxrd4-pc: the desktop tool for the KX-RD4 single-axis motion controller.
// Start-up: the application (title, Polish button texts, window font), the
// main window with its components, its start-up steps, the message loop;
// shut-down in reverse. An error escaping the start-up as a whole is shown
// by the general error display.

#include <QFont>
#include <cstdio>
#include <exception>
#include <string_view>

#include "GeneralErrorDisplay.h"
#include "KxApplication.h"
#include "KxVersion.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
#include "ScreenshotHook.h"
#include "TFMain.h"

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
    // Answered without a display, as packaging and support scripts ask it.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("kxrd4-pc %s\n", KxVersion);
        return 0;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "kxrd4-pc needs a graphical desktop, but no display was found "
                             "(DISPLAY and WAYLAND_DISPLAY are not set).\n"
                             "Start it from a desktop session, over ssh -X, or under a virtual "
                             "display: xvfb-run -a kxrd4-pc\n");
        return 1;
    }

    KxApplication app(argc, argv);
    // Qt's own Polish texts for the standard buttons ("Tak", "Nie", "Anuluj").
    if (!app.LoadPolishTranslation())
        std::fprintf(stderr, "kxrd4-pc: Qt's Polish translation (qtbase_pl) is missing; "
                             "message box buttons show English texts\n");
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    KxApplication::setFont(font);

    QtMessageBoxes boxes;
    QtFileDialogs dialogs;
    app.SetErrorBoxes(&boxes);
    int result = 0;
    try {
        TFMain FMain(boxes, dialogs);
        dialogs.SetParent(&FMain);
        FMain.StartUp();
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
