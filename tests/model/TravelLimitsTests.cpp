// The travel limits: their settings text read and written, and positions,
// jogs and velocities inside, at and beyond them.

#include <gtest/gtest.h>

#include "TravelLimits.h"

namespace {

using Breach = TravelLimits::Breach;

TEST(TravelLimits, TextRoundTripsAndNonsenseIsRefused) {
    const struct {
        const char* text;
        bool valid;
        const char* written;
    } cases[] = {
        {"0 50000", true, "0 50000"},
        {"-100 100 800", true, "-100 100 800"},
        {"  5   5 ", true, "5 5"},
        {"10 5", false, ""},
        {"0 10 0", false, ""},
        {"0 10 -3", false, ""},
        {"0", false, ""},
        {"0 10 20 30", false, ""},
        {"a b", false, ""},
        {"", false, ""},
        {"0 99999999999", false, ""},
    };
    for (const auto& c : cases) {
        const auto limits = TravelLimits::Parse(c.text);
        EXPECT_EQ(limits.has_value(), c.valid) << c.text;
        if (limits) {
            EXPECT_EQ(limits->Text(), c.written);
            EXPECT_EQ(TravelLimits::Parse(limits->Text()), limits);
        }
    }
    EXPECT_EQ(TravelLimits::KeyFor("A-17", "1-1"), "SN A-17");
    EXPECT_EQ(TravelLimits::KeyFor("", "1-1"), "port 1-1");
    EXPECT_EQ(TravelLimits::KeyFor("", ""), "");
}

TEST(TravelLimits, InsideAtAndBeyond) {
    const TravelLimits limits = *TravelLimits::Parse("0 50000 800");
    const struct {
        std::int64_t position;
        Breach breach;
    } positions[] = {{0, Breach::None},      {25000, Breach::None},
                     {50000, Breach::None},  {50001, Breach::AboveMax},
                     {-1, Breach::BelowMin}, {INT64_C(1) << 40, Breach::AboveMax}};
    for (const auto& c : positions)
        EXPECT_EQ(limits.Position(c.position), c.breach) << c.position;
    EXPECT_EQ(limits.Jog(49500, 500), Breach::None);
    EXPECT_EQ(limits.Jog(49600, 500), Breach::AboveMax);
    EXPECT_EQ(limits.Jog(0, -1), Breach::BelowMin);
    EXPECT_EQ(limits.Velocity(800), Breach::None);
    EXPECT_EQ(limits.Velocity(-800), Breach::None);
    EXPECT_EQ(limits.Velocity(801), Breach::TooFast);
    EXPECT_EQ(limits.Velocity(-801), Breach::TooFast);
    EXPECT_EQ(TravelLimits::Parse("0 1")->Velocity(1 << 30), Breach::None) << "no vmax";
}

} // namespace
