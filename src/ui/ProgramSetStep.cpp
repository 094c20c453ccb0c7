#include "ProgramSetStep.h"

#include "ProgramHistory.h"

ProgramSetStep::ProgramSetStep(ProgramHistory& history, const QString& text, const Bytes& before,
                               const Bytes& after, View viewBefore, View viewAfter)
    : QUndoCommand(text), history_(history), before_(before), after_(after),
      viewBefore_(viewBefore), viewAfter_(viewAfter) {}

void ProgramSetStep::redo() {
    if (!pushed_) {
        pushed_ = true;
        return;
    }
    history_.Apply(after_, viewAfter_);
}

void ProgramSetStep::undo() {
    history_.Apply(before_, viewBefore_);
}
