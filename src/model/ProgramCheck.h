#pragma once
// The offline check of motion programs before they reach the controller: the
// faults the controller would end a program with (errors) and lines that are
// probably not what the operator meant (warnings). It follows the controller's
// interpreter line by line, as the emulator models it.
//
// The check is a path analysis over the 250 lines, not a run: starting at line
// 0 of a program with the controller as at power-on (ENABLE off, counter not
// set, V max 1000, A max 500), it follows every way a line can continue (both
// ways of J_INP and J_CNT, PROG into other programs) and records, per line,
// the states it can be reached in: ENABLE on and/or off, the counter set or
// not, V max or A max 0. A motion line reached with ENABLE off on any path is
// an error ("certainly" when no path reaches it enabled).
//
// Lines that wait (and so end the controller's 1 ms step): X_DST, X_DF+/-,
// HOME, W_TIM above 0 and W_DEF. W_INP waits only while its input differs from
// the state it waits for; BRAKE and STOP at rest go on at once. Inputs do not
// change within a step, so loops are checked for each of the four input
// states: a loop with no waiting line is an error, and so is a J_CNT loop
// re-armed by an S_CNT inside it or one that can run more than 1000 lines.
//
// Inputs: by default nothing changes the inputs in the dry run (they start
// off), so every W_INP or J_INP gets a warning that its input never changes
// unless it is toggled; Options::changingInputs names the inputs the caller
// toggles. Errors never depend on this: both input states are always followed.

#include <array>
#include <string>
#include <vector>

#include "ProgramSet.h"
#include "TravelLimits.h"

struct ProgramCheckOptions {
    // The inputs (0 and 1) the caller can change during a dry run.
    std::array<bool, 2> changingInputs{};
};

class ProgramCheck {
public:
    enum class Grade { Error, Warning };

    enum class Kind {
        // errors
        UnknownCommand,
        DigitOutOfRange,
        IoOutOfRange,
        JumpOutOfRange,
        JumpToEmptyLine,
        ProgramOutOfRange,
        ProgToEmptyProgram,
        RunsPastLastLine,
        LoopWithoutWait,
        MoveWhileDisabled,
        MoveWithZeroLimit,
        HomeVelocityZero,
        LeavesTravel,       // the dry run leaves the travel limits (TravelFinding)
        AboveVelocityLimit, // the dry run runs faster than the limits' vmax
        // warnings
        Unreachable,
        CounterNotSet,
        FixedInput,
        ClampedValue,
    };

    struct Finding {
        int program = 0;
        int line = 0;
        Grade grade = Grade::Error;
        Kind kind = Kind::UnknownCommand;
        std::string polish;  // for the window, e.g. "Skok do pustej linii 22"
        std::string english; // for the command line, e.g. "jump to empty line 22"
        // The last line of a finding that spans lines (a run of unreachable
        // lines, reported once: "lines 05–24 can never be reached"); -1 for
        // a finding of one line.
        int lastLine = -1;
        int LastLine() const { return lastLine < 0 ? line : lastLine; }
    };

    using Options = ProgramCheckOptions;

    // Program `program` (0..9) from its line 0, following PROG into other
    // programs (their findings name them). Unreachable lines are reported for
    // `program` only, one finding per run of them (empty lines within a run
    // belong to it). Sorted by program, line, errors first. A program without
    // lines has no findings.
    static std::vector<Finding> CheckProgram(const ProgramSet& set, int program,
                                             const Options& options = {});
    // Every program that has a line, each from its line 0.
    static std::vector<Finding> CheckAll(const ProgramSet& set, const Options& options = {});

    // The error of a dry run that left the travel limits (or ran faster than
    // their vmax: value is then the velocity, else the position): program and
    // line of the line that set the axis moving, after ms from the start at
    // position start. The path analysis cannot tell this; a dry run can.
    static Finding TravelFinding(int program, int line, bool velocity, std::int32_t value,
                                 std::int64_t ms, std::int32_t start, const TravelLimits& limits);
    // Adds finding to findings in their order (program, line, errors first).
    static void Insert(std::vector<Finding>& findings, const Finding& finding);

    // A stable name of the kind for machine-read output, e.g. "jump-to-empty-line".
    static const char* Code(Kind kind);
    static bool HasErrors(const std::vector<Finding>& findings);
    static bool HasWarnings(const std::vector<Finding>& findings);
};
