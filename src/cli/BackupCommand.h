#pragma once
// kxrd4-cli backup, restore and diff: the whole controller (every readable
// parameter and the ten programs) in one text file (.kxb), written back with
// every item read back and compared, and compared with the controller or with
// another file (.kxb or .kxp) as diff(1) does: exit 0 same, 1 differ, 2
// trouble.

#include <string>

class CommandContext;
class ControllerBackup;

class BackupCommand {
public:
    // backup [-o FILE.kxb|-]
    static void Backup(CommandContext& context);
    // restore FILE.kxb [--programs LIST] [--parameters] [--homing] [--dry-run]
    static void Restore(CommandContext& context);
    // diff FILE [FILE2] [--format json]
    static void Diff(CommandContext& context);

private:
    static ControllerBackup ReadController(CommandContext& context);
    // A backup file, or a program file (its ten programs).
    static ControllerBackup Load(const std::string& path);
};
