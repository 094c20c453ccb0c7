#include <gtest/gtest.h>

#include <limits>
#include <ostream>

#include "IntegerText.h"

namespace {

struct ParseCase {
    const char* text; // UTF-8
    bool ok;
    std::int32_t value;
};

// Shown in the test names, which must read the same in every run: the text,
// control characters escaped, and the expected result.
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "text \"";
    for (const char* p = c.text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x20) {
            *os << "\\x" << std::hex << static_cast<int>(byte) << std::dec;
        } else {
            *os << *p;
        }
    }
    *os << "\" ";
    if (c.ok) {
        *os << "is " << c.value;
    } else {
        *os << "fails";
    }
}

class IntegerTextParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IntegerTextParse, AcceptsOnlyWholeNumbers) {
    const ParseCase& c = GetParam();
    const auto parsed = IntegerText::Parse(c.text);
    ASSERT_EQ(parsed.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerTextParse,
    ::testing::Values(
        // decimal, signs, leading blanks and zeros
        ParseCase{"0", true, 0}, ParseCase{"007", true, 7}, ParseCase{"300", true, 300},
        ParseCase{"+12", true, 12}, ParseCase{"-1", true, -1}, ParseCase{"-0", true, 0},
        ParseCase{"  42", true, 42}, ParseCase{" -9999999", true, -9999999},
        // hexadecimal after $, x, X, 0x, 0X, with a sign in front
        ParseCase{"$10", true, 16}, ParseCase{"x1f", true, 31}, ParseCase{"X1F", true, 31},
        ParseCase{"0x10", true, 16}, ParseCase{"0XfF", true, 255}, ParseCase{"-$10", true, -16},
        ParseCase{"+0x7FFFFFFF", true, 2147483647}, ParseCase{"-0x80000000", true, INT32_MIN},
        // the 32-bit limits
        ParseCase{"2147483647", true, 2147483647}, ParseCase{"-2147483648", true, INT32_MIN},
        ParseCase{"2147483648", false, 0}, ParseCase{"-2147483649", false, 0},
        ParseCase{"99999999999999999999", false, 0}, ParseCase{"$80000000", false, 0},
        ParseCase{"0x100000000", false, 0},
        // failures: nothing, signs or prefixes alone, other characters
        ParseCase{"", false, 0}, ParseCase{" ", false, 0}, ParseCase{"+", false, 0},
        ParseCase{"-", false, 0}, ParseCase{"$", false, 0}, ParseCase{"0x", false, 0},
        ParseCase{"x", false, 0}, ParseCase{"abc", false, 0}, ParseCase{"12x", false, 0},
        ParseCase{"12 ", false, 0}, ParseCase{"1 2", false, 0}, ParseCase{"- 1", false, 0},
        ParseCase{"+-1", false, 0}, ParseCase{"--1", false, 0}, ParseCase{"1.5", false, 0},
        ParseCase{"1e3", false, 0}, ParseCase{"$1g", false, 0}, ParseCase{"00x10", false, 0},
        ParseCase{"0x-1", false, 0}, ParseCase{"\t1", false, 0}, ParseCase{"ąę", false, 0},
        ParseCase{"12ł", false, 0}, ParseCase{"١٢", false, 0}, ParseCase{"１２", false, 0}));

TEST(IntegerTextClamp, UpperBoundFirstThenLower) {
    struct Case {
        std::int32_t value, lower, upper, expected;
    } cases[] = {
        {40000, 0, 29999, 29999},
        {-1, 0, 29999, 0},
        {-30000, -29999, 29999, -29999},
        {-9999999, -9999999, 9999999, -9999999},
        {123456, 0, 99999, 99999},
        {INT32_MIN, -29999, 29999, -29999},
        {INT32_MAX, -9999999, 9999999, 9999999},
        {7, 0, 29999, 7},
        // a range whose bounds cross: the lower bound wins, as it is applied last
        {5, 10, 0, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntegerText::Clamp(c.value, c.lower, c.upper), c.expected) << c.value;
    }
}

TEST(IntegerTextFormat, SignedDecimalWithoutPlusOrZeros) {
    EXPECT_EQ(IntegerText::Format(0), std::string("0"));
    EXPECT_EQ(IntegerText::Format(29999), std::string("29999"));
    EXPECT_EQ(IntegerText::Format(-5), std::string("-5"));
    EXPECT_EQ(IntegerText::Format(INT32_MIN), std::string("-2147483648"));
}

} // namespace
