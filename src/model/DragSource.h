#pragma once
// The line picked up by a right-button press in the editor, waiting for the
// release that exchanges it with the line under the mouse. 255 in both bytes
// (NoIndex) means no move is pending.

#include <cstdint>

#include "ProgramSet.h"

class DragSource {
public:
    std::uint8_t Program() const { return program_; }
    std::uint8_t Line() const { return line_; }
    bool IsPending() const { return line_ < LinesPerProgram; }

    // Right-button press on line `line` while `program` is current.
    void Press(int program, int line);
    // No move pending any more (press on the background of the line box).
    void Reset();
    // Right-button release over line `target`: when a line is pending, exchanges
    // it with the target line of the recorded program and returns true (the
    // caller then marks the set modified and redraws). Always resets.
    bool Drop(ProgramSet& set, int target);

private:
    std::uint8_t program_ = NoIndex;
    std::uint8_t line_ = NoIndex;
};
