#pragma once
// kxrd4-cli limits [--min X] [--max X] [--vmax V] [--clear]: the travel limits
// of the KX-RD4 in use, kept on this PC in config.ini (section TravelLimits,
// by serial number, else USB port), the same the window keeps on "Opcje".
// Without options they are shown; --min and --max (both, when none are kept
// yet) and --vmax set them; --clear removes them. The controller holds none.

class CommandContext;

class LimitsCommand {
public:
    static void Run(CommandContext& context);
};
