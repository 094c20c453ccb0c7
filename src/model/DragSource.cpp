#include "DragSource.h"

void DragSource::Press(int program, int line) {
    if (!ProgramSet::IsValidLine(program, line)) {
        Reset();
        return;
    }
    program_ = static_cast<std::uint8_t>(program);
    line_ = static_cast<std::uint8_t>(line);
}

void DragSource::Reset() {
    program_ = NoIndex;
    line_ = NoIndex;
}

bool DragSource::Drop(ProgramSet& set, int target) {
    const bool swap = IsPending() && ProgramSet::IsValidLine(program_, target);
    if (swap) {
        set.SwapLines(program_, target, line_);
    }
    Reset();
    return swap;
}
