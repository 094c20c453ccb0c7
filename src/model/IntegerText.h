#pragma once
// The whole-number text of the numeric edit fields of "Sterowanie" and
// "Opcje" (and of the command-line companion's parameter values): parsing
// what the operator typed, clamping it to a field's range and writing it back
// as decimal text. Texts are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class IntegerText {
public:
    // Converts text to a 32-bit signed integer: optional leading blanks, an
    // optional "+" or "-", then decimal digits, or hexadecimal digits after
    // "$", "x", "X", "0x" or "0X". An empty text, a missing digit, any other
    // character (a trailing blank or any non-ASCII character included) or a
    // value outside the 32-bit range gives nullopt.
    static std::optional<std::int32_t> Parse(std::string_view text);

    // Limits value first to upper, then to lower.
    static std::int32_t Clamp(std::int32_t value, std::int32_t lower, std::int32_t upper);

    // Signed decimal text: a minus sign for negative values, no plus sign, no
    // leading zeros.
    static std::string Format(std::int32_t value);
};
