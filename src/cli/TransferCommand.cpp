#include "TransferCommand.h"

#include <cstdio>
#include <ostream>

#include "CheckCommand.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandFiles.h"
#include "CommandReport.h"
#include "ProgramDryRun.h"
#include "ProgramListing.h"

namespace {

std::string LineName(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "line %02d of P%d", line, program);
    return text;
}

void StartOrHalt(CommandContext& context, MessageLetter letter) {
    const int program = *context.Arguments().program;
    context.Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
        return s.Byte(letter, static_cast<std::uint8_t>(program), r, e);
    });
    context.Out() << CommandReport::Done(letter, program) << "\n";
}

} // namespace

void TransferCommand::Send(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    ProgramSet set;
    CommandFiles::LoadProgramFile(a.positional[0], set);
    const int p = *a.program;
    if (ProgramCheck::HasErrors(CheckCommand::Print(set, p, context.Err())) && !a.force) {
        throw CommandFailure{"send: P" + std::to_string(p) +
                             " has errors (above); nothing was sent (--force sends it anyway)"};
    }
    ControllerSession& s = context.HeldController(); // the send and its read back
    std::string error;
    // With travel limits kept for the controller, a dry run from where the
    // axis stands now.
    if (const std::optional<TravelLimits> limits = context.Limits()) {
        ProgramDryRun::Options run;
        run.travel = limits;
        std::int32_t velocity = 0;
        if (!s.Status(run.startPosition, velocity, error)) {
            throw CommandFailure{"send: " + error + " (asking the position for the travel check)"};
        }
        if (const auto finding = ProgramDryRun::CheckTravel(set, p, run)) {
            context.Err() << "kxrd4-cli: " << CheckCommand::Text(*finding) << "\n";
            if (!a.force) {
                throw CommandFailure{"send: P" + std::to_string(p) +
                                     " leaves the travel limits of the " +
                                     context.ControllerName() +
                                     " (above); nothing was sent (--force sends it anyway)"};
            }
        }
    }
    if (!s.SendProgram(set, p, error)) {
        throw CommandFailure{"send: " + error};
    }
    out << "P" << p << " sent (25 lines)\n";
    if (!a.verify) {
        return;
    }
    ProgramSet back;
    if (!s.ReadProgram(back, p, error)) {
        throw CommandFailure{"verify: " + error};
    }
    for (int l = 0; l < LinesPerProgram; ++l) {
        if (set.Line(p, l) != back.Line(p, l)) {
            throw CommandFailure{"verify: " + LineName(p, l) + " differs: sent \"" +
                                 RenderLine(l, set.Line(p, l)) + "\" (" +
                                 ProgramListing::RawText(set.Line(p, l)) + "), read back \"" +
                                 RenderLine(l, back.Line(p, l)) + "\" (" +
                                 ProgramListing::RawText(back.Line(p, l)) + ")"};
        }
    }
    out << "P" << p << " verified: the controller holds the 25 lines sent\n";
}

void TransferCommand::Read(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& path = *a.output;
    ProgramSet set;
    CommandFiles::LoadProgramFile(path, set, true); // the other programs are kept
    const int p = *a.program;
    ControllerSession& s = context.HeldController();
    std::string error;
    if (!s.ReadProgram(set, p, error)) {
        throw CommandFailure{"read: " + error + "; " + path + " is left as it was"};
    }
    CommandFiles::SaveProgramFile(path, set);
    context.Out() << "P" << p << " read into " << path << "\n";
}

void TransferCommand::Run(CommandContext& context) {
    // Not while another writer sends a program; a halt never waits.
    ControllerSession& s = context.HeldController();
    const int program = *context.Arguments().program;
    ControllerSession::Reply reply;
    std::string error;
    if (!s.Byte(MessageLetter::ProgramStart, static_cast<std::uint8_t>(program), reply, error)) {
        context.StopWhenInterrupted(program);
        throw CommandFailure{error};
    }
    context.Out() << CommandReport::Done(MessageLetter::ProgramStart, program) << "\n";
    context.StopWhenInterrupted(program);
}

void TransferCommand::Stop(CommandContext& context) {
    StartOrHalt(context, MessageLetter::ProgramHalt);
}
