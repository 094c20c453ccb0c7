#pragma once
// The file commands of the main window: New, Open, Save and Save as (menu
// "Plik", its shortcuts and the first four tool bar buttons), the question
// about unsaved changes before New, Open and closing, and the load of the
// last program file at start-up.
//
// A command never discards the set unless the operator chose so: when a save
// asked for before New, Open or closing does not complete, the command stops.
// A failed read or write shows its warning and changes nothing else.

#include <QCoreApplication>
#include <QString>
#include <functional>

class FileCommandsHost;
class FileDialogs;
class MessageBoxes;

class FileCommands {
    Q_DECLARE_TR_FUNCTIONS(FileCommands)

public:
    FileCommands(FileCommandsHost& host, MessageBoxes& boxes, FileDialogs& dialogs);

    // The filter of both file dialogs as the form describes it, and its Qt form.
    static const char* const ProgramFilter;
    static QString QtFilter(const QString& filter);
    // "KX-RD4 PC  -  [" + text + "]".
    static QString FileCaption(const QString& text);
    // Whether path may be written: true when no file is there, or when the
    // operator agrees to replace it (a question titled title).
    static bool MayReplace(MessageBoxes& boxes, const QString& title, const QString& path);

    // New (Otw1Click).
    void New();
    // Open (Otwrz1Click).
    void Open();
    // Save (Zapisz1Click). Returns true when the set was written.
    bool Save();
    // Save as (Zapiszjako1Click). Returns true when the set was written.
    bool SaveAs();
    // Asks about unsaved changes before New or Open. Returns false when the
    // operator asked for a save that did not complete: the command stops.
    bool OfferSave();
    // Asks about unsaved changes before the window closes (Yes, No, Cancel).
    // Returns true when the window may close.
    bool CloseQuery();
    // Loads the program file named by the settings at start-up: no status text,
    // the set stays unmodified. A file that cannot be read changes nothing.
    void AutoLoad(const QString& path);
    // Told each time a file is opened or saved (it is then the file to load
    // at the next start, whatever ends this run).
    void SetOnFileInUse(std::function<void()> hook) { onFileInUse_ = std::move(hook); }

private:
    // Reads path into the set; on failure shows the warning and returns false.
    bool Read(const QString& path);
    // Writes the set to path; on failure shows the warning and returns false.
    bool Write(const QString& path);
    void Warn(const QString& title, const QString& text);
    QString DialogDirectory() const;

    FileCommandsHost& host_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    std::function<void()> onFileInUse_;
    void FileInUse();
};
