#include "LineEncoder.h"

#include <algorithm>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void Store(const std::optional<std::uint8_t>& item, std::uint8_t& byte) {
    if (item) {
        byte = *item;
    }
}

} // namespace

std::optional<LineEncoder::NumberRule> LineEncoder::NumberRuleOf(int command) {
    switch (command) {
    case 1:
    case 2:
    case 3:
        return NumberRule{OperandLayout::Digits5, 0, 29999};
    case 12:
    case 18:
        return NumberRule{OperandLayout::Digits5, 0, 99999};
    case 6:
        return NumberRule{OperandLayout::SignedDigits5, -29999, 29999};
    case 7:
        return NumberRule{OperandLayout::SignedDigits7, -9999999, 9999999};
    case 8:
        return NumberRule{OperandLayout::Homing, -29999, 29999};
    default:
        return std::nullopt;
    }
}

bool LineEncoder::ParseWholeNumber(std::string_view text, std::int64_t& value) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9') {
            return false;
        }
        // Longer numbers are far beyond every clamping range: they saturate,
        // so a text the dialog shows for odd digit bytes still clamps on OK.
        v = std::min<std::int64_t>(v * 10 + (ch - '0'), 999999999999LL);
    }
    value = negative ? -v : v;
    return true;
}

bool LineEncoder::Encode(ProgramLine& line, const Fields& fields) {
    const int c = fields.command;
    if (c < 0 || c >= CommandCount) {
        return false;
    }
    line[0] = static_cast<std::uint8_t>(c);
    if (const std::optional<NumberRule> rule = NumberRuleOf(c)) {
        StoreNumber(line, rule->layout,
                    static_cast<std::int32_t>(
                        std::clamp<std::int64_t>(fields.number, rule->min, rule->max)));
        if (rule->layout == OperandLayout::Homing) {
            Store(fields.noNc, line[7]);
        }
        return true;
    }
    switch (OperandLayoutOf(c)) {
    case OperandLayout::IoState:
        Store(fields.inOut, line[1]);
        Store(fields.onOff, line[2]);
        break;
    case OperandLayout::LineTarget:
        Store(fields.line, line[1]);
        break;
    case OperandLayout::LineIfInput:
        Store(fields.line, line[1]);
        Store(fields.inOut, line[2]);
        Store(fields.onOff, line[3]);
        break;
    case OperandLayout::ProgramTarget:
        Store(fields.program, line[1]);
        break;
    default:
        break;
    }
    return true;
}
