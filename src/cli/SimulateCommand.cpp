#include "SimulateCommand.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "CheckCommand.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "ControllerBackup.h"
#include "FileAccess.h"
#include "JsonText.h"
#include "ProgramInput.h"
#include "ProgramListing.h"

namespace {

struct Failure {
    std::string message;
};

std::string Seconds(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms) / 1000.0);
    return text;
}

std::string LineName(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "line %02d of P%d", line, program);
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string ReadFile(const std::string& path) {
    std::string text;
    std::string error;
    if (!ProgramInput::ReadText(path, text, error)) {
        throw Failure{error};
    }
    return text;
}

// A program file of 2000 bytes, or a listing.
ProgramSet LoadPrograms(const std::string& path) {
    ProgramSet set;
    std::string error;
    std::istringstream none;
    if (!ProgramInput::Load(path, none, set, error)) {
        throw Failure{error};
    }
    return set;
}

ControllerBackup LoadParameters(const std::string& path) {
    ControllerBackup backup;
    ControllerBackup::Error error;
    if (!ControllerBackup::Parse(ReadFile(path), backup, error)) {
        throw Failure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message};
    }
    return backup;
}

std::string WaitText(const ProgramDryRun::Result& r, int started) {
    char line[16];
    std::snprintf(line, sizeof line, "line %02d", r.line);
    const std::string where = r.program == started ? line : LineName(r.program, r.line);
    switch (r.waiting) {
    case ProgramDryRun::Waiting::Input:
        return "waits at " + where + " for input " + std::to_string(r.waitInput) +
               (r.waitState ? " on" : " off");
    case ProgramDryRun::Waiting::Axis:
        return "waits at " + where + " for the axis";
    case ProgramDryRun::Waiting::Time:
        return "waits at " + where + " for its time";
    case ProgramDryRun::Waiting::Running:
    case ProgramDryRun::Waiting::Nothing:
        break;
    }
    return "runs on at " + where;
}

const char* WaitName(ProgramDryRun::Waiting waiting) {
    switch (waiting) {
    case ProgramDryRun::Waiting::Input:
        return "input";
    case ProgramDryRun::Waiting::Axis:
        return "axis";
    case ProgramDryRun::Waiting::Time:
        return "time";
    case ProgramDryRun::Waiting::Running:
        return "running";
    case ProgramDryRun::Waiting::Nothing:
        break;
    }
    return "nothing";
}

std::string BreachText(const ProgramDryRun::Result& r, const TravelLimits& limits) {
    const ProgramDryRun::Breach& b = *r.breach;
    return b.velocity
               ? "the velocity reaches " + std::to_string(b.value) +
                     ", above the travel limits' vmax " + std::to_string(limits.vmax.value_or(0)) +
                     ", after " + Seconds(b.timeMs) + " (set moving at " +
                     LineName(b.program, b.line) + ")"
               : "the axis leaves the travel limits " + limits.Range() + " after " +
                     Seconds(b.timeMs) + " at position " + std::to_string(b.value) +
                     " (set moving at " + LineName(b.program, b.line) + ")";
}

void WriteText(const SimulateCommand::Options& o, const ProgramSet& set,
               const ProgramDryRun::Result& r, std::int64_t limitMs, std::ostream& out) {
    out << "P" << o.program << " of " << o.file << ", dry run of at most " << Seconds(limitMs)
        << (o.params ? " with the parameters of " + *o.params : " with the power-on parameters")
        << (o.start != 0 ? ", starting at position " + std::to_string(o.start) : std::string())
        << (o.travel ? ", within the travel limits " + o.travel->Range() : std::string()) << "\n";
    if (o.trace) {
        for (const auto& step : r.trace) {
            char time[32];
            std::snprintf(time, sizeof time, "%12.3f", static_cast<double>(step.timeMs) / 1000.0);
            out << time << "  P" << step.program << " "
                << Trimmed(RenderLine(step.line, set.Line(step.program, step.line))) << "\n";
        }
        if (r.traceCut) {
            out << "(the trace stops after " << ProgramDryRun::MaxTraceLines << " lines)\n";
        }
    }
    for (const auto& f : r.faults) {
        out << "fault after " << Seconds(f.TimeMs) << " at " << LineName(f.Program, f.Line) << ": "
            << f.Reason << "\n";
    }
    if (o.csv && r.samplesCut) {
        out << "(the CSV holds the first " << ProgramDryRun::MaxSamples << " ms)\n";
    }
    if (r.breach) {
        out << BreachText(r, *o.travel) << "; the dry run stops there\n";
    } else if (r.Clean()) {
        out << "ends after " << Seconds(r.endMs) << " (cycle time)\n";
    } else if (!r.ended) {
        out << "does not end within " << Seconds(limitMs) << "; " << WaitText(r, o.program) << "\n";
    }
}

void WriteJson(const SimulateCommand::Options& o, const ProgramDryRun::Result& r,
               std::int64_t limitMs, std::ostream& out) {
    out << "{\"program\":" << o.program << ",\"limitMs\":" << limitMs
        << ",\"ended\":" << (r.ended ? "true" : "false");
    if (r.ended) {
        out << ",\"endMs\":" << r.endMs;
    }
    out << ",\"faults\":[";
    for (std::size_t i = 0; i < r.faults.size(); ++i) {
        const auto& f = r.faults[i];
        out << (i == 0 ? "" : ",") << "{\"timeMs\":" << f.TimeMs << ",\"program\":" << f.Program
            << ",\"line\":" << f.Line << ",\"reason\":" << JsonText::Quote(f.Reason) << "}";
    }
    out << "]";
    if (r.breach) {
        const ProgramDryRun::Breach& b = *r.breach;
        out << ",\"travel\":{\"timeMs\":" << b.timeMs << ",\"program\":" << b.program
            << ",\"line\":" << b.line << ",\"" << (b.velocity ? "velocity" : "position")
            << "\":" << b.value << "}";
    } else if (!r.ended) {
        out << ",\"waiting\":{\"for\":\"" << WaitName(r.waiting) << "\",\"program\":" << r.program
            << ",\"line\":" << r.line;
        if (r.waiting == ProgramDryRun::Waiting::Input) {
            out << ",\"input\":" << r.waitInput << ",\"state\":\"" << (r.waitState ? "on" : "off")
                << "\"";
        }
        out << "}";
    }
    if (o.trace) {
        out << ",\"trace\":[";
        for (std::size_t i = 0; i < r.trace.size(); ++i) {
            out << (i == 0 ? "" : ",") << "{\"timeMs\":" << r.trace[i].timeMs
                << ",\"program\":" << r.trace[i].program << ",\"line\":" << r.trace[i].line << "}";
        }
        out << "],\"traceCut\":" << (r.traceCut ? "true" : "false");
    }
    out << "}\n";
}

void WriteCsv(const std::string& path, const ProgramDryRun::Result& r) {
    std::string text = "ms,position,velocity\n";
    text.reserve(text.size() + r.samples.size() * 24);
    char row[64];
    for (const auto& s : r.samples) {
        const int n = std::snprintf(row, sizeof row, "%lld,%d,%d\n",
                                    static_cast<long long>(s.timeMs), s.position, s.velocity);
        text.append(row, static_cast<std::size_t>(n));
    }
    if (!FileAccess::WriteAtomically(path, text.data(), text.size())) {
        throw Failure{"cannot write " + path + " (it is left as it was)"};
    }
}

} // namespace

bool SimulateCommand::ParseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    const double s = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(s > 0) ||
        s * 1000 > static_cast<double>(ProgramDryRun::MaxLimitMs)) {
        return false;
    }
    seconds = s;
    return true;
}

bool SimulateCommand::ParseInputs(const std::string& text,
                                  std::vector<ProgramDryRun::InputChange>& changes,
                                  std::string& error) {
    changes.clear();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t semicolon = text.find(';', pos);
        if (semicolon == std::string::npos) {
            semicolon = text.size();
        }
        const std::string item = Trimmed(text.substr(pos, semicolon - pos));
        pos = semicolon + 1;
        if (item.empty()) {
            continue;
        }
        std::istringstream words(item);
        std::string time;
        std::string input;
        std::string state;
        std::string extra;
        words >> time >> input >> state >> extra;
        char* end = nullptr;
        const double seconds = std::strtod(time.c_str(), &end);
        const bool timeOk = !time.empty() && *end == '\0' && seconds >= 0 &&
                            seconds * 1000 <= static_cast<double>(ProgramDryRun::MaxLimitMs);
        if (!timeOk || (input != "in0" && input != "in1") || (state != "on" && state != "off") ||
            !extra.empty()) {
            error = "--inputs: \"" + item +
                    "\" is not a change such as \"2.0 in0 on\" (seconds, in0 or in1, on or off)";
            return false;
        }
        changes.push_back(ProgramDryRun::InputChange{std::llround(seconds * 1000),
                                                     input == "in1" ? 1 : 0, state == "on"});
    }
    return true;
}

SimulateCommand::Outcome SimulateCommand::Run(const Options& o, std::ostream& out) {
    try {
        const ProgramSet set = LoadPrograms(o.file);
        if (o.findings != nullptr) {
            ProgramCheck::Options changing;
            for (const auto& change : o.inputs) {
                if (change.input == 0 || change.input == 1) {
                    changing.changingInputs[static_cast<std::size_t>(change.input)] = true;
                }
            }
            CheckCommand::Print(set, o.program, *o.findings, changing);
        }
        std::optional<ControllerBackup> parameters;
        if (o.params) {
            parameters = LoadParameters(*o.params);
        }
        ProgramDryRun::Options run;
        run.limitMs = std::max<std::int64_t>(1, std::llround(o.untilSeconds * 1000));
        run.inputs = o.inputs;
        run.parameters = parameters ? &*parameters : nullptr;
        run.trace = o.trace;
        run.sampleEveryMs = o.csv ? 1 : 0;
        run.startPosition = o.start;
        run.travel = o.travel;
        const ProgramDryRun::Result r = ProgramDryRun::Run(set, o.program, run);
        if (o.json) {
            WriteJson(o, r, run.limitMs, out);
        } else {
            WriteText(o, set, r, run.limitMs, out);
        }
        if (o.csv) {
            WriteCsv(*o.csv, r);
        }
        if (r.breach) {
            return {1, "P" + std::to_string(o.program) + ": " + BreachText(r, *o.travel)};
        }
        if (!r.faults.empty()) {
            const auto& f = r.faults.front();
            return {1, "P" + std::to_string(o.program) + " ends with a fault at " +
                           LineName(f.Program, f.Line) + " after " + Seconds(f.TimeMs)};
        }
        if (!r.ended) {
            return {1, "P" + std::to_string(o.program) + " does not end within " +
                           Seconds(run.limitMs)};
        }
        return {};
    } catch (const Failure& f) {
        return {1, f.message};
    }
}

void SimulateCommand::Simulate(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    Options o = a.simulate;
    o.file = a.positional[0];
    o.program = *a.program;
    o.json = a.json;
    o.findings = &context.Err();
    o.travel = context.LimitOptions();
    o.start = a.start.value_or(0);
    const Outcome outcome = Run(o, context.Out());
    if (outcome.status != Cli::Done) {
        throw CommandFailure{outcome.failure, outcome.status};
    }
}
