#include "ProgramSet.h"

#include <algorithm>
#include <stdexcept>

namespace {

void CheckProgram(int program) {
    if (!ProgramSet::IsValidProgram(program)) {
        throw std::out_of_range("program index " + std::to_string(program));
    }
}

void CheckLine(int program, int line) {
    if (!ProgramSet::IsValidLine(program, line)) {
        throw std::out_of_range("line index " + std::to_string(program) + "/" +
                                std::to_string(line));
    }
}

std::size_t Offset(int program, int line) {
    CheckLine(program, line);
    return static_cast<std::size_t>(program * ProgramBytes + line * 8);
}

} // namespace

ProgramSet::ProgramSet() = default;

std::uint8_t* ProgramSet::LineBytes(int program, int line) {
    return bytes_.data() + Offset(program, line);
}

const std::uint8_t* ProgramSet::LineBytes(int program, int line) const {
    return bytes_.data() + Offset(program, line);
}

ProgramLine ProgramSet::Line(int program, int line) const {
    ProgramLine value;
    std::copy_n(LineBytes(program, line), value.size(), value.begin());
    return value;
}

void ProgramSet::SetLine(int program, int line, const ProgramLine& value) {
    std::copy(value.begin(), value.end(), LineBytes(program, line));
}

void ProgramSet::ClearLine(int program, int line) {
    std::fill_n(LineBytes(program, line), 8, std::uint8_t{0});
}

void ProgramSet::ClearProgram(int program) {
    CheckProgram(program);
    for (int line = 0; line < LinesPerProgram; ++line) {
        ClearLine(program, line);
    }
}

void ProgramSet::ClearAllPrograms() {
    for (int program = 0; program < ProgramCount; ++program) {
        ClearProgram(program);
    }
}

void ProgramSet::CopyProgram(int source, int destination) {
    CheckProgram(source);
    CheckProgram(destination);
    const std::uint8_t* from = LineBytes(source, 0);
    std::uint8_t* to = LineBytes(destination, 0);
    for (int i = 0; i < ProgramBytes; ++i) {
        to[i] = from[i];
    }
}

void ProgramSet::SwapLines(int program, int a, int b) {
    std::swap_ranges(LineBytes(program, a), LineBytes(program, a) + 8, LineBytes(program, b));
}

std::vector<std::string> ExportListing(const ProgramSet& set, int program) {
    std::vector<std::string> lines;
    lines.reserve(LinesPerProgram);
    for (int line = 0; line < LinesPerProgram; ++line) {
        lines.push_back(RenderLine(line, set.Line(program, line)));
    }
    return lines;
}
