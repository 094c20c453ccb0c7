#pragma once
// The main window's part of config.ini: LoadSettings (a step of FormCreate)
// creates the file with its defaults on the first start, sets the check box
// AutoLoad, places the window and loads the last program file when asked to;
// StoreSettings (FormDestroy) writes the check box, the file in use and the
// window position back, one key at a time.
//
// A failed write throws std::runtime_error("Unable to write to <path>"); it
// is left to escape so that the general error display shows it and the step
// that was writing ends there.

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class FileCommands;
class FileCommandsHost;
class QCheckBox;
class QWidget;

class WindowSettings : public QObject {
    Q_OBJECT

public:
    // window is the main window; it is watched to know its restored position.
    WindowSettings(FileCommandsHost& host, FileCommands& commands, QWidget& window,
                   QCheckBox& autoLoad);

    // config.ini beside the running executable, or in the user's configuration
    // folder when the tool may not write beside it (see SettingsLocation.h).
    static QString DefaultPath();
    // The settings file in use: DefaultPath() unless another one was set
    // (tests of the window set a file of their own before LoadSettings).
    QString SettingsPath() const { return path_.isEmpty() ? DefaultPath() : path_; }
    void SetSettingsPath(const QString& path) { path_ = path; }
    // Asked after the settings are read and before the last program file is
    // loaded; returning true (a set was recovered) skips that load.
    void SetBeforeAutoLoad(std::function<bool()> hook) { beforeAutoLoad_ = std::move(hook); }

    void LoadSettings();
    void StoreSettings();
    // Only AutoLoadFile, from the file in use: written whenever a file is
    // opened or saved, so that the next start after a crash or a kill opens
    // it. A settings file that cannot be written is left for the exit, which
    // reports it.
    void StoreLastFile();
    // How long a controller reply is awaited, in ms (Options/ReplyTimeout,
    // 1000 when not given).
    int ReplyTimeout() const;

    // The outer top-left corner of the window; while it is minimised or
    // maximised, that of its restored (normal) placement.
    QPoint RestoredPosition() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FileCommandsHost& host_;
    FileCommands& commands_;
    QWidget& window_;
    QCheckBox& autoLoad_;
    QString path_;
    std::function<bool()> beforeAutoLoad_;
    // The last position of the window in its normal state.
    std::optional<QPoint> normalPosition_;
};
