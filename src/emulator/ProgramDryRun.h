#pragma once
// A dry run of one program: the program is written into a fresh emulated
// controller (power-on parameters, or those of a backup), started as
// "ProgramStart" starts it and run up to a time limit far faster than real
// time. ENABLE is off at the start, as at power-on: the program must switch it
// on itself. Inputs change on a schedule.
//
// The result tells whether and when the program ended (the cycle time), every
// fault with its time and line, or what the program waits for at the limit;
// on request the start time of each executed line (the trace) and samples of
// position and velocity. With travel limits the run stops where the axis
// first leaves them (or runs faster than their vmax), as the tool stops the
// axis there, and tells when, where and by which line. Both are bounded, so a long limit cannot
// exhaust memory; a run without them only costs the program's events, not its time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ControllerEmulator.h"
#include "ProgramCheck.h"
#include "ProgramSet.h"
#include "TravelLimits.h"

class ControllerBackup;

class ProgramDryRun {
public:
    struct InputChange {
        std::int64_t timeMs = 0;
        int input = 0; // 0 or 1
        bool on = false;
        bool operator==(const InputChange&) const = default;
    };

    struct Options {
        std::int64_t limitMs = 60'000;
        // Applied in time order; changes at 0 are in place before the start.
        std::vector<InputChange> inputs;
        // The parameters the controller holds (nullptr: power-on values).
        const ControllerBackup* parameters = nullptr;
        bool trace = false;
        // Samples every this many ms (0: none), from 0 until the program has
        // ended and the axis is at rest, or the limit.
        int sampleEveryMs = 0;
        // Where the axis stands at the start (at rest; the home switch stays
        // 1000 steps below position 0), and whether ENABLE is on already.
        std::int32_t startPosition = 0;
        bool enabled = false;
        // The limits the run must keep to (none: not watched). The travel
        // counts from where the axis starts when that is outside them: an
        // axis that starts beyond them may move back, not further out.
        std::optional<TravelLimits> travel;
    };

    // The first moment the axis was beyond the travel limits (Options::travel).
    struct Breach {
        std::int64_t timeMs = 0;
        bool velocity = false; // faster than vmax (value the velocity), else beyond min..max
        std::int32_t value = 0;
        // The line that last set the axis moving (or cleared its position).
        int program = 0;
        int line = 0;
    };

    struct LineStart {
        std::int64_t timeMs = 0;
        int program = 0;
        int line = 0;
    };

    struct Sample {
        std::int64_t timeMs = 0;
        std::int32_t position = 0;
        std::int32_t velocity = 0;
    };

    // What the program waits for when the limit is reached.
    enum class Waiting {
        Nothing, // it ended
        Input,   // W_INP: waitInput to become waitState
        Axis,    // a move, homing or stop to end
        Time,    // W_TIM / W_DEF longer than the rest of the limit
        Running, // it keeps running lines (a loop that waits elsewhere)
    };

    struct Result {
        bool ended = false;     // END, or a fault
        std::int64_t endMs = 0; // when it ended
        std::vector<ControllerEmulator::Fault> faults;
        Waiting waiting = Waiting::Nothing;
        int program = 0; // where it is at the limit (it may have moved on by PROG)
        int line = 0;
        int waitInput = 0;
        bool waitState = false;
        std::vector<LineStart> trace;
        bool traceCut = false; // more lines ran than MaxTraceLines
        std::vector<Sample> samples;
        bool samplesCut = false;      // more than MaxSamples were due
        std::optional<Breach> breach; // the run stopped there
        bool Clean() const { return ended && faults.empty() && !breach; }
    };

    static constexpr std::size_t MaxTraceLines = 100'000;
    static constexpr std::size_t MaxSamples = 1'000'000;
    static constexpr std::int64_t MaxLimitMs = 24LL * 3600 * 1000; // one day

    // Runs program (0..9) of programs; a program number outside 0..9 throws
    // std::out_of_range. The limit is kept within 1 ms .. MaxLimitMs.
    static Result Run(const ProgramSet& programs, int program, const Options& options);

    // The program check's error for a program that leaves the limits in a
    // dry run of options.limitMs (by default 60 s) from options.startPosition; nothing
    // when it keeps to them (or options has no travel limits).
    static std::optional<ProgramCheck::Finding> CheckTravel(const ProgramSet& programs, int program,
                                                            const Options& options);
};
