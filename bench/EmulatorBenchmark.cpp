// How fast the emulated controller runs: emulated seconds per wall-clock
// second (counter "emulated_s_per_s", the target is at least 1000) for
// looping programs advanced 1 ms at a time, with a StatusPoll every 25 ms as
// the live chart sends them. Measured against the wall clock.
// The dry run of a 25-line program with about a minute of motion, as
// "simulate" and the window's "Symulacja" run it (target: under 5 ms).

#include <benchmark/benchmark.h>

#include "ControllerEmulator.h"
#include "EmulatorTestKit.h"
#include "ProgramCheck.h"
#include "ProgramDryRun.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;

constexpr int StepsPerIteration = 1000; // one emulated second

void RunLooping(benchmark::State& state, const std::vector<ProgramLine>& program) {
    ControllerEmulator emu;
    Store(emu.Programs(), 0, program);
    const Bytes start = Request(MessageLetter::ProgramStart, {0});
    const Bytes poll = Request(MessageLetter::StatusPoll);
    emu.HandleRequest(start.data(), start.size(), 0);
    std::int64_t now = 0;
    for (auto _ : state) {
        for (int i = 0; i < StepsPerIteration; ++i) {
            ++now;
            if (now % 25 == 0) {
                benchmark::DoNotOptimize(emu.HandleRequest(poll.data(), poll.size(), now));
            } else {
                emu.AdvanceTo(now);
            }
        }
    }
    if (!emu.ProgramRunning() || !emu.TakeFaults().empty()) {
        state.SkipWithError("the program stopped");
    }
    state.counters["emulated_s_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * StepsPerIteration / 1000.0,
                           benchmark::Counter::kIsRate);
}

// Moves out and back for ever: the axis is always ramping or cruising.
void BM_Emulator_MovingLoop(benchmark::State& state) {
    RunLooping(state,
               {Line(C::V_MAX, 2000), Line(C::A_MAX, 3000), Line(C::M_EN), Line(C::X_DST, 5000),
                Line(C::W_TIM, 10), Line(C::X_DST, -5000), Operands(C::J_LIN, {3})});
}
BENCHMARK(BM_Emulator_MovingLoop)->UseRealTime();

// A counted inner loop of 20 lines per ms plus I/O, velocity changes and 1 ms
// waits: the interpreter is busy every step.
void BM_Emulator_BusyInterpreter(benchmark::State& state) {
    RunLooping(state, {Line(C::M_EN), Line(C::S_CNT, 10), Operands(C::S_OUT, {0, 1}),
                       Operands(C::J_INP, {4, 1, 1}), Operands(C::J_CNT, {2}), Line(C::V_DST, 500),
                       Line(C::W_TIM, 1), Line(C::V_DST, -500), Line(C::W_TIM, 1),
                       Operands(C::J_LIN, {1})});
}
BENCHMARK(BM_Emulator_BusyInterpreter)->UseRealTime();

// 25 lines: three out-and-back passes with pauses, output switching and a
// second speed, relative moves, a DEF wait and a last short move.
std::vector<ProgramLine> MinuteOfMotion() {
    return {Line(C::V_MAX, 2000),
            Line(C::A_MAX, 1000),
            Line(C::M_EN),
            Line(C::S_CNT, 2),
            Line(C::X_DST, 10000),
            Line(C::W_TIM, 200),
            Line(C::X_DST, 15000),
            Line(C::W_TIM, 200),
            Line(C::X_DST, 0),
            Line(C::W_TIM, 200),
            Operands(C::S_OUT, {0, 1}),
            Line(C::V_MAX, 1000),
            Line(C::X_DST, 5000),
            Operands(C::S_OUT, {0, 0}),
            Line(C::V_MAX, 2000),
            Operands(C::J_CNT, {4}),
            Line(C::X_DFP),
            Line(C::X_DFM),
            Line(C::CLR_P),
            Line(C::W_DEF),
            Line(C::X_DST, 3000),
            Line(C::X_DST, 0),
            Line(C::BRAKE),
            Line(C::W_TIM, 100),
            Line(C::END)};
}

// sampleEveryMs 0: the CLI without --csv; 10: the window's chart.
void BM_DryRun_MinuteProgram(benchmark::State& state) {
    ProgramSet set;
    Store(set, 0, MinuteOfMotion());
    ProgramDryRun::Options options;
    options.limitMs = 120'000;
    options.sampleEveryMs = static_cast<int>(state.range(0));
    std::int64_t cycle = 0;
    for (auto _ : state) {
        const auto result = ProgramDryRun::Run(set, 0, options);
        if (!result.Clean()) {
            state.SkipWithError("the program does not end cleanly");
            break;
        }
        cycle = result.endMs;
        benchmark::DoNotOptimize(result.samples.data());
    }
    state.counters["cycle_s"] = static_cast<double>(cycle) / 1000.0;
}
BENCHMARK(BM_DryRun_MinuteProgram)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

// The program check the window can run on every edit: all ten programs of 25
// lines (the minute of motion in each, the last line of P0..P8 continuing in
// the next program), or the one program shown.
void BM_Check_TenPrograms(benchmark::State& state) {
    ProgramSet set;
    for (int p = 0; p < ProgramCount; ++p) {
        std::vector<ProgramLine> lines = MinuteOfMotion();
        if (p + 1 < ProgramCount) {
            lines.back() = Operands(C::PROG, {static_cast<std::uint8_t>(p + 1)});
        }
        Store(set, p, lines);
    }
    const bool all = state.range(0) == 1;
    std::size_t findings = 0;
    for (auto _ : state) {
        const auto result = all ? ProgramCheck::CheckAll(set) : ProgramCheck::CheckProgram(set, 9);
        findings = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_Check_TenPrograms)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
