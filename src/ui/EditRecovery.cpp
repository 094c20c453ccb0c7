#include "EditRecovery.h"

#include <QFile>
#include <QMessageBox>
#include <QUndoStack>
#include <vector>

#include "CrashGuard.h"
#include "FileCommands.h"
#include "FileCommandsHost.h"
#include "MessageBoxes.h"
#include "ModifiedFlag.h"
#include "ProgramSet.h"
#include "RecoveryFile.h"

EditRecovery::EditRecovery(FileCommandsHost& host, MessageBoxes& boxes, QUndoStack& history,
                           QObject* parent)
    : QObject(parent), host_(host), boxes_(boxes) {
    timer_.setSingleShot(true);
    timer_.setInterval(WriteDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { WriteNow(); });
    // Every change of the set is one step of the history (or an undo or redo
    // of one); a fresh history (New, Open, the load at start-up) has no steps.
    connect(&history, &QUndoStack::indexChanged, this, [this, &history] {
        if (history.count() > 0)
            SetChanged();
    });
}

EditRecovery::~EditRecovery() = default;

void EditRecovery::Enable(const QString& folder, long pid) {
    folder_ = folder;
    pid_ = pid;
    if (IsEnabled())
        CrashGuard::Install(CrashPath().toStdString());
}

void EditRecovery::EnableForThisProcess() {
    Enable(QString::fromStdString(RecoveryFile::DataFolder()), RecoveryFile::CurrentProcessId());
}

QString EditRecovery::RecoveryPath() const {
    return QString::fromStdString(RecoveryFile::PathFor(folder_.toStdString(), pid_));
}

QString EditRecovery::CrashPath() const {
    return QString::fromStdString(RecoveryFile::CrashPathFor(folder_.toStdString(), pid_));
}

void EditRecovery::SetChanged() {
    if (!IsEnabled())
        return;
    CrashGuard::Update(host_.CurrentFile().toStdString(), host_.Programs().Data());
    // Not restarted by later changes: a steady stream of edits is still
    // written every WriteDelayMs.
    if (!timer_.isActive())
        timer_.start();
}

void EditRecovery::WriteNow() {
    timer_.stop();
    if (!IsEnabled())
        return;
    const bool written = RecoveryFile::Write(
        RecoveryPath().toStdString(), host_.CurrentFile().toStdString(), host_.Programs().Data());
    // Said once, not at every edit, until a write succeeds again.
    if (!written && !failureShown_)
        host_.ShowStatus(tr("Nie można zapisać pliku odzyskiwania %1").arg(RecoveryPath()));
    failureShown_ = !written;
}

void EditRecovery::WriteIfUnsaved() {
    if (host_.Modified().IsSet())
        WriteNow();
}

void EditRecovery::KeepForNextStart() {
    if (!IsEnabled() || !host_.Modified().IsSet())
        return;
    WriteNow();
    timer_.stop();
    CrashGuard::Uninstall();
    folder_.clear();
}

void EditRecovery::ChangesSettled() {
    if (!IsEnabled())
        return;
    timer_.stop();
    CrashGuard::Clear();
    QFile::remove(RecoveryPath());
}

void EditRecovery::Finish() {
    if (!IsEnabled())
        return;
    ChangesSettled();
    CrashGuard::Uninstall();
    folder_.clear();
}

bool EditRecovery::OfferRecovery() {
    if (!IsEnabled())
        return false;
    std::vector<std::string> damaged;
    const std::string folder = folder_.toStdString();
    const long own = pid_;
    const auto leftovers = RecoveryFile::Leftovers(
        folder, [own](long pid) { return pid == own || RecoveryFile::ProcessRunning(pid); },
        damaged);
    for (const std::string& path : damaged)
        RecoveryFile::SetAside(path);
    if (!damaged.empty())
        host_.ShowStatus(tr("Pominięto uszkodzony plik odzyskiwania: %1")
                             .arg(QString::fromStdString(damaged.front())));
    for (const RecoveryFile::Candidate& candidate : leftovers) {
        const QString name = QString::fromStdString(candidate.contents.fileName);
        // Only "Nie" deletes the file; Escape or closing the box keeps it
        // and the rest for the next start.
        const auto answer = boxes_.Ask(QMessageBox::Question, QStringLiteral("KX-RD4 - PC"),
                                       tr("Odzyskać niezapisane zmiany z %1?")
                                           .arg(name.isEmpty() ? FileCommands::tr("Nowy") : name),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, true);
        if (answer == QMessageBox::No) {
            RecoveryFile::Remove(folder, candidate.pid);
            continue;
        }
        if (answer != QMessageBox::Yes)
            break;
        const std::string& bytes = candidate.contents.bytes;
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(host_.Programs().Data()));
        host_.ProgramSetReplaced();
        host_.RenderProgram();
        host_.SetCurrentFile(name);
        host_.SetCaptionText(
            FileCommands::FileCaption(name.isEmpty() ? FileCommands::tr("Nowy") : name));
        host_.Modified().MarkModified();
        host_.ShowStatus(tr("Odzyskano niezapisane zmiany"));
        // Kept as this tool's own before the old files go: nothing is lost
        // if this run ends badly too.
        SetChanged();
        WriteNow();
        RecoveryFile::Remove(folder, candidate.pid);
        return true;
    }
    return false;
}
