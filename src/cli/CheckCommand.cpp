#include "CheckCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <istream>
#include <iterator>
#include <ostream>

#include "FileAccess.h"
#include "JsonText.h"
#include "ProgramListing.h"

namespace {

constexpr std::size_t MaxListingBytes = 1 << 20;

struct Loaded {
    bool ok = false;
    std::string message;
};

bool IsProgramFileName(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".kxp";
}

Loaded Load(const std::string& path, std::istream& in, ProgramSet& set) {
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        switch (FileAccess::ReadWhole(path, MaxListingBytes, text)) {
        case FileAccess::ReadStatus::Missing:
            return {false, "cannot open " + path + ": no such file"};
        case FileAccess::ReadStatus::Failed:
            return {false, "cannot read " + path + ": not a readable file of at most 1 MiB"};
        case FileAccess::ReadStatus::Ok:
            break;
        }
    }
    if (path != "-" && IsProgramFileName(path)) {
        if (text.size() != static_cast<std::size_t>(ProgramSetBytes)) {
            return {false, path + " is not a program file: it has " + std::to_string(text.size()) +
                               " bytes, a program file has exactly 2000"};
        }
        std::copy(text.begin(), text.end(), set.Data());
        return {true, {}};
    }
    ProgramListing::Error error;
    if (!ProgramListing::Parse(text, false, set, error)) {
        return {false, path + ":" + std::to_string(error.lineNumber) + ": " + error.message};
    }
    return {true, {}};
}

std::vector<ProgramCheck::Finding> Findings(const ProgramSet& set, std::optional<int> program,
                                            const ProgramCheck::Options& options = {}) {
    return program ? ProgramCheck::CheckProgram(set, *program, options)
                   : ProgramCheck::CheckAll(set, options);
}

std::string Count(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

} // namespace

CheckCommand::Result CheckCommand::Run(const std::string& path, std::optional<int> program,
                                       bool warningsAsErrors, bool json, std::istream& in,
                                       std::ostream& out) {
    ProgramSet set;
    const Loaded loaded = Load(path, in, set);
    if (!loaded.ok) {
        return {2, loaded.message + "; nothing was checked"};
    }
    const auto findings = Findings(set, program);
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

std::vector<ProgramCheck::Finding> CheckCommand::Print(const ProgramSet& set,
                                                       std::optional<int> program,
                                                       std::ostream& out,
                                                       const ProgramCheck::Options& options) {
    auto findings = Findings(set, program, options);
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
           ",\"line\":" + std::to_string(finding.line) + ",\"grade\":\"" +
           (finding.grade == ProgramCheck::Grade::Error ? "error" : "warning") + "\",\"code\":\"" +
           ProgramCheck::Code(finding.kind) + "\",\"text\":" + JsonText::Quote(finding.english) +
           "}";
}

std::string CheckCommand::Summary(const std::vector<ProgramCheck::Finding>& findings) {
    const auto errors =
        static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(), [](const auto& f) {
            return f.grade == ProgramCheck::Grade::Error;
        }));
    return Count(errors, "error") + ", " + Count(findings.size() - errors, "warning");
}
