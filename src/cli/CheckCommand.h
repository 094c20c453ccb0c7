#pragma once
// kxrd4-cli check, and the findings build and send print: the offline program
// check (the model's ProgramCheck) in English, one finding a line
// ("P0 [01] error: jump to empty line 22"), or as JSON. With travel limits,
// each program checked also runs dry from the start position: leaving the
// limits is an error at the line that set the axis moving.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ProgramCheck.h"
#include "TravelLimits.h"

class CommandContext;

// The travel limits a check keeps to (none: not checked), and where the axis
// stands at the start of each program's dry run.
struct CheckTravel {
    std::optional<TravelLimits> limits;
    std::int32_t start = 0;
};

class CheckCommand {
public:
    // check FILE [-p N] [--warnings-as-errors] [--format json] as kxrd4-cli
    // runs it: Run on its arguments, a failure thrown as CommandFailure.
    static void Check(CommandContext& context);

    using Travel = CheckTravel;

    struct Result {
        int status = 0;      // 0 clean, 1 errors (or warnings taken as errors), 2 trouble
        std::string message; // for stderr when status is not 0
    };

    // Checks FILE: a program file (*.kxp, exactly 2000 bytes) or a listing as
    // build reads it ("-" reads the listing from in). With program, that
    // program (following PROG), else every program that has lines.
    static Result Run(const std::string& path, std::optional<int> program, bool warningsAsErrors,
                      bool json, std::istream& in, std::ostream& out, const Travel& travel = {});

    // The findings of set (one program or all), each on a line of out; nothing
    // for a clean set. Returns them.
    static std::vector<ProgramCheck::Finding> Print(const ProgramSet& set,
                                                    std::optional<int> program, std::ostream& out,
                                                    const ProgramCheck::Options& options = {},
                                                    const Travel& travel = {});

    // "P0 [01] error: jump to empty line 22"
    static std::string Text(const ProgramCheck::Finding& finding);
    // {"program":0,"line":1,"grade":"error","code":"jump-to-empty-line","text":"..."}
    static std::string Json(const ProgramCheck::Finding& finding);
    // "2 errors, 1 warning"
    static std::string Summary(const std::vector<ProgramCheck::Finding>& findings);
};
