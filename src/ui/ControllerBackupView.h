#pragma once
// "Kopia sterownika…" and "Przywróć sterownik…": the whole controller in use
// to a backup file (*.kxb) and back, in the menu "Plik" and in the box
// "Kopia sterownika" on the page "Opcje", where "Przerwij" stops a run.
//
// A run talks to the controller from a thread of its own, with a controller
// session of its own on another client of the window's HID back end (a fresh
// platform back end, or a second client of the demo's simulated one), so the
// window never waits for it. While it runs and a moment after, the window
// writes nothing to the controller and must ignore the replies it sees
// (Busy()); the controls that send are disabled and the progress bar shows the
// run. The results come back to the user-interface thread, which writes the
// backup file (safely: the old file stays whole until the new one is) and
// shows the summary.

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "BackupSession.h"
#include "ControllerBackup.h"
#include "HeldPrograms.h"

class DeviceLinkView;
class FileDialogs;
class HidBackend;
class MessageBoxes;
class QAction;
class QGroupBox;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

class ControllerBackupView : public QObject {
    Q_OBJECT
public:
    // What the view uses of the window.
    struct Window {
        DeviceLinkView& link;
        QProgressBar* progress;
        MessageBoxes& boxes;
        FileDialogs& dialogs;
        std::function<void(const QString&)> showStatus;
        // What the controller holds of a program, as a run learnt it
        // (nullopt: written, but not known now).
        std::function<void(int program, const std::optional<HeldPrograms::Bytes>& bytes)> held;
        // What the controller holds of a parameter after a restore wrote it
        // (nullopt: written, but not known now), for the fields that show it.
        std::function<void(const std::string& name,
                           const std::optional<ControllerBackup::Value>& value)>
            parameter;
        // Asked before a restore writes anything (the axis moving); false
        // leaves the controller as it is.
        std::function<bool()> allowRestore;
        // The travel limits the PC keeps for the controller in use: carried
        // in a backup (limits) and kept again from a restored file
        // (keepLimits).
        std::function<std::optional<TravelLimits>()> limits;
        std::function<void(const TravelLimits&)> keepLimits;
        // The window's own stop of the axis, for a stop asked during a run
        // that the run could not send itself (its session was not up).
        std::function<void()> stopAxis;
    };
    // Places the box "Kopia sterownika" on optionsPage.
    ControllerBackupView(const Window& window, QWidget* optionsPage, QObject* parent = nullptr);
    // Stops a run and waits for its thread.
    ~ControllerBackupView() override;

    static QString Filter(); // "Kopia sterownika (*.kxb)"

    // A separator (N3) and the two menu items, inserted into menu before before.
    void AddTo(QMenu* menu, QAction* before);
    // Widgets that send to the controller: disabled while a run has it.
    void DisableWhileBusy(std::vector<QWidget*> widgets);
    // How long each reply is awaited (the window's reply time-out).
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // How the run's thread gets its own client of the HID back end; by
    // default derived from the window's (see ClientFactory).
    void SetBackendFactory(std::function<std::shared_ptr<HidBackend>()> factory);
    static std::function<std::shared_ptr<HidBackend>()>
    ClientFactory(const std::shared_ptr<HidBackend>& windowBackend);

    // A run has the controller (or has just ended): the window sends nothing
    // and acts on no reply.
    bool Busy() const { return running_ || settling_; }

    void Backup();  // "Kopia sterownika…": asks for the file, then BackupTo
    void Restore(); // "Przywróć sterownik…": asks for the file, then RestoreFrom
    void Cancel();  // "Przerwij"
    // Esc or "STOP" while a run has the controller: the run is interrupted
    // (as by "Przerwij") and its session sends the stop at once (the halt
    // of program when given, then MotorStop), before it lets the controller
    // go. False when no run is under way: the window sends the stop itself.
    bool StopAxis(std::optional<int> program);
    // The backup into file (asks before replacing one) and the restore from
    // file (asks first); both return once the run has started, or at once.
    void BackupTo(const QString& file);
    void RestoreFrom(const QString& file);

    QAction* BackupAction = nullptr;
    QAction* RestoreAction = nullptr;
    QGroupBox* Box = nullptr;
    QPushButton* BackupButton = nullptr;
    QPushButton* RestoreButton = nullptr;
    QPushButton* CancelButton = nullptr;

signals:
    // A run ended and its summary was shown.
    void Finished();

private:
    // Runs job on the run's thread with a session on the controller at path;
    // job's result (a function for the user-interface thread) is run there
    // once the session is closed. failed(reason) when no session comes up.
    using Job = std::function<std::function<void()>(BackupSession&)>;
    void Start(const QString& what, const std::string& path, Job job,
               std::function<void(const std::string&)> failed);
    void StartThread(Job job, const std::string& path,
                     std::function<void(const std::string&)> failed);
    void Done(const std::function<void()>& result);
    // Runs a command of the menu or a button; an error that escapes it is
    // shown by the general error display.
    void Guarded(void (ControllerBackupView::*command)());
    void Refresh();
    // Tells the window what the controller holds after a restore of file.
    void TellHeld(const std::vector<BackupSession::Item>& items, const ControllerBackup& file);
    void TellParameters(const std::vector<BackupSession::Item>& items,
                        const ControllerBackup& file);
    // The label and path of the controller in use; false when none.
    bool CurrentController(QString& label, std::string& path) const;
    // Not busy and a KX-RD4 in use (its label and path); otherwise false,
    // with a warning titled title when none is connected.
    bool Ready(const QString& title, QString& label, std::string& path);
    void Warn(const QString& title, const QString& text);

    // A stop asked during a run: sent by the run's session (Taken) or, when
    // the run ended before it could, by the window (still Asked in Done).
    struct StopRequest {
        enum State { None, Asked, Taken };
        std::atomic<int> state{None};
        std::atomic<int> program{-1}; // to halt first; -1: none
    };
    void ReportStop(bool sent, const std::string& error);

    Window window_;
    std::function<std::shared_ptr<HidBackend>()> factory_;
    std::chrono::milliseconds timeout_{1000};
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::shared_ptr<StopRequest> stop_;
    bool running_ = false;
    bool settling_ = false;
    QString doing_;
    std::vector<QWidget*> disabled_;
    QTimer* refresh_ = nullptr;
};
