#include "ScreenshotHook.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "TFMain.h"

namespace {
// Time for the window to be mapped and painted before the first shot, and
// between switching a page and taking its shot.
constexpr int FirstDelayMs = 1000;
constexpr int PageDelayMs = 400;

// A simulated move for the chart: velocity ramps up, holds and ramps down
// while the position follows, then the move repeats the other way.
void FeedSimulatedMotion(TFMain& window) {
    double position = 0;
    for (int i = 0; i < 800; ++i) {
        const double phase = std::fmod(i, 400.0) / 400.0;
        const double direction = i < 400 ? 1.0 : -1.0;
        const double ramp = std::min({phase / 0.2, 1.0, (1.0 - phase) / 0.2});
        const double velocity = direction * 1500.0 * std::max(ramp, 0.0);
        position += velocity / 40.0;
        window.AddChartSample(static_cast<std::int32_t>(std::lround(position)),
                              static_cast<std::int32_t>(std::lround(velocity)));
    }
}
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
    if (pages->widget(page_) == window_.TabSheet3)
        FeedSimulatedMotion(window_);
    pages->setCurrentIndex(page_);
    ++page_;
    QTimer::singleShot(PageDelayMs, this, [this] { Step(); });
}
