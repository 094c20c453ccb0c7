#include "BackupCommand.h"

#include <ctime>
#include <ostream>
#include <string_view>
#include <vector>

#include "BackupComparison.h"
#include "BackupHeader.h"
#include "BackupSession.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandFiles.h"
#include "ControllerBackup.h"
#include "FileAccess.h"
#include "ProgramInput.h"
#include "RestoreAllCommand.h"
#include "SettingsFile.h"

#ifndef KXRD4_VERSION
#define KXRD4_VERSION "unknown"
#endif

ControllerBackup BackupCommand::ReadController(CommandContext& context) {
    ControllerSession& s = context.Controller();
    ControllerBackup backup;
    std::string error;
    BackupSession session(s);
    session.SetProgress([&context](int, int) { return !context.Interrupted(); });
    if (!session.Read(backup, error)) {
        throw CommandFailure{"reading the controller: " + error};
    }
    return backup;
}

ControllerBackup BackupCommand::Load(const std::string& path) {
    // A program file is told by its name, or by its raw bytes before any text
    // decoding; one of the wrong size is refused as such, not read as text.
    if (path != "-" && ProgramInput::IsProgramFileName(path)) {
        ProgramSet set;
        CommandFiles::LoadProgramFile(path, set);
        return ControllerBackup::FromPrograms(set);
    }
    std::vector<std::uint8_t> raw;
    if (path != "-" &&
        FileAccess::ReadPrefix(path, ProgramSetBytes + 1, raw) == FileAccess::ReadStatus::Ok &&
        raw.size() == static_cast<std::size_t>(ProgramSetBytes)) {
        const std::string_view bytes(reinterpret_cast<const char*>(raw.data()), raw.size());
        if (bytes.find("[programs]") == std::string_view::npos &&
            bytes.find("[parameters]") == std::string_view::npos) {
            ProgramSet set;
            CommandFiles::LoadProgramFile(path, set);
            return ControllerBackup::FromPrograms(set);
        }
    }
    const std::string text = CommandFiles::ReadText(path);
    ControllerBackup backup;
    ControllerBackup::Error error;
    if (!ControllerBackup::Parse(text, backup, error)) {
        throw CommandFailure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message};
    }
    return backup;
}

void BackupCommand::Backup(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    ControllerBackup backup = ReadController(context);
    backup.limits = context.Limits(); // the PC's, carried along
    const std::string text = backup.Write(BackupHeader::Comments(
        "kxrd4-cli " KXRD4_VERSION, context.ControllerIdentity(), std::time(nullptr)));
    if (!a.output || *a.output == "-") {
        context.Out() << text;
        return;
    }
    if (!FileAccess::WriteAtomically(*a.output, text.data(), text.size())) {
        throw CommandFailure{"cannot write " + *a.output + " (it is left as it was)"};
    }
    context.Out() << "backup of the " << context.ControllerName() << " written to " << *a.output
                  << "\n";
}

BackupSession::Selection BackupCommand::Selection(CommandContext& context,
                                                  const ControllerBackup& file) {
    const CommandArguments& a = context.Arguments();
    BackupSession::Selection selection;
    const bool all = !a.programs && !a.parametersOnly;
    if (a.programs) {
        selection.programs = *a.programs;
    } else if (all) {
        selection.programs.fill(true);
    }
    selection.parameters = all || a.parametersOnly;
    selection.homing = a.homing;
    if (selection.homing && file.parameters.count("home") != 0 && !a.dryRun) {
        context.Err() << "kxrd4-cli: --homing: writing the homing velocity starts homing\n";
    }
    for (int p = 0; p < ProgramCount; ++p) {
        const int listed = file.listedLines[static_cast<std::size_t>(p)];
        if (file.hasProgram[static_cast<std::size_t>(p)] &&
            selection.programs[static_cast<std::size_t>(p)] && listed < LinesPerProgram) {
            context.Err() << "kxrd4-cli: P" << p << " lists " << listed << " of its 25 lines in "
                          << a.positional[0] << "; the other " << LinesPerProgram - listed
                          << " are written empty\n";
        }
    }
    return selection;
}

void BackupCommand::KeepLimits(CommandContext& context, const ControllerBackup& file,
                               const DeviceIdentity& identity, const std::string& name,
                               std::ostream& out) {
    const std::string& path = context.Arguments().positional[0];
    const std::string key = TravelLimits::KeyFor(identity.serial, identity.port);
    if (key.empty()) {
        out << "travel limits of " << path << " not kept: the " << name
            << " tells neither a serial number nor a USB port\n";
        return;
    }
    try {
        SettingsFile(context.SettingsPath())
            .WriteString(TravelLimits::Section, key, file.limits->Text());
        out << "travel limits " << file.limits->min << ".." << file.limits->max
            << (file.limits->vmax ? ", vmax " + std::to_string(*file.limits->vmax) : std::string())
            << " kept on this PC for the " << name << "\n";
    } catch (const std::runtime_error& error) {
        throw CommandFailure{"restore: travel limits not kept: " + std::string(error.what())};
    }
}

void BackupCommand::Restore(CommandContext& context) {
    if (context.Arguments().all) {
        RestoreAllCommand::Run(context);
        return;
    }
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    const std::string& path = a.positional[0];
    const ControllerBackup file = Load(path);
    const BackupSession::Selection selection = Selection(context, file);
    const std::vector<std::string> leftAlone = BackupSession::LeftAlone(file, selection);
    auto tellLeftAlone = [&] {
        if (leftAlone.empty()) {
            return;
        }
        out << "left as they are (not in " << path << "):";
        for (std::size_t i = 0; i < leftAlone.size(); ++i) {
            out << (i == 0 ? " " : ", ") << leftAlone[i];
        }
        out << "\n";
    };
    if (a.dryRun) {
        const ControllerBackup current = ReadController(context);
        const auto plan = BackupSession::Plan(file, current, selection);
        if (plan.empty()) {
            out << "nothing to change: the " << context.ControllerName() << " holds " << path
                << "\n";
            tellLeftAlone();
            return;
        }
        out << "would change on the " << context.ControllerName() << " (nothing written):\n"
            << BackupSession::Table(plan);
        tellLeftAlone();
        return;
    }
    ControllerSession& s = context.HeldController();
    BackupSession session(s);
    session.SetProgress([&context](int, int) { return !context.Interrupted(); });
    const auto items = session.Restore(file, selection);
    out << BackupSession::Table(items);
    tellLeftAlone();
    if (file.limits && selection.parameters && !context.Interrupted()) {
        // The PC's own part of the backup: kept here, not written anywhere.
        KeepLimits(context, file, context.ControllerIdentity(), context.ControllerName(), out);
    }
    if (context.Interrupted()) {
        throw CommandFailure{
            "restore of " + path +
            " interrupted: what the table above marks not restored was not written"};
    }
    if (!BackupSession::AllVerified(items)) {
        throw CommandFailure{"restore of " + path +
                             " is not complete: the items above marked DIFFERS or FAILED"};
    }
    out << "restored " << path << " onto the " << context.ControllerName()
        << ": every item written was read back and verified\n";
}

void BackupCommand::Diff(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& first = a.positional[0];
    ControllerBackup left;
    std::string leftName;
    ControllerBackup right;
    std::string rightName;
    try {
        if (a.positional.size() == 2) {
            left = Load(first);
            leftName = first;
            right = Load(a.positional[1]);
            rightName = a.positional[1];
        } else {
            right = Load(first);
            rightName = first;
            left = ReadController(context);
            leftName = context.ControllerName();
        }
    } catch (CommandFailure& f) {
        // As diff(1): 2 is trouble. No KX-RD4, or several and none chosen,
        // keep the 3 and 4 of every device command (above 1 all the same).
        if (f.status != Cli::NoDevice && f.status != Cli::SeveralDevices) {
            f.status = Cli::Trouble;
        }
        throw;
    }
    if (a.positional.size() == 1) {
        // The controller cannot be asked for these: a file that gives them
        // has nothing to be compared with.
        for (const std::string& name : right.DropUnreadable()) {
            context.Err() << "kxrd4-cli: " << name
                          << " cannot be read from the KX-RD4: not compared\n";
        }
    }
    const auto comparison = BackupComparison::Compare(left, right);
    context.Out() << (a.json ? comparison.Json(leftName, rightName)
                             : comparison.Text(leftName, rightName));
    if (!comparison.Same()) {
        throw CommandFailure{comparison.Summary()};
    }
}
