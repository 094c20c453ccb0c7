#pragma once
// kxrd4-cli simulate: a dry run of one program of a program file (.kxp) or a
// listing (as build reads it) in the emulated controller, far faster than real
// time. Prints the cycle time, or what the program waits for at the limit,
// every fault with its time and line, and with the trace the time each line
// starts; writes position and velocity at 1 ms as CSV on request. With travel
// limits it tells where the axis leaves them (and stops the run there).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ProgramDryRun.h"
#include "TravelLimits.h"

class CommandContext;

class SimulateCommand {
public:
    struct Options {
        std::string file;
        int program = 0;
        std::vector<ProgramDryRun::InputChange> inputs;
        double untilSeconds = 60;
        bool trace = false;
        std::optional<std::string> csv;
        std::optional<std::string> params; // a backup (.kxb) with the parameters
        bool json = false;
        // The travel limits (--min, --max, --vmax) and where the axis starts
        // (--start): the run stops where the axis leaves them (exit 1).
        std::optional<TravelLimits> travel;
        std::int32_t start = 0;
        // Where the program check's findings go before the run (none when
        // null); the inputs of the schedule count as inputs that change.
        std::ostream* findings = nullptr;
    };

    struct Outcome {
        int status = 0;      // 0 ends without faults, 1 a fault, no end or a file problem
        std::string failure; // for stderr when status is not 0
    };

    // "2.0 in0 on; 5.5 in0 off": the input changes, in the order given. False
    // with an English message on text that does not read so.
    static bool ParseInputs(const std::string& text,
                            std::vector<ProgramDryRun::InputChange>& changes, std::string& error);
    // The --until value: seconds above 0, at most a day.
    static bool ParseSeconds(const std::string& text, double& seconds);

    static Outcome Run(const Options& options, std::ostream& out);
    // simulate FILE -p N ... as kxrd4-cli runs it: Run with the options
    // parsed, the findings on stderr, a failure thrown as CommandFailure.
    static void Simulate(CommandContext& context);
};
