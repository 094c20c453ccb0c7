// The peer of the start-up benchmark: a bare Qt Widgets window of the main
// window's size, with nothing in it, shown the plain way. Prints the time of
// its first frame (see FirstFrame.h) and exits.

#include <QApplication>
#include <QWidget>

#include "FirstFrame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    // The main window's size: its 545 x 665 client area and its menu bar.
    window.resize(545, 665 + 22);
    new FirstFrame(window);
    window.show();
    return QApplication::exec();
}
