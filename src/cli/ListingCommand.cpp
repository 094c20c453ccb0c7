#include "ListingCommand.h"

#include <ostream>
#include <vector>

#include "CheckCommand.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandFiles.h"
#include "ProgramListing.h"

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
    context.Out() << ProgramListing::Write(set, programs, a.raw);
}

void ListingCommand::Build(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& path = a.positional[0];
    const std::string text = CommandFiles::ReadText(path);
    ProgramSet set;
    ProgramListing::Error error;
    if (!ProgramListing::Parse(text, a.clamp, set, error)) {
        throw CommandFailure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message +
                             "; nothing was written"};
    }
    CommandFiles::SaveProgramFile(*a.output, set);
    CheckCommand::Print(set, std::nullopt, context.Err());
}
