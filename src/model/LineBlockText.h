#pragma once
// Lines of one program as text, for the clipboard and the editor's text view,
// in the listing form of ProgramListing: "P3", then "[07]  X_DST  +0001000"
// optionally followed by " | " and the eight bytes in hexadecimal.
//
// Reading is lenient where an operator types: the "Pn" header may be left
// out, and a line without "[NN]" is the line after the one before it (the
// first one is line 00), so "V_MAX 00500" on its own line is line 00. A text
// holds one program; numbers outside their command's range are errors.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramListing.h"
#include "ProgramSet.h"

class LineBlockText {
public:
    using Error = ProgramListing::Error;
    using ProgramLines = std::array<ProgramLine, LinesPerProgram>;

    // Lines first..last of the program, lossless: "Pn" and each line with its
    // raw bytes, one text line each, ending in a line feed.
    static std::string Write(const ProgramSet& set, int program, int first, int last);
    // The 25 lines of the program as the editor shows them, without header
    // and raw bytes (the text view).
    static std::string WritePlain(const ProgramSet& set, int program);

    // The lines of a text: from the lowest line number it gives to the
    // highest, the lines it does not give being empty.
    struct Block {
        int first = 0;
        std::vector<ProgramLine> lines;
    };
    // Returns false with the first error (its 1-based line of the text).
    static bool Parse(std::string_view text, Block& block, Error& error);

    // A whole program from the text view: lines the text does not give are
    // empty, and a line whose text reads as the program's present line shows
    // keeps that line's bytes, so that editing a few lines loses nothing in
    // the others.
    static bool ParseProgram(std::string_view text, const ProgramSet& set, int program,
                             ProgramLines& lines, Error& error);
};
