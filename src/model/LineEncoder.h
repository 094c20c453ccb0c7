#pragma once
// How the line edit dialog turns its fields into a program line: the command
// byte, the number parsed and clamped to the command's range and stored in its
// layout, and the item indices of the drop-down lists. Bytes the command does
// not use keep what they held. Shared by the dialog and the command-line
// companion's listing builder.

#include <cstdint>
#include <optional>
#include <string_view>

#include "ProgramLine.h"

class LineEncoder {
public:
    // The number of a numeric command: where it is stored and the range it is
    // clamped to.
    struct NumberRule {
        OperandLayout layout;
        std::int32_t min;
        std::int32_t max;
    };

    // The dialog's fields. A list without a selection (nullopt) keeps its byte.
    struct Fields {
        int command = 0;         // item index of Function, 0..25
        std::int64_t number = 0; // the parsed Number, not yet clamped
        std::optional<std::uint8_t> noNc;
        std::optional<std::uint8_t> inOut;
        std::optional<std::uint8_t> onOff;
        std::optional<std::uint8_t> line;
        std::optional<std::uint8_t> program;
    };

    // The rule of commands 1, 2, 3, 6, 7, 8, 12 and 18; nullopt for the others.
    static std::optional<NumberRule> NumberRuleOf(int command);

    // The Number field's syntax: optional surrounding white space, an optional
    // sign, then decimal digits only. False for anything else (an empty text, a
    // lone sign, letters). Magnitudes beyond 999999999999 give that value.
    static bool ParseWholeNumber(std::string_view text, std::int64_t& value);

    // Writes the fields into line as OK does: byte 0 = the command, then the
    // clamped number or the list bytes of its layout. A command outside 0..25
    // leaves the line untouched and returns false.
    static bool Encode(ProgramLine& line, const Fields& fields);
};
