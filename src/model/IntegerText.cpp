#include "IntegerText.h"

namespace {

// Digit value of c in the given base, or -1. Only ASCII digits and letters
// count; the bytes of other characters are never digits.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = 10 + (c - 'a');
    } else if (c >= 'A' && c <= 'F') {
        value = 10 + (c - 'A');
    }
    return value < base ? value : -1;
}

} // namespace

std::optional<std::int32_t> IntegerText::Parse(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) {
        return std::nullopt; // no digit at all
    }
    // The magnitude may reach 2^31 for a negative number.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t IntegerText::Clamp(std::int32_t value, std::int32_t lower, std::int32_t upper) {
    if (value > upper) {
        value = upper;
    }
    if (value < lower) {
        value = lower;
    }
    return value;
}

std::string IntegerText::Format(std::int32_t value) {
    return std::to_string(value);
}
