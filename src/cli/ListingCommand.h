#pragma once
// kxrd4-cli list and build: a program file's programs as the editor shows
// them (with --raw each line's 8 bytes, lossless), and such a listing built
// back into a program file, the program check's findings on stderr.

class CommandContext;

class ListingCommand {
public:
    // list FILE.kxp [-p N] [--raw]
    static void List(CommandContext& context);
    // build LISTING -o FILE.kxp [--clamp]
    static void Build(CommandContext& context);
};
