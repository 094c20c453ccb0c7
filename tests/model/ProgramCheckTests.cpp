#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramCheck.h"
#include "ProgramListing.h"

namespace {

using Kind = ProgramCheck::Kind;

// A listing line holding exactly these bytes (for bytes the dialog never writes).
std::string RawLine(int line, ProgramLine bytes) {
    return RenderLine(line, bytes) + std::string(ProgramListing::RawSeparator) +
           ProgramListing::RawText(bytes) + "\n";
}

struct Row {
    const char* name;
    std::string listing;
    int program; // -1: all programs
    Kind kind;
    int findingProgram;
    int findingLine;
    bool expected;
    bool input0Changes = false;
};

TEST(ProgramCheckTest, EachRuleFindsItsFaultAndOnlyThere) {
    const std::vector<Row> rows = {
        {"jump into an empty line", "P0\n[00]  M_EN\n[01]  J_LIN  22\n", 0, Kind::JumpToEmptyLine,
         0, 1, true},
        {"jump to a filled line", "P0\n[00]  W_TIM  00100\n[01]  J_LIN  00\n", 0,
         Kind::JumpToEmptyLine, 0, 1, false},
        {"jump outside the program", "P0\n" + RawLine(0, {14, 30}), 0, Kind::JumpOutOfRange, 0, 0,
         true},
        {"PROG to an empty program", "P0\n[00]  PROG   3\n", 0, Kind::ProgToEmptyProgram, 0, 0,
         true},
        {"PROG outside 0..9", "P0\n" + RawLine(0, {17, 12}), 0, Kind::ProgramOutOfRange, 0, 0,
         true},
        {"no END runs off line 24", "P0\n[00]  M_EN\n", 0, Kind::RunsPastLastLine, 0, 24, true},
        {"END stops before line 24", "P0\n[00]  M_EN\n[01]  END\n", 0, Kind::RunsPastLastLine, 0,
         24, false},
        {"PROG leads into a program without END", "P0\n[00]  PROG   1\nP1\n[00]  M_EN\n", 0,
         Kind::RunsPastLastLine, 1, 24, true},
        {"loop with no waiting line",
         "P0\n[00]  S_OUT  0  on\n[01]  S_OUT  0  off\n[02]  J_LIN  00\n", 0, Kind::LoopWithoutWait,
         0, 1, true},
        {"loop with W_TIM", "P0\n[00]  S_OUT  0  on\n[01]  W_TIM  00010\n[02]  J_LIN  00\n", 0,
         Kind::LoopWithoutWait, 0, 0, false},
        {"loop with W_TIM 0", "P0\n[00]  S_OUT  0  on\n[01]  W_TIM  00000\n[02]  J_LIN  00\n", 0,
         Kind::LoopWithoutWait, 0, 0, true},
        {"loop waiting for on and for off",
         "P0\n[00]  W_INP  0  on\n[01]  W_INP  0  off\n[02]  J_LIN  00\n", 0, Kind::LoopWithoutWait,
         0, 0, false},
        {"loop whose W_INP passes at once",
         "P0\n[00]  W_INP  0  on\n[01]  S_OUT  1  on\n[02]  J_LIN  00\n", 0, Kind::LoopWithoutWait,
         0, 2, true},
        {"loop whose STOP passes at rest", "P0\n[00]  STOP\n[01]  J_LIN  00\n", 0,
         Kind::LoopWithoutWait, 0, 0, true},
        {"J_CNT loop of a few passes",
         "P0\n[00]  S_CNT  00003\n[01]  S_OUT  0  on\n[02]  J_CNT  01\n[03]  END\n", 0,
         Kind::LoopWithoutWait, 0, 2, false},
        {"J_CNT loop of 5000 passes",
         "P0\n[00]  S_CNT  05000\n[01]  S_OUT  0  on\n[02]  J_CNT  01\n[03]  END\n", 0,
         Kind::LoopWithoutWait, 0, 2, true},
        {"J_CNT loop re-armed by its S_CNT", "P0\n[00]  S_CNT  00003\n[01]  J_CNT  00\n[02]  END\n",
         0, Kind::LoopWithoutWait, 0, 0, true},
        {"X_DST before M_EN", "P0\n[00]  X_DST  +0000100\n[01]  END\n", 0, Kind::MoveWhileDisabled,
         0, 0, true},
        {"X_DST after M_EN", "P0\n[00]  M_EN\n[01]  X_DST  +0000100\n[02]  END\n", 0,
         Kind::MoveWhileDisabled, 0, 1, false},
        {"move again after M_DIS",
         "P0\n[00]  M_EN\n[01]  X_DST  +0000100\n[02]  M_DIS\n[03]  J_LIN  01\n", 0,
         Kind::MoveWhileDisabled, 0, 1, true},
        {"move after V_MAX 0", "P0\n[00]  M_EN\n[01]  V_MAX  00000\n[02]  V_DF+\n[03]  END\n", 0,
         Kind::MoveWithZeroLimit, 0, 2, true},
        {"HOME with velocity 0", "P0\n[00]  M_EN\n[01]  HOME   0  NO\n[02]  END\n", 0,
         Kind::HomeVelocityZero, 0, 1, true},
        {"digit byte 12", "P0\n" + RawLine(0, {1, 0, 12, 0, 0, 0}) + "[01]  END\n", 0,
         Kind::DigitOutOfRange, 0, 0, true},
        {"unknown command byte", "P0\n" + RawLine(0, {42}) + "[01]  END\n", 0, Kind::UnknownCommand,
         0, 0, true},
        {"output 2", "P0\n" + RawLine(0, {13, 2, 1}) + "[01]  END\n", 0, Kind::IoOutOfRange, 0, 0,
         true},
        {"line after END", "P0\n[00]  END\n[01]  M_EN\n", 0, Kind::Unreachable, 0, 1, true},
        {"line reached by J_INP", "P0\n[00]  J_INP  02  1  on\n[01]  END\n[02]  END\n", 0,
         Kind::Unreachable, 0, 2, false},
        {"unreachable lines of all programs", "P0\n[00]  END\nP4\n[00]  END\n[03]  M_EN\n", -1,
         Kind::Unreachable, 4, 3, true},
        {"J_CNT without S_CNT", "P0\n[00]  W_TIM  00010\n[01]  J_CNT  00\n[02]  END\n", 0,
         Kind::CounterNotSet, 0, 1, true},
        {"J_CNT after S_CNT",
         "P0\n[00]  S_CNT  00002\n[01]  W_TIM  00010\n[02]  J_CNT  01\n[03]  END\n", 0,
         Kind::CounterNotSet, 0, 2, false},
        {"W_INP on an input nothing changes", "P0\n[00]  W_INP  0  on\n[01]  END\n", 0,
         Kind::FixedInput, 0, 0, true},
        {"W_INP on a toggled input", "P0\n[00]  W_INP  0  on\n[01]  END\n", 0, Kind::FixedInput, 0,
         0, false, true},
        {"V_DST above V max", "P0\n[00]  M_EN\n[01]  V_DST  +05000\n[02]  END\n", 0,
         Kind::ClampedValue, 0, 1, true},
        {"V_DST within a raised V max",
         "P0\n[00]  V_MAX  20000\n[01]  M_EN\n[02]  V_DST  +05000\n[03]  END\n", 0,
         Kind::ClampedValue, 0, 2, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProgramSet set;
        ProgramListing::Error error;
        ASSERT_TRUE(ProgramListing::Parse(row.listing, false, set, error)) << error.message;
        ProgramCheck::Options options;
        options.changingInputs[0] = row.input0Changes;
        const auto findings = row.program < 0
                                  ? ProgramCheck::CheckAll(set, options)
                                  : ProgramCheck::CheckProgram(set, row.program, options);
        const auto found = std::find_if(findings.begin(), findings.end(), [&](const auto& f) {
            return f.kind == row.kind && f.program == row.findingProgram &&
                   f.line == row.findingLine;
        });
        EXPECT_EQ(found != findings.end(), row.expected);
        if (found != findings.end()) {
            EXPECT_EQ(found->grade == ProgramCheck::Grade::Error, row.kind < Kind::Unreachable);
            EXPECT_FALSE(found->polish.empty());
            EXPECT_FALSE(found->english.empty());
        }
    }
}

TEST(ProgramCheckTest, CleanProgramHasNoFindingsAndFindingsAreSorted) {
    ProgramSet set;
    ProgramListing::Error error;
    ASSERT_TRUE(ProgramListing::Parse("P2\n[00]  M_EN\n[01]  S_CNT  00003\n[02]  X_DST  +0001000\n"
                                      "[03]  X_DST  0\n[04]  J_CNT  02\n[05]  M_DIS\n[06]  END\n",
                                      false, set, error));
    EXPECT_TRUE(ProgramCheck::CheckProgram(set, 2).empty());
    EXPECT_TRUE(ProgramCheck::CheckAll(set).empty());
    EXPECT_TRUE(ProgramCheck::CheckProgram(set, 10).empty());

    ASSERT_TRUE(ProgramListing::Parse("P0\n[00]  X_DST  +0000100\n[01]  END\n[02]  M_EN\n", false,
                                      set, error));
    const auto findings = ProgramCheck::CheckAll(set);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].line, 0);
    EXPECT_STREQ(ProgramCheck::Code(findings[0].kind), "move-while-disabled");
    EXPECT_EQ(findings[1].line, 2);
    EXPECT_TRUE(ProgramCheck::HasErrors(findings));
    EXPECT_TRUE(ProgramCheck::HasWarnings(findings));
}

} // namespace
