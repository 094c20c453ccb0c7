// Inserting and deleting lines: the lines move and the jumps of the same
// program follow the lines they pointed at.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "LineShift.h"

namespace {

ProgramLine Jump(int code, int target) {
    return ProgramLine{
        static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(target), 1, 1, 0, 0, 0, 0};
}
ProgramLine Marker(int n) { // an S_CNT line whose number tells the lines apart
    return ProgramLine{12, 0, 0, 0, 0, static_cast<std::uint8_t>(n), 0, 0};
}
constexpr int Lin = 14, Cnt = 15, Inp = 16;

struct Case {
    const char* name;
    std::vector<std::pair<int, ProgramLine>> program; // line, bytes
    bool insert;
    int first, last;
    std::vector<std::pair<int, ProgramLine>> expected; // every other line empty
    std::vector<int> jumpsInto;                        // asked before a delete
};

ProgramSet Build(const std::vector<std::pair<int, ProgramLine>>& lines, int program) {
    ProgramSet set;
    for (const auto& [l, bytes] : lines)
        set.SetLine(program, l, bytes);
    // Another program with the same lines must not change.
    for (const auto& [l, bytes] : lines)
        set.SetLine(9, l, bytes);
    return set;
}

TEST(LineShift, InsertAndDeleteRenumberJumpsInTheSameProgram) {
    const std::vector<Case> cases = {
        {"insert above a jump target",
         {{0, Marker(1)}, {3, Jump(Lin, 0)}, {5, Jump(Cnt, 4)}, {6, Jump(Inp, 6)}},
         true,
         2,
         2,
         {{0, Marker(1)}, {4, Jump(Lin, 0)}, {6, Jump(Cnt, 5)}, {7, Jump(Inp, 7)}},
         {}},
        {"insert at the first line moves every target",
         {{0, Marker(1)}, {1, Jump(Lin, 0)}, {2, Jump(Lin, 23)}},
         true,
         0,
         0,
         {{1, Marker(1)}, {2, Jump(Lin, 1)}, {3, Jump(Lin, 24)}},
         {}},
        {"a jump to the empty last line stays there",
         {{0, Jump(Lin, 24)}},
         true,
         0,
         0,
         {{1, Jump(Lin, 24)}},
         {}},
        {"insert of three lines",
         {{4, Marker(4)}, {10, Jump(Cnt, 4)}},
         true,
         4,
         6,
         {{7, Marker(4)}, {13, Jump(Cnt, 7)}},
         {}},
        {"delete below a target keeps it",
         {{0, Marker(1)}, {3, Jump(Lin, 0)}, {5, Marker(5)}, {8, Jump(Lin, 5)}},
         false,
         4,
         4,
         {{0, Marker(1)}, {3, Jump(Lin, 0)}, {4, Marker(5)}, {7, Jump(Lin, 4)}},
         {}},
        {"a jump into the deleted line goes to the line taking its place",
         {{2, Marker(2)}, {3, Marker(3)}, {9, Jump(Inp, 2)}},
         false,
         2,
         2,
         {{2, Marker(3)}, {8, Jump(Inp, 2)}},
         {9}},
        {"a jump into a deleted range goes to its first line",
         {{2, Marker(2)}, {6, Marker(6)}, {0, Jump(Lin, 4)}, {10, Jump(Cnt, 6)}},
         false,
         3,
         5,
         {{2, Marker(2)}, {3, Marker(6)}, {0, Jump(Lin, 3)}, {7, Jump(Cnt, 3)}},
         {0}},
        {"delete of the first line; a jump to the last line",
         {{0, Marker(9)}, {1, Jump(Lin, 0)}, {24, Jump(Lin, 24)}},
         false,
         0,
         0,
         {{0, Jump(Lin, 0)}, {23, Jump(Lin, 23)}},
         {1}},
        {"delete of the last line",
         {{24, Marker(4)}, {3, Jump(Lin, 24)}},
         false,
         24,
         24,
         {{3, Jump(Lin, 24)}},
         {3}},
        {"targets outside 0..24 and other commands stay",
         {{0, Jump(Lin, 99)}, {1, ProgramLine{17, 3, 0, 0, 0, 0, 0, 0}}, {5, Marker(5)}},
         false,
         0,
         0,
         {{0, ProgramLine{17, 3, 0, 0, 0, 0, 0, 0}}, {4, Marker(5)}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramSet set = Build(c.program, 4);
        if (c.insert) {
            ASSERT_TRUE(LineShift::Insert(set, 4, c.first, c.last - c.first + 1));
        } else {
            EXPECT_EQ(LineShift::JumpsInto(set, 4, c.first, c.last), c.jumpsInto);
            LineShift::Delete(set, 4, c.first, c.last);
        }
        const ProgramSet expected = Build(c.expected, 4);
        for (int l = 0; l < LinesPerProgram; ++l)
            EXPECT_EQ(set.Line(4, l), expected.Line(4, l)) << "line " << l;
        const ProgramSet untouched = Build(c.program, 4);
        for (int l = 0; l < LinesPerProgram; ++l)
            EXPECT_EQ(set.Line(9, l), untouched.Line(9, l)) << "other program, line " << l;
    }
}

TEST(LineShift, InsertIsRefusedWhenANonEmptyLineWouldPassLine24) {
    ProgramSet set;
    set.SetLine(0, 23, Marker(1));
    ProgramSet before = set;
    EXPECT_TRUE(LineShift::CanInsert(set, 0, 5, 1));
    EXPECT_FALSE(LineShift::CanInsert(set, 0, 5, 2));
    EXPECT_FALSE(LineShift::Insert(set, 0, 5, 2));
    EXPECT_FALSE(LineShift::Insert(set, 0, 24, 2)); // more lines than room below
    EXPECT_FALSE(LineShift::Insert(set, 0, 3, 0));
    EXPECT_TRUE(std::equal(set.Data(), set.Data() + ProgramSet::Size(), before.Data()));
    EXPECT_THROW(LineShift::Delete(set, 0, 5, 25), std::out_of_range);
}

} // namespace
