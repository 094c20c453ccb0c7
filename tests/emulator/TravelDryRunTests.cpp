// Dry runs against travel limits: each program with limits inside, at and
// beyond the travel it covers; where the run stops agrees with a run sampled
// every millisecond (the steady stretches it skips do not hide a breach); the
// start position and the check's finding.

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "EmulatorTestKit.h"
#include "ProgramDryRun.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;

struct Travelled {
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t fastest = 0; // |velocity|
};

// The travel of a run sampled every ms, without limits.
Travelled Sampled(const ProgramSet& set, int program, const ProgramDryRun::Options& base,
                  std::vector<ProgramDryRun::Sample>& samples) {
    ProgramDryRun::Options options = base;
    options.travel.reset();
    options.sampleEveryMs = 1;
    samples = ProgramDryRun::Run(set, program, options).samples;
    Travelled t{options.startPosition, options.startPosition, 0};
    for (const auto& s : samples) {
        t.low = std::min(t.low, s.position);
        t.high = std::max(t.high, s.position);
        t.fastest = std::max(t.fastest, std::abs(s.velocity));
    }
    return t;
}

TEST(TravelDryRun, EachProgramInsideAtAndBeyondItsTravel) {
    struct Program {
        const char* name;
        std::vector<std::vector<ProgramLine>> programs; // P0, P1, ...
        bool up;                                        // leaves by max (else min)
        int program, line;                              // that set the axis moving
    };
    const Program programs[] = {
        {"a move to +5000", {{Line(C::M_EN), Line(C::X_DST, 5000), Line(C::END)}}, true, 0, 1},
        {"a move by -DEF", {{Line(C::M_EN), Line(C::X_DFM), Line(C::END)}}, false, 0, 1},
        {"a velocity, a wait, a stop",
         {{Line(C::M_EN), Line(C::V_DST, 500), Line(C::W_TIM, 2000), Line(C::STOP), Line(C::END)}},
         true,
         0,
         1},
        {"left running at its END",
         {{Line(C::M_EN), Line(C::V_DST, -300), Line(C::END)}},
         false,
         0,
         1},
        {"a loop back and forth",
         {{Line(C::M_EN), Line(C::X_DST, 2000), Line(C::X_DST, -500), Operands(C::J_LIN, {1})}},
         false,
         0,
         2},
        {"a move in the program PROG goes on in",
         {{Operands(C::PROG, {1})},
          {Line(C::M_EN), Line(C::W_TIM, 300), Line(C::X_DST, 3000), Line(C::END)}},
         true,
         1,
         2},
    };
    for (const Program& p : programs) {
        SCOPED_TRACE(p.name);
        ProgramSet set;
        for (std::size_t n = 0; n < p.programs.size(); ++n)
            Store(set, static_cast<int>(n), p.programs[n]);
        ProgramDryRun::Options options;
        options.limitMs = 30'000;
        std::vector<ProgramDryRun::Sample> samples;
        const Travelled t = Sampled(set, 0, options, samples);
        const std::int32_t edge = p.up ? t.high : t.low;
        ASSERT_NE(edge, 0) << "the program moves";
        struct Limit {
            const char* where;
            std::int32_t shift; // of the limit beyond the edge of the travel
            bool breach;
        };
        for (const Limit& l :
             {Limit{"inside", 1000, false}, Limit{"at", 0, false}, Limit{"beyond", -1, true}}) {
            SCOPED_TRACE(l.where);
            TravelLimits limits;
            limits.min = p.up ? t.low : t.low - l.shift;
            limits.max = p.up ? t.high + l.shift : t.high;
            options.travel = limits;
            const auto r = ProgramDryRun::Run(set, 0, options);
            ASSERT_EQ(r.breach.has_value(), l.breach);
            const auto finding = ProgramDryRun::CheckTravel(set, 0, options);
            ASSERT_EQ(finding.has_value(), l.breach);
            if (!l.breach)
                continue;
            const ProgramDryRun::Breach& b = *r.breach;
            EXPECT_FALSE(b.velocity);
            EXPECT_EQ(b.program, p.program);
            EXPECT_EQ(b.line, p.line);
            EXPECT_TRUE(p.up ? b.value > limits.max : b.value < limits.min) << b.value;
            // The first sampled millisecond beyond the limit, exactly.
            const auto first = std::find_if(samples.begin(), samples.end(), [&](const auto& s) {
                return s.position > limits.max || s.position < limits.min;
            });
            ASSERT_NE(first, samples.end());
            EXPECT_EQ(b.timeMs, first->timeMs);
            EXPECT_EQ(b.value, first->position);
            EXPECT_EQ(finding->kind, ProgramCheck::Kind::LeavesTravel);
            EXPECT_EQ(finding->grade, ProgramCheck::Grade::Error);
            EXPECT_EQ(finding->program, p.program);
            EXPECT_EQ(finding->line, p.line);
            EXPECT_NE(finding->english.find("leaves the travel limits " + limits.Range() +
                                            ": position " + std::to_string(b.value)),
                      std::string::npos)
                << finding->english;
        }
    }
}

TEST(TravelDryRun, VelocityAboveTheLimitsVmaxAtAndBeyond) {
    ProgramSet set;
    Store(set, 0, {Line(C::M_EN), Line(C::X_DST, 5000), Line(C::END)});
    ProgramDryRun::Options options;
    std::vector<ProgramDryRun::Sample> samples;
    const Travelled t = Sampled(set, 0, options, samples);
    ASSERT_EQ(t.fastest, 1000); // the power-on V max
    TravelLimits limits;
    limits.min = -100'000;
    limits.max = 100'000;
    for (const std::int32_t vmax : {1000, 999}) {
        limits.vmax = vmax;
        options.travel = limits;
        const auto r = ProgramDryRun::Run(set, 0, options);
        ASSERT_EQ(r.breach.has_value(), vmax < 1000) << vmax;
        if (!r.breach)
            continue;
        EXPECT_TRUE(r.breach->velocity);
        EXPECT_EQ(r.breach->value, 1000);
        EXPECT_EQ(r.breach->line, 1);
        const auto finding = ProgramDryRun::CheckTravel(set, 0, options);
        ASSERT_TRUE(finding);
        EXPECT_EQ(finding->kind, ProgramCheck::Kind::AboveVelocityLimit);
        EXPECT_EQ(std::string(ProgramCheck::Code(finding->kind)), "above-velocity-limit");
    }
}

TEST(TravelDryRun, TheRunStartsWhereTheAxisStandsAndMayMoveBackFromBeyond) {
    ProgramSet set;
    Store(set, 0, {Line(C::M_EN), Line(C::X_DFP), Line(C::END)}); // by +1000
    TravelLimits limits;
    limits.min = 0;
    limits.max = 4000;
    struct Case {
        std::int32_t start;
        bool breach;
    };
    // (From 6000, beyond max, the move out to 7000 goes further out.)
    for (const Case c : {Case{0, false}, Case{3000, false}, Case{3001, true}, Case{6000, true},
                         Case{-3000, false}}) {
        SCOPED_TRACE(c.start);
        ProgramDryRun::Options options;
        options.startPosition = c.start;
        options.travel = limits;
        const auto finding = ProgramDryRun::CheckTravel(set, 0, options);
        EXPECT_EQ(finding.has_value(), c.breach);
        if (finding) {
            EXPECT_NE(finding->polish.find("(start z pozycji " + std::to_string(c.start) + ")"),
                      std::string::npos)
                << finding->polish;
        }
    }
    // Back from beyond towards the travel is no breach.
    Store(set, 0, {Line(C::M_EN), Line(C::X_DST, 2000), Line(C::END)});
    ProgramDryRun::Options options;
    options.startPosition = 9000;
    options.travel = limits;
    const auto r = ProgramDryRun::Run(set, 0, options);
    EXPECT_FALSE(r.breach);
    EXPECT_TRUE(r.Clean());
}

} // namespace
