#include "CheckCommand.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <ostream>

#include "CommandContext.h"
#include "CommandFailure.h"
#include "JsonText.h"
#include "ProgramDryRun.h"
#include "ProgramInput.h"

namespace {

std::vector<ProgramCheck::Finding> Findings(const ProgramSet& set, std::optional<int> program,
                                            const ProgramCheck::Options& options,
                                            const CheckCommand::Travel& travel) {
    auto findings = program ? ProgramCheck::CheckProgram(set, *program, options)
                            : ProgramCheck::CheckAll(set, options);
    if (!travel.limits) {
        return findings;
    }
    ProgramDryRun::Options run;
    run.travel = travel.limits;
    run.startPosition = travel.start;
    for (int p = 0; p < ProgramCount; ++p) {
        // (A program without lines runs past its end at once, moving nothing.)
        if (program && p != *program) {
            continue;
        }
        if (const auto finding = ProgramDryRun::CheckTravel(set, p, run)) {
            ProgramCheck::Insert(findings, *finding);
        }
    }
    return findings;
}

std::string Count(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

} // namespace

void CheckCommand::Check(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    Travel travel{context.LimitOptions(), a.start.value_or(0)};
    const Result r = Run(a.positional[0], a.program, a.warningsAsErrors, a.json, std::cin,
                         context.Out(), travel);
    if (r.status != Cli::Done) {
        throw CommandFailure{r.message, r.status};
    }
}

CheckCommand::Result CheckCommand::Run(const std::string& path, std::optional<int> program,
                                       bool warningsAsErrors, bool json, std::istream& in,
                                       std::ostream& out, const Travel& travel) {
    ProgramSet set;
    std::string error;
    if (!ProgramInput::Load(path, in, set, error)) {
        return {2, error + "; nothing was checked"};
    }
    const auto findings = Findings(set, program, {}, travel);
    const std::string scope = program ? "P" + std::to_string(*program) : std::string("programs");
    if (json) {
        out << "{\"findings\":[";
        for (std::size_t i = 0; i < findings.size(); ++i) {
            out << (i == 0 ? "" : ",") << Json(findings[i]);
        }
        const auto errors = std::count_if(findings.begin(), findings.end(), [](const auto& f) {
            return f.grade == ProgramCheck::Grade::Error;
        });
        out << "],\"errors\":" << errors
            << ",\"warnings\":" << static_cast<long>(findings.size()) - errors << "}\n";
    } else {
        for (const auto& finding : findings) {
            out << Text(finding) << "\n";
        }
        out << scope << ": " << (findings.empty() ? "no findings" : Summary(findings)) << "\n";
    }
    if (ProgramCheck::HasErrors(findings)) {
        return {1, scope + ": " + Summary(findings)};
    }
    if (warningsAsErrors && ProgramCheck::HasWarnings(findings)) {
        return {1, scope + ": " + Summary(findings) + " (--warnings-as-errors)"};
    }
    return {};
}

std::vector<ProgramCheck::Finding>
CheckCommand::Print(const ProgramSet& set, std::optional<int> program, std::ostream& out,
                    const ProgramCheck::Options& options, const Travel& travel) {
    auto findings = Findings(set, program, options, travel);
    for (const auto& finding : findings) {
        out << "kxrd4-cli: " << Text(finding) << "\n";
    }
    return findings;
}

std::string CheckCommand::Text(const ProgramCheck::Finding& finding) {
    char where[32];
    std::snprintf(where, sizeof where, "P%d [%02d] ", finding.program, finding.line);
    return where +
           std::string(finding.grade == ProgramCheck::Grade::Error ? "error: " : "warning: ") +
           finding.english;
}

std::string CheckCommand::Json(const ProgramCheck::Finding& finding) {
    return "{\"program\":" + std::to_string(finding.program) +
           ",\"line\":" + std::to_string(finding.line) +
           (finding.lastLine >= 0 ? ",\"lastLine\":" + std::to_string(finding.lastLine) : "") +
           ",\"grade\":\"" + (finding.grade == ProgramCheck::Grade::Error ? "error" : "warning") +
           "\",\"code\":\"" + ProgramCheck::Code(finding.kind) +
           "\",\"text\":" + JsonText::Quote(finding.english) + "}";
}

std::string CheckCommand::Summary(const std::vector<ProgramCheck::Finding>& findings) {
    const auto errors =
        static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(), [](const auto& f) {
            return f.grade == ProgramCheck::Grade::Error;
        }));
    return Count(errors, "error") + ", " + Count(findings.size() - errors, "warning");
}
