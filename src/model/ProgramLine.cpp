#include "ProgramLine.h"

#include <cstdlib>

#include "MnemonicTable.h"

namespace {

// A byte taken as a signed 8-bit value, written in decimal: a digit byte gives
// one character, other bytes give their signed value (255 gives "-1").
std::string ByteText(std::uint8_t byte) {
    return std::to_string(static_cast<int>(static_cast<std::int8_t>(byte)));
}

std::string BytesText(const ProgramLine& line, int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i) {
        text += ByteText(line[static_cast<std::size_t>(i)]);
    }
    return text;
}

// "0" before a line number below 10, as jump targets are shown.
std::string TwoDigitText(std::uint8_t byte) {
    const int value = static_cast<std::int8_t>(byte);
    return (value < 10 ? "0" : "") + std::to_string(value);
}

const char* SignText(bool positive) {
    return positive ? "+" : "-";
}

const char* StateText(std::uint8_t byte) {
    return byte != 0 ? "on" : "off";
}

bool CommandByteIsPositive(const ProgramLine& line) {
    return static_cast<std::int8_t>(line[0]) >= PositiveTargetOffset;
}

std::string OperandText(const ProgramLine& line, OperandLayout layout) {
    switch (layout) {
    case OperandLayout::NoOperand:
        return {};
    case OperandLayout::Digits5:
        return BytesText(line, 1, 5);
    case OperandLayout::SignedDigits5:
        return SignText(line[1] != 0) + BytesText(line, 2, 6);
    case OperandLayout::SignedDigits7:
        return SignText(CommandByteIsPositive(line)) + BytesText(line, 1, 7);
    case OperandLayout::Homing:
        return SignText(line[1] != 0) + BytesText(line, 2, 6) + "  " + (line[7] != 0 ? "NC" : "NO");
    case OperandLayout::IoState:
        return "    " + ByteText(line[1]) + "  " + StateText(line[2]);
    case OperandLayout::LineTarget:
        return TwoDigitText(line[1]);
    case OperandLayout::LineIfInput:
        return TwoDigitText(line[1]) + "  " + ByteText(line[2]) + "  " + StateText(line[3]);
    case OperandLayout::ProgramTarget:
        return ByteText(line[1]);
    }
    return {};
}

// Writes the n digits of |value| into bytes first .. first + n - 1, most
// significant first.
void StoreDigits(ProgramLine& line, int first, int n, std::int32_t value) {
    std::int64_t magnitude = std::llabs(static_cast<long long>(value));
    for (int k = n - 1; k >= 0; --k) {
        line[static_cast<std::size_t>(first + k)] = static_cast<std::uint8_t>(magnitude % 10);
        magnitude /= 10;
    }
}

} // namespace

int CommandOf(const ProgramLine& line) {
    const int byte = line[0];
    if (byte >= 0 && byte < CommandCount) {
        return byte;
    }
    if (byte > PositiveTargetOffset && byte < PositiveTargetOffset + CommandCount) {
        return byte - PositiveTargetOffset;
    }
    return -1;
}

// A line whose command byte is not a known command (26..100, 126..255) has no
// mnemonic and no operand layout. It is shown as "?" followed by the command
// byte as three unsigned decimal digits in the place of the mnemonic, with no
// operand text: line 7 holding byte 42 reads "[07]  ?042". The operator sees
// at once that the line is not a command the editor knows, and no table is
// read outside its 26 entries. The bytes themselves are kept unchanged.
std::string RenderLine(int lineNumber, const ProgramLine& line) {
    std::string text = "[";
    if (lineNumber >= 0 && lineNumber < 10) {
        text += "0";
    }
    text += std::to_string(lineNumber) + "]  ";

    const int code = CommandOf(line);
    if (code < 0) {
        const int byte = line[0];
        text += "?";
        text += static_cast<char>('0' + byte / 100);
        text += static_cast<char>('0' + byte / 10 % 10);
        text += static_cast<char>('0' + byte % 10);
        return text;
    }
    text += MnemonicTable::Mnemonic(code);
    text += "  ";
    text += OperandText(line, OperandLayoutOf(code));
    return text;
}

std::string NumberText(const ProgramLine& line, OperandLayout layout) {
    switch (layout) {
    case OperandLayout::Digits5:
    case OperandLayout::SignedDigits5:
    case OperandLayout::SignedDigits7:
        return OperandText(line, layout);
    case OperandLayout::Homing:
        // The contact type is edited in its own field.
        return SignText(line[1] != 0) + BytesText(line, 2, 6);
    default:
        return {};
    }
}

void StoreNumber(ProgramLine& line, OperandLayout layout, std::int32_t value) {
    switch (layout) {
    case OperandLayout::Digits5:
        StoreDigits(line, 1, 5, value);
        break;
    case OperandLayout::SignedDigits5:
    case OperandLayout::Homing:
        line[1] = value > 0 ? 1 : 0;
        StoreDigits(line, 2, 5, value);
        break;
    case OperandLayout::SignedDigits7:
        StoreDigits(line, 1, 7, value);
        if (value > 0) {
            line[0] = static_cast<std::uint8_t>(line[0] + PositiveTargetOffset);
        }
        break;
    default:
        break;
    }
}
