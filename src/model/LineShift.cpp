#include "LineShift.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool IsJump(int code) {
    return code == static_cast<int>(CommandCode::J_LIN) ||
           code == static_cast<int>(CommandCode::J_CNT) ||
           code == static_cast<int>(CommandCode::J_INP);
}

bool IsEmpty(const ProgramLine& line) {
    return std::all_of(line.begin(), line.end(), [](std::uint8_t b) { return b == 0; });
}

void CheckRange(int program, int first, int last) {
    if (!ProgramSet::IsValidLine(program, first) || !ProgramSet::IsValidLine(program, last) ||
        first > last) {
        throw std::out_of_range("line range outside the program");
    }
}

} // namespace

int LineShift::JumpTarget(const ProgramLine& line) {
    return IsJump(CommandOf(line)) ? line[1] : -1;
}

bool LineShift::CanInsert(const ProgramSet& set, int program, int at, int count) {
    if (!ProgramSet::IsValidLine(program, at) || count < 1 || count > LinesPerProgram - at) {
        return false;
    }
    for (int l = LinesPerProgram - count; l < LinesPerProgram; ++l) {
        if (!IsEmpty(set.Line(program, l))) {
            return false;
        }
    }
    return true;
}

bool LineShift::Insert(ProgramSet& set, int program, int at, int count) {
    if (!CanInsert(set, program, at, count)) {
        return false;
    }
    // Targets are renumbered first, while every line is still where they
    // point; the freed lines are empty and hold no jumps.
    Renumber(set, program, at, count, 0);
    for (int l = LinesPerProgram - 1; l >= at + count; --l) {
        set.SetLine(program, l, set.Line(program, l - count));
    }
    for (int l = at; l < at + count; ++l) {
        set.ClearLine(program, l);
    }
    return true;
}

std::vector<int> LineShift::JumpsInto(const ProgramSet& set, int program, int first, int last) {
    CheckRange(program, first, last);
    std::vector<int> lines;
    for (int l = 0; l < LinesPerProgram; ++l) {
        const int target = JumpTarget(set.Line(program, l));
        if ((l < first || l > last) && target >= first && target <= last) {
            lines.push_back(l);
        }
    }
    return lines;
}

void LineShift::Delete(ProgramSet& set, int program, int first, int last) {
    CheckRange(program, first, last);
    const int count = last - first + 1;
    // Jumps into the deleted lines go to the line that takes their place;
    // jumps beyond them move up with their lines.
    for (int l = 0; l < LinesPerProgram; ++l) {
        std::uint8_t* bytes = set.LineBytes(program, l);
        const int target = JumpTarget(set.Line(program, l));
        if (target > first && target <= last) {
            bytes[1] = static_cast<std::uint8_t>(first);
        }
    }
    Renumber(set, program, last + 1, -count, first);
    for (int l = first; l + count < LinesPerProgram; ++l) {
        set.SetLine(program, l, set.Line(program, l + count));
    }
    for (int l = LinesPerProgram - count; l < LinesPerProgram; ++l) {
        set.ClearLine(program, l);
    }
}

void LineShift::Renumber(ProgramSet& set, int program, int from, int delta, int floor) {
    for (int l = 0; l < LinesPerProgram; ++l) {
        std::uint8_t* bytes = set.LineBytes(program, l);
        const int target = JumpTarget(set.Line(program, l));
        if (target >= from && target < LinesPerProgram) {
            const int moved = std::clamp(target + delta, floor, LinesPerProgram - 1);
            bytes[1] = static_cast<std::uint8_t>(moved);
        }
    }
}
