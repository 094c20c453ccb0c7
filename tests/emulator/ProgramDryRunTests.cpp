// Dry runs of programs: cycle time, faults, waits at the limit, input
// schedules, parameters from a backup, trace and samples.

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ControllerBackup.h"
#include "EmulatorTestKit.h"
#include "ProgramDryRun.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;
using Cause = ControllerEmulator::FaultCause;
using Waiting = ProgramDryRun::Waiting;

TEST(ProgramDryRun, SixTrapezoidsEndAfterTheEmulatorsOwnCycleTime) {
    ProgramSet set;
    Store(set, 4, OutAndBackThreeTimes());
    ProgramDryRun::Options options;
    options.limitMs = 120'000;
    options.trace = true;
    options.sampleEveryMs = 1;
    const auto r = ProgramDryRun::Run(set, 4, options);

    // Six moves of 12 s and three pauses of 200 ms, as the emulator's test has it.
    ASSERT_TRUE(r.Clean());
    EXPECT_NEAR(r.endMs, 6 * 12'000 + 3 * 200, 1);
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(r.trace.front().line, 0);
    EXPECT_EQ(r.trace.back().line, 8); // END
    EXPECT_EQ(r.trace.back().timeMs, r.endMs);
    EXPECT_EQ(r.trace.size(), 4u + 3u * 4u + 1u); // set-up, three passes, END
    ASSERT_EQ(r.samples.size(), static_cast<std::size_t>(r.samples.back().timeMs + 1));
    EXPECT_GT(r.samples.back().timeMs, r.endMs); // the step after END, at rest
    EXPECT_EQ(r.samples[6000].position, 5000);
    EXPECT_EQ(r.samples[6000].velocity, 1000);
    EXPECT_EQ(r.samples.back().position, 0);

    // Without trace and samples the result is the same.
    const auto bare =
        ProgramDryRun::Run(set, 4, ProgramDryRun::Options{120'000, {}, {}, false, 0, 0, false, {}});
    EXPECT_EQ(bare.endMs, r.endMs);
    EXPECT_TRUE(bare.trace.empty());
    EXPECT_TRUE(bare.samples.empty());
}

struct Case {
    const char* name;
    std::vector<ProgramLine> lines;
    std::vector<ProgramDryRun::InputChange> inputs;
    std::optional<std::int64_t> endMs; // ended at; nullopt = still running at the limit
    std::optional<Cause> fault;
    int line; // of the fault, or where it waits
    Waiting waiting = Waiting::Nothing;
};

TEST(ProgramDryRun, EndsFaultsOrWaitsAtTheLimit) {
    const std::vector<Case> cases = {
        {"ends", {Line(C::M_EN), Line(C::W_TIM, 1500), Line(C::END)}, {}, 1500, {}, 2},
        {"move before enable", {Line(C::X_DST, 100)}, {}, 0, Cause::MoveDisabled, 0},
        {"disabled after a wait",
         {Line(C::M_EN), Line(C::W_TIM, 700), Line(C::M_DIS), Line(C::X_DST, 5)},
         {},
         700,
         Cause::MoveDisabled,
         3},
        {"runs off the last line", {Line(C::M_EN)}, {}, 0, Cause::PastLastLine, 24},
        {"loop without waiting", {Operands(C::J_LIN, {0})}, {}, 0, Cause::NoWait, 0},
        {"jump out of range", {Operands(C::J_LIN, {30})}, {}, 0, Cause::BadJump, 0},
        {"waits for input 1 on",
         {Line(C::M_EN), Operands(C::W_INP, {1, 1}), Line(C::END)},
         {},
         {},
         {},
         1,
         Waiting::Input},
        {"input schedule releases W_INP",
         {Line(C::M_EN), Operands(C::W_INP, {1, 1}), Line(C::END)},
         {{2500, 1, true}},
         2500,
         {},
         2},
        {"input set at 0 and cleared again",
         {Operands(C::W_INP, {0, 1}), Operands(C::W_INP, {0, 0}), Line(C::END)},
         {{3000, 0, false}, {0, 0, true}},
         3000,
         {},
         2},
        {"waits for the axis",
         {Line(C::V_MAX, 10), Line(C::M_EN), Line(C::X_DST, 100000), Line(C::END)},
         {},
         {},
         {},
         2,
         Waiting::Axis},
        {"loops on a short wait",
         {Line(C::M_EN), Line(C::W_TIM, 3), Operands(C::J_LIN, {1})},
         {},
         {},
         {},
         -1,
         Waiting::Time},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramSet set;
        Store(set, 2, c.lines);
        ProgramDryRun::Options options;
        options.limitMs = 5000;
        options.inputs = c.inputs;
        const auto r = ProgramDryRun::Run(set, 2, options);
        EXPECT_EQ(r.ended, c.endMs.has_value());
        if (c.endMs) {
            EXPECT_EQ(r.endMs, *c.endMs);
        }
        ASSERT_EQ(r.faults.size(), c.fault ? 1u : 0u);
        if (c.fault) {
            EXPECT_EQ(r.faults[0].Cause, *c.fault);
            EXPECT_EQ(r.faults[0].Line, c.line);
            EXPECT_EQ(r.faults[0].Program, 2);
            EXPECT_EQ(r.faults[0].TimeMs, *c.endMs);
        }
        EXPECT_EQ(r.waiting, c.waiting);
        if (!c.endMs && c.line >= 0) {
            EXPECT_EQ(r.line, c.line);
            EXPECT_EQ(r.program, 2);
        }
    }
}

// A run from where the axis stands, with ENABLE as the controller has it.
TEST(ProgramDryRun, StartsFromThePositionAndEnableGiven) {
    ProgramSet set;
    Store(set, 0, {Line(C::X_DST, 500), Line(C::END)});
    ProgramDryRun::Options options;
    options.sampleEveryMs = 1;
    options.startPosition = 2000;
    const auto disabled = ProgramDryRun::Run(set, 0, options);
    ASSERT_EQ(disabled.faults.size(), 1u);
    EXPECT_EQ(disabled.faults[0].Cause, ControllerEmulator::FaultCause::MoveDisabled);
    options.enabled = true;
    const auto r = ProgramDryRun::Run(set, 0, options);
    EXPECT_TRUE(r.Clean());
    ASSERT_FALSE(r.samples.empty());
    EXPECT_EQ(r.samples.front().position, 2000);
    EXPECT_EQ(r.samples.back().position, 500);
    EXPECT_LT(r.samples[r.samples.size() / 2].velocity, 0);
}

TEST(ProgramDryRun, ParametersOfABackupAndBoundedOutputs) {
    ProgramSet set;
    Store(set, 0, {Line(C::W_DEF), Line(C::END)});
    ControllerBackup backup;
    ControllerBackup::Error error;
    ASSERT_TRUE(ControllerBackup::Parse("[parameters]\nwdef = 1200\n", backup, error))
        << error.message;
    ProgramDryRun::Options options;
    EXPECT_EQ(ProgramDryRun::Run(set, 0, options).endMs, 500); // power-on DEF time
    options.parameters = &backup;
    EXPECT_EQ(ProgramDryRun::Run(set, 0, options).endMs, 1200);

    // A loop that runs two lines every ms keeps only the bounded trace.
    Store(set, 1, {Line(C::W_TIM, 1), Operands(C::J_LIN, {0})});
    const auto r =
        ProgramDryRun::Run(set, 1, ProgramDryRun::Options{400'000, {}, {}, true, 1, 0, false, {}});
    EXPECT_FALSE(r.ended);
    EXPECT_TRUE(r.traceCut);
    EXPECT_EQ(r.trace.size(), ProgramDryRun::MaxTraceLines);
    EXPECT_EQ(r.samples.size(), 400'001u);
    EXPECT_FALSE(r.samplesCut);
    EXPECT_THROW(ProgramDryRun::Run(set, 10, options), std::out_of_range);
}

} // namespace
