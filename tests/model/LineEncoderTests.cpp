#include <gtest/gtest.h>

#include "LineEncoder.h"

namespace {

TEST(LineEncoderParse, NumberFieldTakesDecimalWholeNumbersOnly) {
    struct Case {
        const char* text;
        bool ok;
        std::int64_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"-0", true, 0},
        {"+7", true, 7},
        {"  -12  ", true, -12},
        {"00500", true, 500},
        {"99999999", true, 99999999},
        {"-9999999", true, -9999999},
        {"+127127127127127127127", true, 999999999999}, // saturates
        {"", false, 0},
        {"-", false, 0},
        {" + ", false, 0},
        {"- 5", false, 0},
        {"5-", false, 0},
        {"1e3", false, 0},
        {"٣", false, 0}, // a digit of another script
    };
    for (const auto& c : cases) {
        std::int64_t v = -1;
        EXPECT_EQ(LineEncoder::ParseWholeNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(LineEncoderEncode, ClampsTheNumberAndKeepsUnusedBytes) {
    using Item = std::optional<std::uint8_t>;
    const auto F = [](int command, std::int64_t number = 0, Item noNc = {}, Item inOut = {},
                      Item onOff = {}, Item line = {}, Item program = {}) {
        LineEncoder::Fields f;
        f.command = command;
        f.number = number;
        f.noNc = noNc;
        f.inOut = inOut;
        f.onOff = onOff;
        f.line = line;
        f.program = program;
        return f;
    };
    struct Case {
        ProgramLine before;
        LineEncoder::Fields fields;
        ProgramLine after;
    } cases[] = {
        // V_MAX 40000 is clamped to 29999; W_TIM keeps 40000; A_MAX -5 gives 0.
        {{}, F(1, 40000), {1, 2, 9, 9, 9, 9, 0, 0}},
        {{}, F(18, 40000), {18, 4, 0, 0, 0, 0, 0, 0}},
        {{}, F(3, -5), {3, 0, 0, 0, 0, 0, 0, 0}},
        // X_DST: positive targets add 100 to the command byte, zero does not.
        {{}, F(7, 99999999), {107, 9, 9, 9, 9, 9, 9, 9}},
        {{}, F(7, 0), {7, 0, 0, 0, 0, 0, 0, 0}},
        // HOME with NC; a list without a selection keeps its byte.
        {{}, F(8, 300, 1), {8, 1, 0, 0, 3, 0, 0, 1}},
        {{8, 1, 0, 0, 3, 0, 0, 1}, F(8, -300, std::nullopt), {8, 0, 0, 0, 3, 0, 0, 1}},
        // A command without operands writes byte 0 only.
        {{1, 0, 0, 5, 0, 0, 9, 9}, F(4), {4, 0, 0, 5, 0, 0, 9, 9}},
        {{}, F(16, 0, {}, 1, 1, 12), {16, 12, 1, 1, 0, 0, 0, 0}},
        {{}, F(17, 0, {}, {}, {}, {}, 9), {17, 9, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ProgramLine line = c.before;
        ASSERT_TRUE(LineEncoder::Encode(line, c.fields));
        EXPECT_EQ(line, c.after) << "command " << c.fields.command << " number " << c.fields.number;
    }
    ProgramLine line{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(LineEncoder::Encode(line, F(26)));
    EXPECT_EQ(line, (ProgramLine{1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
