#pragma once
// Screenshots for the documentation (scripts/screenshot.sh). When the
// environment variable KXRD4_SCREENSHOT_DIR names a directory, the running
// tool shows each page of the main window in turn, writes one PNG per page
// into that directory ("1-programowanie.png", "2-sterowanie.png",
// "3-opcje.png") and then closes its window. Without the variable nothing
// happens; the tool has no other environment variables.
//
// With the emulated controller (kxrd4-pc --demo) the pictures show real work:
// an out-and-back program is put into P0 and sent with "Wyślij program"
// before the first shot; then "Uruchom program" starts it, Play/Stop starts
// the chart, and the "Sterowanie" page is photographed once the chart shows a
// few seconds of the move.

#include <QObject>
#include <QString>
#include <functional>

#include "ProgramSet.h"

class TFMain;

class ScreenshotHook : public QObject {
    Q_OBJECT

public:
    static constexpr const char* Variable = "KXRD4_SCREENSHOT_DIR";

    // Starts the screenshots if the variable is set; the hook lives as a
    // child of the window.
    static void InstallFromEnvironment(TFMain& window);

    // The program of the pictures: enable the motor, move out, wait, move
    // back, wait, again.
    static void PutDemoProgram(ProgramSet& programs, int program);

private:
    ScreenshotHook(TFMain& window, const QString& directory);

    // Runs next once ready() holds (looked at every 50 ms), or after
    // timeoutMs in any case with a note on stderr.
    void When(std::function<bool()> ready, int timeoutMs, const char* what,
              std::function<void()> next);
    void After(int delayMs, std::function<void()> next);
    // Writes the picture of the page shown now.
    void Shoot(int page);
    // Shows the page, lets it paint, photographs it, then runs next.
    void ShowAndShoot(int page, std::function<void()> next);
    void SendProgram();
    void RunProgramAndChart();

    TFMain& window_;
    QString directory_;
};
