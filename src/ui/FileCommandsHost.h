#pragma once
// What the file commands and the window settings need from the main window:
// the program set with its modified mark, the file in use, the caption, the
// listing and the status panel. The names match the main window's accessors.

#include <QString>

class ModifiedFlag;
class ProgramSet;

class FileCommandsHost {
public:
    virtual ~FileCommandsHost() = default;

    virtual ProgramSet& Programs() = 0;
    virtual ModifiedFlag& Modified() = 0;
    // The full path of the program file in use, empty when none.
    virtual const QString& CurrentFile() const = 0;
    virtual void SetCurrentFile(const QString& path) = 0;
    // Replaces the whole window caption.
    virtual void SetCaptionText(const QString& caption) = 0;
    // Redraws the listing of the current program.
    virtual void RenderProgram() = 0;
    // Replaces the text of status panel 0.
    virtual void ShowStatus(const QString& message) = 0;
    // The whole set was replaced (New, Open, the load at start-up): the edit
    // history starts afresh.
    virtual void ProgramSetReplaced() {}
    // The set equals its file again (saved, or replaced by New or Open).
    virtual void ChangesSettled() {}
};
