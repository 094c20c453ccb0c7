#pragma once
// kxrd4-cli restore FILE --all: one backup restored onto every KX-RD4
// plugged, in parallel (RestoreAll), each read back and verified; one line
// per controller (--format json: one object a line) with its serial number
// and result. Exit 0 only when every one is verified.

class CommandContext;

class RestoreAllCommand {
public:
    static void Run(CommandContext& context);
};
