// The tool's start-up as kxrd4-pc runs it (main.cpp): the application with
// its translation and window font, the main window with all its components,
// its start-up steps, show, the event loop. Prints the time of the first
// frame (see FirstFrame.h) and exits. Keep the steps in line with main.cpp.

#include "FirstFrame.h"
#include "KxApplication.h"
#include "QtFileDialogs.h"
#include "QtMessageBoxes.h"
#include "TFMain.h"

int main(int argc, char** argv) {
    KxApplication app(argc, argv);
    app.LoadPolishTranslation();
    KxApplication::setFont(KxApplication::WindowFont());

    QtMessageBoxes boxes;
    QtFileDialogs dialogs;
    app.SetErrorBoxes(&boxes);
    TFMain FMain(boxes, dialogs, nullptr, nullptr, TFMain::PageBuild::AfterFirstFrame);
    dialogs.SetParent(&FMain);
    FMain.StartUp();
    new FirstFrame(FMain);
    FMain.show();
    return KxApplication::exec();
}
