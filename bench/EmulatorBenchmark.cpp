// How fast the emulated controller runs: emulated seconds per wall-clock
// second (counter "emulated_s_per_s", the target is at least 1000) for
// looping programs advanced 1 ms at a time, with a StatusPoll every 25 ms as
// the live chart sends them. Measured against the wall clock.

#include <benchmark/benchmark.h>

#include "ControllerEmulator.h"
#include "EmulatorTestKit.h"

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

} // namespace

BENCHMARK_MAIN();
