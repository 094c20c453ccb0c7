#include "ScreenshotHook.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "TFMain.h"

namespace {
// Time for the window to be mapped and painted before the first shot, and
// between switching a page and taking its shot.
constexpr int FirstDelayMs = 1000;
constexpr int PageDelayMs = 400;
} // namespace

void ScreenshotHook::InstallFromEnvironment(TFMain& window) {
    const QString directory = qEnvironmentVariable(Variable);
    if (directory.isEmpty())
        return;
    QDir().mkpath(directory);
    auto* hook = new ScreenshotHook(window, directory);
    QTimer::singleShot(FirstDelayMs, hook, [hook] { hook->Step(); });
}

ScreenshotHook::ScreenshotHook(TFMain& window, const QString& directory)
    : QObject(&window), window_(window), directory_(directory) {}

void ScreenshotHook::Step() {
    QTabWidget* pages = window_.PageControl1;
    if (page_ > 0) {
        // The page switched to in the previous step is painted now.
        const int shown = page_ - 1;
        QPixmap shot;
        if (QScreen* screen = window_.screen();
            screen != nullptr && QGuiApplication::platformName() != QLatin1String("offscreen"))
            shot = screen->grabWindow(window_.winId());
        if (shot.isNull())
            shot = window_.grab();
        const QString name =
            QStringLiteral("%1-%2.png").arg(shown + 1).arg(pages->tabText(shown).toLower());
        const QString path = QDir(directory_).filePath(name);
        if (!shot.save(path))
            std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
    }
    if (page_ >= pages->count()) {
        window_.close();
        return;
    }
    pages->setCurrentIndex(page_);
    ++page_;
    QTimer::singleShot(PageDelayMs, this, [this] { Step(); });
}
