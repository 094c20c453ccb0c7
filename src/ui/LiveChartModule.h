#pragma once
// The live chart lives in a library of its own, kxrd4-chart, which the window
// loads when it builds the "Sterowanie" page after its first frame: the chart
// library (QCustomPlot) and the print support it needs would otherwise be
// loaded, and their symbols bound, before the window could show at all.
//
// The library is looked for, in this order: already loaded (a program that
// links it, such as the tests), by its name on the system's library path;
// beside the program (the build folder, Windows); in the installed tool's
// library folder (../lib/<arch>/kxrd4-pc from the program's folder). A
// library of another version of the tool is refused. When none can be used
// Create returns null and Error() says why, in the window's language.

#include <QString>
#include <QStringList>

class FileDialogs;
class LiveChart;
class MessageBoxes;
class QWidget;

class LiveChartModule {
public:
    // The chart, a child of parent named "Chart1", or null (see Error).
    static LiveChart* Create(QWidget* parent, FileDialogs& dialogs, MessageBoxes& boxes);
    // Why the last Create returned null; empty after a success.
    static QString Error();

    // The library files to try, in order (see above); Create uses the first
    // that loads. Other files are for tests of a missing library; an empty
    // list restores the search above.
    static QStringList Candidates();
    static void SetCandidates(const QStringList& files);
};
