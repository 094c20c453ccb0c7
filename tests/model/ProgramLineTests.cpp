#include <gtest/gtest.h>

#include <string>

#include "MnemonicTable.h"
#include "ProgramLine.h"

namespace {

struct RenderCase {
    int lineNumber;
    ProgramLine bytes;
    std::string text;
};

class RenderLineTest : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RenderLineTest, RendersExactText) {
    const RenderCase& c = GetParam();
    EXPECT_EQ(RenderLine(c.lineNumber, c.bytes), c.text);
}

// The examples of the editor's line texts.
INSTANTIATE_TEST_SUITE_P(
    Examples, RenderLineTest,
    ::testing::Values(RenderCase{0, {1, 0, 0, 5, 0, 0, 0, 0}, "[00]  V_MAX  00500"},
                      RenderCase{1, {6, 1, 0, 1, 2, 0, 0, 0}, "[01]  V_DST  +01200"},
                      RenderCase{2, {7, 0, 0, 0, 0, 2, 5, 0}, "[02]  X_DST  -0000250"},
                      RenderCase{3, {107, 0, 0, 0, 0, 2, 5, 0}, "[03]  X_DST  +0000250"},
                      RenderCase{4, {8, 1, 0, 0, 3, 0, 0, 1}, "[04]  HOME   +00300  NC"},
                      RenderCase{5, {13, 1, 1, 0, 0, 0, 0, 0}, "[05]  S_OUT      1  on"},
                      RenderCase{6, {16, 3, 0, 0, 0, 0, 0, 0}, "[06]  J_INP  03  0  off"},
                      RenderCase{12, {14, 12, 0, 0, 0, 0, 0, 0}, "[12]  J_LIN  12"},
                      RenderCase{13, {17, 2, 0, 0, 0, 0, 0, 0}, "[13]  PROG   2"},
                      RenderCase{20, {0, 0, 0, 0, 0, 0, 0, 0}, "[20]  *****  "},
                      RenderCase{24, {20, 0, 0, 0, 0, 0, 0, 0}, "[24]  END    "}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, RenderLineTest,
    ::testing::Values(RenderCase{7, {0, 0, 0, 0, 0, 0, 0, 0}, "[07]  *****  "},
                      // Zero is stored like a negative value in every signed layout.
                      RenderCase{0, {7, 0, 0, 0, 0, 0, 0, 0}, "[00]  X_DST  -0000000"},
                      RenderCase{0, {6, 0, 0, 0, 0, 0, 0, 0}, "[00]  V_DST  -00000"},
                      RenderCase{0, {8, 0, 0, 0, 0, 0, 0, 0}, "[00]  HOME   -00000  NO"},
                      // Unused operand bytes do not show.
                      RenderCase{9, {4, 9, 9, 9, 9, 9, 9, 9}, "[09]  M_EN   "},
                      RenderCase{10, {14, 3, 9, 9, 9, 9, 9, 9}, "[10]  J_LIN  03"},
                      RenderCase{11, {1, 0, 0, 5, 0, 0, 7, 7}, "[11]  V_MAX  00500"},
                      RenderCase{14, {19, 0, 0, 0, 0, 0, 0, 0}, "[14]  W_INP      0  off"},
                      RenderCase{15, {15, 24, 0, 0, 0, 0, 0, 0}, "[15]  J_CNT  24"},
                      RenderCase{16, {16, 24, 1, 5, 0, 0, 0, 0}, "[16]  J_INP  24  1  on"},
                      RenderCase{17, {25, 0, 0, 0, 0, 0, 0, 0}, "[17]  W_DEF  "},
                      RenderCase{18, {125, 0, 0, 0, 0, 0, 0, 0}, "[18]  W_DEF  "},
                      RenderCase{19, {101, 0, 2, 9, 9, 9, 0, 0}, "[19]  V_MAX  02999"},
                      // Digit bytes outside 0..9 show as signed decimal values.
                      RenderCase{21, {1, 12, 0, 0, 0, 255, 0, 0}, "[21]  V_MAX  12000-1"},
                      RenderCase{22, {6, 7, 10, 0, 0, 0, 128, 0}, "[22]  V_DST  +10000-128"},
                      RenderCase{23, {14, 200, 0, 0, 0, 0, 0, 0}, "[23]  J_LIN  0-56"},
                      RenderCase{2, {17, 127, 0, 0, 0, 0, 0, 0}, "[02]  PROG   127"}));

// Command bytes without a mnemonic: "?" and the byte in three digits, no operands.
INSTANTIATE_TEST_SUITE_P(
    UnknownCommands, RenderLineTest,
    ::testing::Values(RenderCase{7, {26, 1, 2, 3, 4, 5, 6, 7}, "[07]  ?026"},
                      RenderCase{8, {42, 0, 0, 0, 0, 0, 0, 0}, "[08]  ?042"},
                      RenderCase{9, {100, 0, 0, 0, 0, 0, 0, 0}, "[09]  ?100"},
                      RenderCase{10, {126, 0, 0, 0, 0, 0, 0, 0}, "[10]  ?126"},
                      RenderCase{11, {127, 0, 0, 0, 0, 0, 0, 0}, "[11]  ?127"},
                      RenderCase{12, {128, 0, 0, 0, 0, 0, 0, 0}, "[12]  ?128"},
                      RenderCase{24, {255, 255, 255, 255, 255, 255, 255, 255}, "[24]  ?255"}));

TEST(CommandOfTest, MapsEveryByte) {
    for (int byte = 0; byte < 256; ++byte) {
        ProgramLine line{};
        line[0] = static_cast<std::uint8_t>(byte);
        int expected = -1;
        if (byte <= 25) {
            expected = byte;
        } else if (byte >= 101 && byte <= 125) {
            expected = byte - 100;
        }
        EXPECT_EQ(CommandOf(line), expected) << "byte " << byte;
    }
}

TEST(RenderLineTest, AnyBytesRenderDeterministically) {
    // Every command byte with operand bytes of extreme values: known commands
    // show their mnemonic, the others the marked raw value.
    for (int byte = 0; byte < 256; ++byte) {
        for (std::uint8_t fill : {std::uint8_t{0}, std::uint8_t{9}, std::uint8_t{255}}) {
            ProgramLine line;
            line.fill(fill);
            line[0] = static_cast<std::uint8_t>(byte);
            const std::string text = RenderLine(5, line);
            EXPECT_EQ(text, RenderLine(5, line));
            ASSERT_EQ(text.substr(0, 6), "[05]  ");
            const int code = CommandOf(line);
            if (code >= 0) {
                EXPECT_EQ(text.substr(6, 7), std::string(MnemonicTable::Mnemonic(code)) + "  ");
            } else {
                EXPECT_EQ(text.size(), 10u) << text;
                EXPECT_EQ(text[6], '?');
            }
        }
    }
}

TEST(MnemonicTableTest, FiveCharactersEachAndSafeOutsideTable) {
    for (int code = 0; code < CommandCount; ++code) {
        EXPECT_EQ(std::string(MnemonicTable::Mnemonic(code)).size(), 5u) << code;
    }
    EXPECT_STREQ(MnemonicTable::Mnemonic(0), "*****");
    EXPECT_STREQ(MnemonicTable::Mnemonic(4), "M_EN ");
    EXPECT_STREQ(MnemonicTable::Mnemonic(20), "END  ");
    EXPECT_STREQ(MnemonicTable::Mnemonic(21), "X_DF+");
    EXPECT_STREQ(MnemonicTable::Mnemonic(-1), "?????");
    EXPECT_STREQ(MnemonicTable::Mnemonic(26), "?????");
    EXPECT_EQ(OperandLayoutOf(26), OperandLayout::NoOperand);
    EXPECT_EQ(OperandLayoutOf(-100), OperandLayout::NoOperand);
}

struct NumberCase {
    ProgramLine bytes;
    OperandLayout layout;
    std::string text;
};

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, ReadsLayout) {
    EXPECT_EQ(NumberText(GetParam().bytes, GetParam().layout), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, NumberTextTest,
    ::testing::Values(
        NumberCase{{1, 0, 0, 5, 0, 0, 0, 0}, OperandLayout::Digits5, "00500"},
        NumberCase{{6, 1, 0, 1, 2, 0, 0, 0}, OperandLayout::SignedDigits5, "+01200"},
        NumberCase{{8, 0, 0, 0, 3, 0, 0, 1}, OperandLayout::Homing, "-00300"},
        NumberCase{{107, 0, 0, 0, 0, 2, 5, 0}, OperandLayout::SignedDigits7, "+0000250"},
        NumberCase{{7, 0, 0, 0, 0, 2, 5, 0}, OperandLayout::SignedDigits7, "-0000250"},
        // Read in a layout other than the line's own command.
        NumberCase{{1, 0, 0, 5, 0, 0, 0, 0}, OperandLayout::SignedDigits7, "-0050000"},
        NumberCase{{200, 0, 0, 0, 0, 0, 0, 0}, OperandLayout::SignedDigits7, "-0000000"},
        NumberCase{{1, 255, 0, 0, 0, 0, 0, 0}, OperandLayout::Digits5, "-10000"},
        NumberCase{{13, 1, 1, 0, 0, 0, 0, 0}, OperandLayout::IoState, ""},
        NumberCase{{0, 0, 0, 0, 0, 0, 0, 0}, OperandLayout::NoOperand, ""},
        NumberCase{{14, 5, 0, 0, 0, 0, 0, 0}, OperandLayout::LineTarget, ""}));

struct StoreCase {
    ProgramLine before;
    OperandLayout layout;
    std::int32_t value;
    ProgramLine after;
};

class StoreNumberTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreNumberTest, WritesDigitsAndSign) {
    ProgramLine line = GetParam().before;
    StoreNumber(line, GetParam().layout, GetParam().value);
    EXPECT_EQ(line, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, StoreNumberTest,
    ::testing::Values(
        StoreCase{{1, 9, 9, 9, 9, 9, 8, 8}, OperandLayout::Digits5, 500, {1, 0, 0, 5, 0, 0, 8, 8}},
        StoreCase{
            {18, 0, 0, 0, 0, 0, 0, 0}, OperandLayout::Digits5, 99999, {18, 9, 9, 9, 9, 9, 0, 0}},
        StoreCase{
            {6, 0, 0, 0, 0, 0, 0, 3}, OperandLayout::SignedDigits5, 1200, {6, 1, 0, 1, 2, 0, 0, 3}},
        StoreCase{{6, 1, 0, 0, 0, 0, 0, 3},
                  OperandLayout::SignedDigits5,
                  -29999,
                  {6, 0, 2, 9, 9, 9, 9, 3}},
        StoreCase{
            {6, 1, 5, 5, 5, 5, 5, 0}, OperandLayout::SignedDigits5, 0, {6, 0, 0, 0, 0, 0, 0, 0}},
        StoreCase{{8, 0, 0, 0, 0, 0, 0, 1}, OperandLayout::Homing, 300, {8, 1, 0, 0, 3, 0, 0, 1}},
        StoreCase{{7, 0, 0, 0, 0, 0, 0, 0},
                  OperandLayout::SignedDigits7,
                  250,
                  {107, 0, 0, 0, 0, 2, 5, 0}},
        StoreCase{{7, 1, 1, 1, 1, 1, 1, 1},
                  OperandLayout::SignedDigits7,
                  -9999999,
                  {7, 9, 9, 9, 9, 9, 9, 9}},
        StoreCase{
            {7, 1, 1, 1, 1, 1, 1, 1}, OperandLayout::SignedDigits7, 0, {7, 0, 0, 0, 0, 0, 0, 0}},
        StoreCase{
            {13, 4, 4, 4, 4, 4, 4, 4}, OperandLayout::IoState, 1, {13, 4, 4, 4, 4, 4, 4, 4}}));

TEST(StoreNumberTest, RoundTripsThroughNumberText) {
    ProgramLine line{7, 0, 0, 0, 0, 0, 0, 0};
    StoreNumber(line, OperandLayout::SignedDigits7, 1234567);
    EXPECT_EQ(NumberText(line, OperandLayout::SignedDigits7), "+1234567");
    EXPECT_EQ(RenderLine(3, line), "[03]  X_DST  +1234567");
}

} // namespace
