#include "WindowSettings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QWidget>
#include <algorithm>

#include "FileCommands.h"
#include "FileCommandsHost.h"
#include "ProgramFile.h"
#include "SettingsFile.h"
#include "SettingsLocation.h"

namespace {

// Stored coordinates are used as they are, off-screen ones included; only
// values so large that the window's geometry could not be held are limited.
constexpr int CoordinateLimit = 16777215;

int Coordinate(int value) {
    return std::clamp(value, -CoordinateLimit, CoordinateLimit);
}

bool IsNormal(const QWidget& window) {
    return !(window.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

WindowSettings::WindowSettings(FileCommandsHost& host, FileCommands& commands, QWidget& window,
                               QCheckBox& autoLoad)
    : host_(host), commands_(commands), window_(window), autoLoad_(autoLoad) {
    window_.installEventFilter(this);
    commands_.SetOnFileInUse([this] { StoreLastFile(); });
}

void WindowSettings::StoreLastFile() {
    try {
        SettingsFile settings(SettingsPath().toStdString());
        settings.WriteAutoLoadFile(host_.CurrentFile().toStdString());
    } catch (const std::exception&) {
        // Reported by the exit's StoreSettings.
    }
}

QString WindowSettings::DefaultPath() {
    // In the system's own separators: the path appears in error messages.
    return QString::fromStdString(SettingsLocation::ForExecutableDirectory(
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString()));
}

void WindowSettings::LoadSettings() {
    path_ = SettingsPath();
    SettingsFile settings(path_.toStdString());
    settings.CreateIfMissing();
    autoLoad_.setChecked(settings.ReadAutoLoad());
    const QString autoLoadPath = QString::fromStdString(settings.ReadAutoLoadFile());
    window_.move(Coordinate(settings.ReadScreenLeft()), window_.pos().y());
    window_.move(window_.pos().x(), Coordinate(settings.ReadScreenTop()));
    if (IsNormal(window_)) {
        normalPosition_ = window_.pos();
    }
    if (beforeAutoLoad_ && beforeAutoLoad_()) {
        return;
    }
    if (autoLoad_.isChecked() && FileExists(autoLoadPath.toStdString())) {
        commands_.AutoLoad(autoLoadPath);
    }
}

int WindowSettings::ReplyTimeout() const {
    return SettingsFile(SettingsPath().toStdString()).ReadReplyTimeout();
}

void WindowSettings::StoreSettings() {
    path_ = SettingsPath();
    SettingsFile settings(path_.toStdString());
    settings.WriteAutoLoad(autoLoad_.isChecked());
    settings.WriteAutoLoadFile(host_.CurrentFile().toStdString());
    const QPoint position = RestoredPosition();
    settings.WriteScreenLeft(position.x());
    settings.WriteScreenTop(position.y());
}

QPoint WindowSettings::RestoredPosition() const {
    if (IsNormal(window_)) {
        return window_.pos();
    }
    if (normalPosition_) {
        return *normalPosition_;
    }
    // Never seen in its normal state: the normal geometry less the frame.
    const QRect normal = window_.normalGeometry();
    if (normal.isValid()) {
        return normal.topLeft() - (window_.geometry().topLeft() - window_.pos());
    }
    return window_.pos();
}

bool WindowSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Move && IsNormal(window_)) {
        normalPosition_ = window_.pos();
    }
    return QObject::eventFilter(watched, event);
}
