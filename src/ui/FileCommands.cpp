#include "FileCommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "FileCommandsHost.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "ModifiedFlag.h"
#include "ProgramFile.h"
#include "ProgramSet.h"

namespace {

QString SaveQuestion() {
    return FileCommands::tr("Czy chcesz zapisać bieżący program?");
}
QString CannotOpen() {
    return FileCommands::tr("Nie można otworzyć pliku");
}
QString CannotSave() {
    return FileCommands::tr("Nie można zapisać pliku");
}

// The path as the file layer takes it (UTF-8).
std::string FilePath(const QString& path) {
    return path.toStdString();
}

} // namespace

const char* const FileCommands::ProgramFilter =
    QT_TRANSLATE_NOOP("FileCommands", "Plik program (*.kxp)|*.kxp");

FileCommands::FileCommands(FileCommandsHost& host, MessageBoxes& boxes, FileDialogs& dialogs)
    : host_(host), boxes_(boxes), dialogs_(dialogs) {}

QString FileCommands::QtFilter(const QString& filter) {
    // "description|pattern[;pattern]|..." becomes "description (pattern ...);;...";
    // a description that already ends with its patterns in brackets is kept.
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ');
        const QString bracketed = "(" + patterns + ")";
        entries << (description.endsWith(bracketed) ? description : description + " " + bracketed);
    }
    return entries.join(";;");
}

QString FileCommands::FileCaption(const QString& text) {
    return QString::fromStdString(::FileCaption(text.toStdString()));
}

void FileCommands::Warn(const QString& title, const QString& text) {
    boxes_.Show(QMessageBox::Warning, title, text, QMessageBox::Ok);
}

QString FileCommands::DialogDirectory() const {
    const QString current = host_.CurrentFile();
    return current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
}

bool FileCommands::Read(const QString& path) {
    if (!ReadProgramFile(FilePath(path), host_.Programs())) {
        Warn(tr("Otwarcie pliku"), CannotOpen());
        return false;
    }
    return true;
}

bool FileCommands::Write(const QString& path) {
    if (!WriteProgramFile(FilePath(path), host_.Programs())) {
        Warn(tr("Zapis pliku"), CannotSave());
        return false;
    }
    return true;
}

bool FileCommands::OfferSave() {
    if (!host_.Modified().IsSet()) {
        return true;
    }
    const auto answer = boxes_.Show(QMessageBox::Question, tr("Nowy plik"), SaveQuestion(),
                                    QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return true;
    }
    return Save();
}

bool FileCommands::CloseQuery() {
    if (!host_.Modified().IsSet()) {
        return true;
    }
    const auto answer =
        boxes_.Show(QMessageBox::Question, QStringLiteral("KX-RD4 - PC"), SaveQuestion(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
    case QMessageBox::Yes:
        return Save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::New() {
    if (!OfferSave()) {
        return;
    }
    host_.Programs().ClearAllPrograms();
    host_.ProgramSetReplaced();
    host_.RenderProgram();
    host_.SetCurrentFile(QString());
    host_.SetCaptionText(FileCaption(tr("Nowy")));
    host_.ShowStatus(QString());
    host_.Modified().ClearModified();
    host_.ChangesSettled();
}

void FileCommands::Open() {
    if (!OfferSave()) {
        return;
    }
    try {
        const QString path =
            dialogs_.GetOpenFileName(QString(), DialogDirectory(), QtFilter(tr(ProgramFilter)));
        if (path.isEmpty()) {
            Warn(tr("Otwórz plik"), CannotOpen());
            return;
        }
        if (!Read(path)) {
            return;
        }
        host_.SetCurrentFile(path);
        host_.SetCaptionText(FileCaption(path));
        host_.ProgramSetReplaced();
        host_.RenderProgram();
        host_.ShowStatus(tr("Program został otwarty"));
        host_.Modified().ClearModified();
        host_.ChangesSettled();
        FileInUse();
    } catch (...) {
        // Errors of the open command end it without a message.
    }
}

bool FileCommands::Save() {
    const QString path = host_.CurrentFile();
    if (path.isEmpty()) {
        return SaveAs();
    }
    if (!Write(path)) {
        return false;
    }
    host_.SetCaptionText(FileCaption(path));
    host_.ShowStatus(tr("Program zostal zapisany"));
    host_.Modified().ClearModified();
    host_.ChangesSettled();
    FileInUse();
    return true;
}

bool FileCommands::MayReplace(MessageBoxes& boxes, const QString& title, const QString& path) {
    const QFileInfo target(path);
    return !target.exists() || target.isDir() ||
           boxes.Show(
               QMessageBox::Question, title,
               tr("Plik o podanej nazwie juz istnieje.\n\rCzy chcesz zastąpić istniejący plik?"),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool FileCommands::SaveAs() {
    try {
        const QString path = dialogs_.GetSaveFileName(tr("Zapisz program"), DialogDirectory(),
                                                      QtFilter(tr(ProgramFilter)));
        if (path.isEmpty()) {
            Warn(tr("Zapisz plik"), CannotSave());
            return false;
        }
        if (!MayReplace(boxes_, tr("Zapisz plik"), path)) {
            return false;
        }
        if (!Write(path)) {
            return false;
        }
        host_.SetCurrentFile(path);
        host_.SetCaptionText(FileCaption(path));
        host_.ShowStatus(tr("Program został zapisany"));
        host_.Modified().ClearModified();
        host_.ChangesSettled();
        FileInUse();
        return true;
    } catch (...) {
        // Errors of the save-as command end it without a message.
        return false;
    }
}

void FileCommands::FileInUse() {
    if (onFileInUse_)
        onFileInUse_();
}

void FileCommands::AutoLoad(const QString& path) {
    if (!Read(path)) {
        return;
    }
    host_.ProgramSetReplaced();
    host_.RenderProgram();
    host_.SetCurrentFile(path);
    host_.SetCaptionText(FileCaption(path));
}
