#pragma once
// Screenshots for the documentation (scripts/screenshot.sh). When the
// environment variable KXRD4_SCREENSHOT_DIR names a directory, the running
// tool shows each page of the main window in turn, writes one PNG per page
// into that directory ("1-programowanie.png", "2-sterowanie.png",
// "3-opcje.png") and then closes its window. Without the variable nothing
// happens; the tool has no other environment variables.

#include <QObject>
#include <QString>

class TFMain;

class ScreenshotHook : public QObject {
    Q_OBJECT

public:
    static constexpr const char* Variable = "KXRD4_SCREENSHOT_DIR";

    // Starts the screenshots if the variable is set; the hook lives as a
    // child of the window.
    static void InstallFromEnvironment(TFMain& window);

private:
    ScreenshotHook(TFMain& window, const QString& directory);
    void Step();

    TFMain& window_;
    QString directory_;
    int page_ = 0;
};
