#include "ListingCommand.h"

#include <ostream>
#include <vector>

#include "CheckCommand.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandFiles.h"
#include "ProgramListing.h"
#include "TextFile.h"

void ListingCommand::List(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    ProgramSet set;
    CommandFiles::LoadProgramFile(a.positional[0], set);
    std::vector<int> programs;
    if (a.program) {
        programs.push_back(*a.program);
    } else {
        for (int p = 0; p < ProgramCount; ++p) {
            programs.push_back(p);
        }
    }
    const std::string listing = ProgramListing::Write(set, programs, a.raw);
    if (!a.output || *a.output == "-") {
        context.Out() << listing;
    } else if (!TextFile::Write(*a.output, listing)) {
        throw CommandFailure{"cannot write " + *a.output + " (it is left as it was)"};
    }
}

void ListingCommand::Build(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& path = a.positional[0];
    const std::string text = CommandFiles::ReadText(path);
    ProgramSet set;
    ProgramListing::Error error;
    ProgramListing::Coverage coverage;
    if (!ProgramListing::Parse(text, a.clamp, set, error, coverage)) {
        throw CommandFailure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message +
                             "; nothing was written"};
    }
    bool anyLine = false;
    for (const auto& program : coverage.line) {
        for (const int at : program) {
            anyLine = anyLine || at != 0;
        }
    }
    if (!anyLine) {
        // Nothing to build: an empty or wrong file (the wrong one given, a
        // redirection that failed) must not become ten empty programs.
        throw CommandFailure{path + " holds no program line ([00] to [24]" +
                                 std::string(text.empty() ? ", it is empty" : "") +
                                 "); nothing was written",
                             Cli::Usage};
    }
    CommandFiles::SaveProgramFile(*a.output, set);
    CheckCommand::Print(set, std::nullopt, context.Err());
}
