#include "ProgramLine.h"

int CommandOf(const ProgramLine&) { return 0; }
std::string RenderLine(int, const ProgramLine&) { return {}; }
std::string NumberText(const ProgramLine&, OperandLayout) { return {}; }
void StoreNumber(ProgramLine&, OperandLayout, std::int32_t) {}
