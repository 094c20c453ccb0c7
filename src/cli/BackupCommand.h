#pragma once
// kxrd4-cli backup, restore and diff: the whole controller (every readable
// parameter and the ten programs) in one text file (.kxb), written back with
// every item read back and compared, and compared with the controller or with
// another file (.kxb or .kxp) as diff(1) does: exit 0 same, 1 differ, 2
// trouble.

#include <iosfwd>
#include <string>

#include "BackupSession.h"
#include "DeviceIdentity.h"

class CommandContext;
class ControllerBackup;

class BackupCommand {
public:
    // backup [-o FILE.kxb|-]
    static void Backup(CommandContext& context);
    // restore FILE.kxb [--programs LIST] [--parameters] [--homing] [--dry-run]
    // (--all: RestoreAllCommand)
    static void Restore(CommandContext& context);
    // diff FILE [FILE2] [--format json]
    static void Diff(CommandContext& context);

    // A backup file, or a program file (its ten programs).
    static ControllerBackup Load(const std::string& path);
    // What restore writes of file: --programs, --parameters, --homing
    // (notes about it on the error stream).
    static BackupSession::Selection Selection(CommandContext& context,
                                              const ControllerBackup& file);
    // Keeps the travel limits of file's [limits] on this PC for the
    // controller (by its serial number, else its port), saying so on out.
    static void KeepLimits(CommandContext& context, const ControllerBackup& file,
                           const DeviceIdentity& identity, const std::string& name,
                           std::ostream& out);

private:
    static ControllerBackup ReadController(CommandContext& context);
};
