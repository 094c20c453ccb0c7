#pragma once
// The undo history of the program set, on Qt's QUndoStack. Every change is
// made to the set first and then recorded as one step: the set as it was at
// the last step (or the last fresh start) and as it is now, with the program
// shown and the selected line. A recording that finds the set unchanged adds
// no step. Undo and redo put the bytes and the view back and mark the set
// modified, as every other edit does.

#include <QString>
#include <QUndoStack>
#include <functional>

#include "ProgramSetStep.h"

class ProgramHistory {
public:
    using View = ProgramSetStep::View;
    struct Hooks {
        std::function<View()> CurrentView;         // the program shown, the selected line
        std::function<void(const View&)> ShowView; // show that program and select that line
        std::function<void()> Changed;             // after an undo or redo: mark modified
    };
    // Steps kept; older ones are dropped.
    static constexpr int StepLimit = 500;

    ProgramHistory(ProgramSet& set, Hooks hooks);

    QUndoStack& Stack() { return stack_; }

    // A fresh history from the set as it is now (start-up, New, Open).
    void Reset();
    // Records the change since the last step as one step named text; the
    // view before it is the given one, or the present view.
    bool Record(const QString& text);
    bool Record(const QString& text, const View& before);

    void Undo() { stack_.undo(); }
    void Redo() { stack_.redo(); }

    // Puts the set and the view as a step holds them (the steps call this).
    void Apply(const ProgramSetStep::Bytes& bytes, const View& view);

private:
    ProgramSetStep::Bytes Snapshot() const;

    ProgramSet& set_;
    Hooks hooks_;
    QUndoStack stack_;
    ProgramSetStep::Bytes baseline_{};
};
