#include "ProgramSet.h"

ProgramSet::ProgramSet() = default;
std::uint8_t* ProgramSet::LineBytes(int p, int l) { return bytes_.data() + p * ProgramBytes + l * 8; }
const std::uint8_t* ProgramSet::LineBytes(int p, int l) const { return bytes_.data() + p * ProgramBytes + l * 8; }
ProgramLine ProgramSet::Line(int, int) const { return {}; }
void ProgramSet::SetLine(int, int, const ProgramLine&) {}
void ProgramSet::ClearLine(int, int) {}
void ProgramSet::ClearProgram(int) {}
void ProgramSet::ClearAllPrograms() {}
void ProgramSet::CopyProgram(int, int) {}
void ProgramSet::SwapLines(int, int, int) {}
