#pragma once
// One step of the editor's undo history: the whole program set before and
// after a change, with the program shown and the selected line before and
// after it.

#include <QUndoCommand>
#include <array>
#include <cstdint>

#include "ProgramSet.h"

class ProgramHistory;

class ProgramSetStep : public QUndoCommand {
public:
    using Bytes = std::array<std::uint8_t, ProgramSetBytes>;
    struct View {
        int program = 0;
        int line = 0;
    };

    ProgramSetStep(ProgramHistory& history, const QString& text, const Bytes& before,
                   const Bytes& after, View viewBefore, View viewAfter);

    // The change was already made when the step is pushed: the first redo,
    // which the stack runs on pushing, does nothing.
    void redo() override;
    void undo() override;

private:
    ProgramHistory& history_;
    Bytes before_;
    Bytes after_;
    View viewBefore_;
    View viewAfter_;
    bool pushed_ = false;
};
