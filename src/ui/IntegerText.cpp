#include "IntegerText.h"

namespace {

// Digit value of c in the given base, or -1. Only ASCII digits and letters
// count: other scripts' digits are not numbers here.
int DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9') {
        value = u - u'0';
    } else if (u >= u'a' && u <= u'f') {
        value = 10 + (u - u'a');
    } else if (u >= u'A' && u <= u'F') {
        value = 10 + (u - u'A');
    }
    return value < base ? value : -1;
}

} // namespace

std::optional<std::int32_t> IntegerText::Parse(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
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

QString IntegerText::Format(std::int32_t value) {
    return QString::number(value);
}
