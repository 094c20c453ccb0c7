#pragma once
// What the program editor page needs from the window that hosts it: the
// program set, the modified mark, the message boxes, the status panel, the
// line edit dialog and the general error display.

#include <QString>
#include <functional>

class MessageBoxes;
class ProgramSet;

class EditorHost {
public:
    virtual ~EditorHost() = default;

    virtual ProgramSet& Programs() = 0;
    // Marks the set modified (one "*" on the window caption).
    virtual void MarkModified() = 0;
    virtual MessageBoxes& Boxes() = 0;
    // Replaces the text of status panel 0.
    virtual void ShowStatus(const QString& message) = 0;
    // Opens the line edit dialog on a line of the current program.
    virtual void OpenLineEditor(int line) = 0;
    // Runs an event handler; an exception escaping it is shown by the general
    // error display and ends only that handler.
    virtual void RunGuarded(const std::function<void()>& handler) = 0;
    // Records the change just made to the program set as one undo step named
    // by what ("wyczyszczenie programu 3").
    virtual void RecordChange(const QString& what) { (void)what; }
};
