#pragma once
// The line and program that the line edit dialog writes to, recorded when the
// dialog is opened and kept after it closes.

#include <cstdint>

struct EditTarget {
    std::uint8_t line = 0;
    std::uint8_t program = 0;
};
