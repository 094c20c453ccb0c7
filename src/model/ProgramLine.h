#pragma once
// One program line: the 8-byte record that the editor, the program file and the
// controller protocol all carry unchanged. Byte 0 is the command byte, bytes 1..7
// the operands (numbers as one decimal digit per byte, most significant first).

#include <array>
#include <cstdint>
#include <string>

#include "CommandCode.h"

using ProgramLine = std::array<std::uint8_t, 8>;

// The command code of a line: 101..125 give the byte minus 100, 0..25 give
// themselves. Any other byte (26..100, 126..255) is not a known command and
// gives -1; callers must not index the mnemonic table with it.
int CommandOf(const ProgramLine& line);

// The text of one line as the editor shows it, e.g. "[00]  V_MAX  00500".
// lineNumber is 0..24.
std::string RenderLine(int lineNumber, const ProgramLine& line);

// The text of the numeric operand read in the given layout ("" for layouts
// without a number), e.g. "+01200" for SignedDigits5.
std::string NumberText(const ProgramLine& line, OperandLayout layout);

// Writes an already clamped value into the line in the given layout. For
// SignedDigits7 the caller sets byte 0 to 7 first; 100 is added when value > 0.
void StoreNumber(ProgramLine& line, OperandLayout layout, std::int32_t value);
