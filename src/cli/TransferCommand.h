#pragma once
// kxrd4-cli send, read, run and stop: one program between a program file and
// the KX-RD4 (send waits until the controller reports it stored, refuses a
// program the check finds errors in unless --force, and with --verify reads it
// back and compares), and the start and stop of a program.

class CommandContext;

class TransferCommand {
public:
    // send FILE.kxp -p N [--verify] [--force]
    static void Send(CommandContext& context);
    // read -p N -o FILE.kxp: the other programs of an existing file are kept.
    static void Read(CommandContext& context);
    // run -p N
    static void Run(CommandContext& context);
    // stop -p N
    static void Stop(CommandContext& context);
};
