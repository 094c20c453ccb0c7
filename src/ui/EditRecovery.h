#pragma once
// Unsaved edits survive a crash, a kill or a power cut. A moment after each
// change of the program set (each step of the edit history: edits, undo,
// redo, programs read back) the set and the file it belongs to are written to
// this process's recovery file (RecoveryFile) by a single-shot timer, and the
// crash guard's record is brought up to date at once. The files go when the
// set is saved, replaced by New or Open, or the tool closes cleanly.
//
// At start-up, before the last program file is loaded, the sets left by tools
// that no longer run are offered, newest first, one question each:
// "Odzyskać niezapisane zmiany z <file>?" ("Nowy" for an unnamed set). Tak
// loads it (the file name and the modified mark with it; the autoload is
// skipped) and leaves any older ones for the next start; Nie deletes it and
// asks about the next one. Damaged files are set aside and named in the
// status panel, and so is a recovery file that cannot be written (once, until
// a write succeeds again).
//
// Nothing happens until Enable names the folder (main() does; tests of the
// window leave it off, so they write nothing into the user's data folder).

#include <QObject>
#include <QString>
#include <QTimer>

class FileCommandsHost;
class MessageBoxes;
class QUndoStack;

class EditRecovery : public QObject {
    Q_OBJECT

public:
    // How long after a change the recovery file is written (at the latest).
    static constexpr int WriteDelayMs = 1000;

    EditRecovery(FileCommandsHost& host, MessageBoxes& boxes, QUndoStack& history,
                 QObject* parent = nullptr);
    ~EditRecovery() override;

    // Starts keeping recovery files in folder for this process (pid) and
    // installs the crash guard. An empty folder leaves recovery off.
    void Enable(const QString& folder, long pid);
    // Enable in the user's data folder for the running process.
    void EnableForThisProcess();
    bool IsEnabled() const { return !folder_.isEmpty(); }
    QString RecoveryPath() const;
    QString CrashPath() const;

    // The set changed: the crash record now, the file a moment later.
    void SetChanged();
    // The set equals its file again (saved, New, Open): no file is kept.
    void ChangesSettled();
    // Offers the sets of tools that no longer run; true when one was loaded.
    bool OfferRecovery();
    // A clean exit: the files go and the crash guard writes nothing more.
    void Finish();
    // Writes the recovery file now (the timer's work).
    void WriteNow();
    // Writes it now when the set has unsaved changes (the session ends: the
    // process may be ended at any moment).
    void WriteIfUnsaved();
    // The tool is ended by a signal: unsaved changes go into the recovery
    // file now and stay there for the next start (Finish then removes
    // nothing); without unsaved changes this is a clean exit.
    void KeepForNextStart();

private:
    FileCommandsHost& host_;
    MessageBoxes& boxes_;
    QTimer timer_;
    QString folder_;
    long pid_ = 0;
    bool failureShown_ = false;
};
