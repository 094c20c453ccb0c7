#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "DragSource.h"
#include "ModifiedFlag.h"
#include "ProgramSet.h"

namespace {

// Fills every byte with a value derived from its offset, so that any misplaced
// byte shows.
void FillPattern(ProgramSet& set) {
    for (int i = 0; i < ProgramSetBytes; ++i) {
        set.Data()[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
}

std::vector<std::uint8_t> Bytes(const ProgramSet& set) {
    return {set.Data(), set.Data() + ProgramSetBytes};
}

TEST(ProgramSetTest, StartsAllZeroWithProgramMajorLayout) {
    ProgramSet set;
    EXPECT_EQ(Bytes(set), std::vector<std::uint8_t>(ProgramSetBytes, 0));
    EXPECT_EQ(set.LineBytes(0, 0), set.Data());
    EXPECT_EQ(set.LineBytes(3, 7), set.Data() + 3 * 200 + 7 * 8);
    EXPECT_EQ(set.LineBytes(9, 24), set.Data() + 1992);

    set.SetLine(2, 5, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(set.Data()[2 * 200 + 5 * 8 + 7], 8);
    EXPECT_EQ(set.Line(2, 5), (ProgramLine{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(ProgramSetTest, IndicesOutsideTheSetAreRefused) {
    ProgramSet set;
    EXPECT_THROW(set.LineBytes(10, 0), std::out_of_range);
    EXPECT_THROW(set.LineBytes(0, 25), std::out_of_range);
    EXPECT_THROW(set.Line(-1, 0), std::out_of_range);
    EXPECT_THROW(set.ClearProgram(NoIndex), std::out_of_range);
    EXPECT_THROW(set.CopyProgram(0, 10), std::out_of_range);
    EXPECT_THROW(set.SwapLines(0, 0, 25), std::out_of_range);
    EXPECT_EQ(Bytes(set), std::vector<std::uint8_t>(ProgramSetBytes, 0));
}

TEST(ProgramSetTest, ClearTouchesOnlyItsTarget) {
    ProgramSet set;
    FillPattern(set);
    ProgramSet expected = set;

    set.ClearLine(4, 11);
    std::fill_n(expected.LineBytes(4, 11), 8, 0);
    EXPECT_EQ(Bytes(set), Bytes(expected));

    set.ClearProgram(3);
    std::fill_n(expected.LineBytes(3, 0), ProgramBytes, 0);
    EXPECT_EQ(Bytes(set), Bytes(expected));
    for (int line = 0; line < LinesPerProgram; ++line) {
        EXPECT_EQ(RenderLine(line, set.Line(3, line)).substr(6), "*****  ");
    }

    set.ClearAllPrograms();
    EXPECT_EQ(Bytes(set), std::vector<std::uint8_t>(ProgramSetBytes, 0));
}

TEST(ProgramSetTest, CopyKeepsEveryByteIncludingUnusedOperands) {
    ProgramSet set;
    FillPattern(set);
    // An END line with leftover operand bytes from an earlier command.
    set.SetLine(2, 0, {20, 9, 8, 7, 6, 5, 4, 3});
    ProgramSet before = set;

    set.CopyProgram(2, 6);
    for (int p = 0; p < ProgramCount; ++p) {
        for (int l = 0; l < LinesPerProgram; ++l) {
            const ProgramLine expected = before.Line(p == 6 ? 2 : p, l);
            EXPECT_EQ(set.Line(p, l), expected) << p << "/" << l;
        }
    }

    ProgramSet copy = set;
    set.CopyProgram(5, 5);
    EXPECT_EQ(Bytes(set), Bytes(copy));
}

TEST(ProgramSetTest, SwapExchangesTwoLinesOnly) {
    ProgramSet set;
    FillPattern(set);
    ProgramSet before = set;

    set.SwapLines(7, 3, 20);
    for (int p = 0; p < ProgramCount; ++p) {
        for (int l = 0; l < LinesPerProgram; ++l) {
            int from = l;
            if (p == 7 && l == 3) {
                from = 20;
            } else if (p == 7 && l == 20) {
                from = 3;
            }
            EXPECT_EQ(set.Line(p, l), before.Line(p, from)) << p << "/" << l;
        }
    }

    ProgramSet swapped = set;
    set.SwapLines(7, 12, 12);
    EXPECT_EQ(Bytes(set), Bytes(swapped));
}

TEST(ProgramSetTest, ExportListingRendersTheProgramInLineOrder) {
    ProgramSet set;
    set.SetLine(1, 0, {1, 0, 0, 5, 0, 0, 0, 0});
    set.SetLine(1, 24, {20, 0, 0, 0, 0, 0, 0, 0});
    const std::vector<std::string> listing = ExportListing(set, 1);
    ASSERT_EQ(listing.size(), 25u);
    EXPECT_EQ(listing[0], "[00]  V_MAX  00500");
    EXPECT_EQ(listing[1], "[01]  *****  ");
    EXPECT_EQ(listing[24], "[24]  END    ");
}

class FakeCaption : public CaptionSink {
public:
    explicit FakeCaption(std::string text) : text_(std::move(text)) {}
    std::string Caption() const override { return text_; }
    void SetCaption(const std::string& caption) override {
        text_ = caption;
        ++writes_;
    }
    std::string text_;
    int writes_ = 0;
};

TEST(ModifiedFlagTest, CaptionEndsWithExactlyOneStar) {
    struct Case {
        std::string before;
        std::string after;
    };
    for (const Case& c :
         {Case{"KX-RD4 PC  -  [Nowy]", "KX-RD4 PC  -  [Nowy]*"},
          Case{"KX-RD4 PC  -  [Nowy]*", "KX-RD4 PC  -  [Nowy]*"},
          Case{"KX-RD4 PC  -  [/tmp/zażółć gęślą.kxp]", "KX-RD4 PC  -  [/tmp/zażółć gęślą.kxp]*"},
          Case{"", "*"}}) {
        FakeCaption caption(c.before);
        ModifiedFlag flag(caption);
        EXPECT_FALSE(flag.IsSet());
        for (int i = 0; i < 3; ++i) {
            flag.MarkModified();
        }
        EXPECT_TRUE(flag.IsSet());
        EXPECT_EQ(caption.text_, c.after);
    }
}

TEST(ModifiedFlagTest, ClearLeavesTheCaptionToTheCaller) {
    FakeCaption caption("KX-RD4 PC  -  [a.kxp]");
    ModifiedFlag flag(caption);
    flag.MarkModified();
    flag.ClearModified();
    EXPECT_FALSE(flag.IsSet());
    EXPECT_EQ(caption.text_, "KX-RD4 PC  -  [a.kxp]*");
    caption.SetCaption("KX-RD4 PC  -  [a.kxp]");
    flag.MarkModified();
    EXPECT_EQ(caption.text_, "KX-RD4 PC  -  [a.kxp]*");
}

TEST(DragSourceTest, DropExchangesWithTheLineOfTheRecordedProgram) {
    ProgramSet set;
    FillPattern(set);
    ProgramSet before = set;
    DragSource drag;
    EXPECT_FALSE(drag.IsPending());
    EXPECT_EQ(drag.Program(), NoIndex);

    drag.Press(4, 3);
    EXPECT_TRUE(drag.IsPending());
    EXPECT_TRUE(drag.Drop(set, 7));
    EXPECT_EQ(set.Line(4, 3), before.Line(4, 7));
    EXPECT_EQ(set.Line(4, 7), before.Line(4, 3));
    EXPECT_FALSE(drag.IsPending());
    EXPECT_EQ(drag.Line(), NoIndex);

    // Nothing pending: no exchange.
    ProgramSet afterFirst = set;
    EXPECT_FALSE(drag.Drop(set, 9));
    EXPECT_EQ(Bytes(set), Bytes(afterFirst));

    // Dropped onto itself: completes without changing a byte.
    drag.Press(4, 5);
    EXPECT_TRUE(drag.Drop(set, 5));
    EXPECT_EQ(Bytes(set), Bytes(afterFirst));

    // A press on the background cancels.
    drag.Press(4, 5);
    drag.Reset();
    EXPECT_FALSE(drag.Drop(set, 6));
    EXPECT_EQ(Bytes(set), Bytes(afterFirst));

    // Out-of-range target: nothing moves, the move ends.
    drag.Press(4, 5);
    EXPECT_FALSE(drag.Drop(set, 25));
    EXPECT_FALSE(drag.IsPending());
    EXPECT_EQ(Bytes(set), Bytes(afterFirst));
}

} // namespace
