#pragma once
// Requests and program lines for driving a ControllerEmulator in tests and
// benchmarks.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "CommandCode.h"
#include "MessageLetter.h"
#include "ProgramLine.h"
#include "ProgramSet.h"
#include "WireInt32.h"

namespace emulator_kit {

using Bytes = std::vector<std::uint8_t>;

// A 65-byte request: identifier 1, the letter, then the payload bytes.
inline Bytes Request(MessageLetter letter, std::initializer_list<std::uint8_t> payload = {}) {
    Bytes report(65, 0);
    report[0] = 1;
    report[1] = LetterByte(letter);
    std::copy(payload.begin(), payload.end(), report.begin() + 2);
    return report;
}

// A request with a WireInt32 at bytes 2..5 (and byte 6 for HomeStart).
inline Bytes ValueRequest(MessageLetter letter, std::int32_t value, std::uint8_t byte6 = 0) {
    Bytes report = Request(letter);
    WireInt32::Write(value, report.data() + 2);
    report[6] = byte6;
    return report;
}

// A line with a number stored as the line edit dialog stores it.
inline ProgramLine Line(CommandCode command, std::int32_t number = 0) {
    ProgramLine line{};
    line[0] = static_cast<std::uint8_t>(command);
    StoreNumber(line, OperandLayoutOf(line[0]), number);
    return line;
}

// A line with its operand bytes 1.. given as they are.
inline ProgramLine Raw(std::uint8_t commandByte, std::initializer_list<std::uint8_t> operands) {
    ProgramLine line{};
    line[0] = commandByte;
    std::copy(operands.begin(), operands.end(), line.begin() + 1);
    return line;
}

inline ProgramLine Operands(CommandCode command, std::initializer_list<std::uint8_t> operands) {
    return Raw(static_cast<std::uint8_t>(command), operands);
}

inline void Store(ProgramSet& set, int program, const std::vector<ProgramLine>& lines) {
    for (std::size_t l = 0; l < lines.size(); ++l) {
        set.SetLine(program, static_cast<int>(l), lines[l]);
    }
}

// Out to 10000 and back to 0 three times at V max 1000 and A max 500, with a
// pause of 200 ms at 10000: each move takes 2 s up, 8 s at V max, 2 s down.
inline std::vector<ProgramLine> OutAndBackThreeTimes() {
    using C = CommandCode;
    return {Line(C::V_MAX, 1000), Line(C::A_MAX, 500),     Line(C::M_EN),
            Line(C::S_CNT, 3),    Line(C::X_DST, 10000),   Line(C::W_TIM, 200),
            Line(C::X_DST, 0),    Operands(C::J_CNT, {4}), Line(C::END)};
}

} // namespace emulator_kit
