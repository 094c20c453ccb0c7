// Lines of a program as text for the clipboard and the text view.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "LineBlockText.h"

namespace {

ProgramSet Sample() {
    ProgramSet set;
    set.SetLine(3, 0, ProgramLine{1, 0, 0, 5, 0, 0, 0, 0});     // V_MAX 00500
    set.SetLine(3, 1, ProgramLine{107, 0, 0, 0, 1, 0, 0, 0});   // X_DST +0001000
    set.SetLine(3, 2, ProgramLine{16, 1, 0, 1, 0, 0, 0, 0});    // J_INP 01 0 on
    set.SetLine(3, 3, ProgramLine{20, 7, 7, 7, 7, 7, 7, 7});    // END with stray bytes
    set.SetLine(3, 4, ProgramLine{14, 0, 0, 0, 0, 0, 0, 0xAB}); // J_LIN 00, stray byte
    return set;
}

TEST(LineBlockText, WrittenLinesReadBackByteForByte) {
    const ProgramSet set = Sample();
    const std::string text = LineBlockText::Write(set, 3, 1, 4);
    EXPECT_EQ(text.substr(0, 3), "P3\n");
    EXPECT_NE(text.find("[01]  X_DST  +0001000 | 6B 00 00 00 01 00 00 00\n"), std::string::npos);
    LineBlockText::Block block;
    LineBlockText::Error error;
    ASSERT_TRUE(LineBlockText::Parse(text, block, error)) << error.message;
    EXPECT_EQ(block.first, 1);
    ASSERT_EQ(block.lines.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block.lines[static_cast<std::size_t>(i)], set.Line(3, 1 + i));
}

TEST(LineBlockText, PlainAndTypedLinesRead) {
    struct Row {
        const char* text;
        int first;
        std::vector<ProgramLine> lines;
    };
    const std::vector<Row> rows = {
        {"[07]  X_DST  +0001000", 7, {{107, 0, 0, 0, 1, 0, 0, 0}}},
        {"[05]  V_MAX  00500\r\n\n# note\n[07]  END  \n",
         5,
         {{1, 0, 0, 5, 0, 0, 0, 0}, {}, {20, 0, 0, 0, 0, 0, 0, 0}}},
        {"V_MAX 00500\nPROG 3\nEND",
         0,
         {{1, 0, 0, 5, 0, 0, 0, 0}, {17, 3, 0, 0, 0, 0, 0, 0}, {20, 0, 0, 0, 0, 0, 0, 0}}},
        {"P8\n[10]  M_EN \nW_TIM 01000", 10, {{4, 0, 0, 0, 0, 0, 0, 0}, {18, 0, 1, 0, 0, 0, 0, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        LineBlockText::Block block;
        LineBlockText::Error error;
        ASSERT_TRUE(LineBlockText::Parse(row.text, block, error)) << error.message;
        EXPECT_EQ(block.first, row.first);
        EXPECT_EQ(block.lines, row.lines);
    }
}

TEST(LineBlockText, EveryBadTextNamesItsLine) {
    struct Row {
        const char* text;
        int lineNumber;
        const char* part; // of the message
    };
    const std::vector<Row> rows = {
        {"", 0, "no program lines"},
        {"# only a note\n\n", 0, "no program lines"},
        {"P3\n[5x]  END\n", 2, "\"[5x]\" is no line number: lines are [00] to [24]"},
        {"[00]  V_MAX  00500\n[01]  FOO", 2, "line 01"},
        {"P1\n[00]  V_MAX  99999999", 2, "P1 line 00"},
        {"[03]  END  | 14 00", 1, "raw bytes"},
        {"[03]  END  | 01 00 00 05 00 00 00 00", 1, "disagree"},
        {"P1\n[00]  END\nP2\n[00]  END", 3, "more than one program"},
        {"P12\n[00]  END", 1, "program header"},
        {"[02]  END\n[02]  END", 2, "twice"},
        {"[30]  END", 1, "[24]"},
        {"[24]  END\nEND", 2, "follows line 24"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        LineBlockText::Block block;
        LineBlockText::Error error;
        EXPECT_FALSE(LineBlockText::Parse(row.text, block, error));
        EXPECT_EQ(error.lineNumber, row.lineNumber) << error.message;
        EXPECT_NE(error.message.find(row.part), std::string::npos) << error.message;
    }
}

TEST(LineBlockText, TheTextViewKeepsTheBytesOfLinesItDidNotChange) {
    const ProgramSet set = Sample();
    std::string text = LineBlockText::WritePlain(set, 3);
    EXPECT_EQ(text.substr(0, 19), "[00]  V_MAX  00500\n");
    LineBlockText::ProgramLines lines;
    LineBlockText::Error error;
    ASSERT_TRUE(LineBlockText::ParseProgram(text, set, 3, lines, error)) << error.message;
    for (int l = 0; l < LinesPerProgram; ++l)
        EXPECT_EQ(lines[static_cast<std::size_t>(l)], set.Line(3, l)) << l;
    // One line changed; the stray bytes of the others stay; a line taken out is empty.
    text.replace(text.find("00500"), 5, "00600");
    text.erase(text.find("[01]"), text.find("[02]") - text.find("[01]"));
    ASSERT_TRUE(LineBlockText::ParseProgram(text, set, 3, lines, error)) << error.message;
    EXPECT_EQ(lines[0], (ProgramLine{1, 0, 0, 6, 0, 0, 0, 0}));
    EXPECT_EQ(lines[1], ProgramLine{});
    EXPECT_EQ(lines[3], set.Line(3, 3));
    EXPECT_EQ(lines[4], set.Line(3, 4));
}

// Lines whose text does not encode their bytes again (a digit byte above 9
// shows as two digits, "+00164000") keep them when the view is applied
// unchanged, even with a line edited elsewhere: nothing changes unasked.
TEST(LineBlockText, TheTextViewAppliedUnchangedKeepsLinesItCannotEncodeAgain) {
    ProgramSet set;
    set.SetLine(2, 0, ProgramLine{0x6B, 0, 0, 1, 0x40, 0, 0, 0}); // X_DST, digit byte 64
    set.SetLine(2, 1, ProgramLine{0x12, 0, 0, 0x0A, 5, 0, 0, 0}); // W_TIM, digit byte 10
    std::string text = LineBlockText::WritePlain(set, 2);
    ASSERT_EQ(text.substr(0, 22), "[00]  X_DST  +00164000");
    LineBlockText::ProgramLines lines;
    LineBlockText::Error error;
    ASSERT_TRUE(LineBlockText::ParseProgram(text, set, 2, lines, error)) << error.message;
    for (int l = 0; l < LinesPerProgram; ++l)
        EXPECT_EQ(lines[static_cast<std::size_t>(l)], set.Line(2, l)) << l;
    text.replace(text.find("[05]  *****"), 11, "[05]  END");
    ASSERT_TRUE(LineBlockText::ParseProgram(text, set, 2, lines, error)) << error.message;
    EXPECT_EQ(lines[0], set.Line(2, 0));
    EXPECT_EQ(lines[1], set.Line(2, 1));
    EXPECT_NE(lines[5], set.Line(2, 5));
}

} // namespace
