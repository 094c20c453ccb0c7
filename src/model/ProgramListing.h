#pragma once
// The text listing of program files: each program headed "P0".."P9", each line
// exactly as the editor shows it, optionally followed by " | " and its eight
// bytes in hexadecimal so that the listing is lossless; and the reverse, which
// builds a program set from such a listing.
//
// A listing is read line by line. Blank lines and lines starting with "#" are
// skipped; "Pn" starts program n; "[NN] ..." is line NN of the program last
// started. A line with raw bytes is those bytes (its text, when present, must
// read as the bytes do); a line without them is encoded as the line edit
// dialog encodes its fields. Programs and lines not in the listing stay empty.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramSet.h"

class ProgramListing {
public:
    // Separates a line's text from its raw bytes.
    static constexpr std::string_view RawSeparator = " | ";

    // The listing of the given programs (each 0..9), in the given order.
    static std::string Write(const ProgramSet& set, const std::vector<int>& programs, bool raw);

    // "01 00 00 05 00 00 00 00": the eight bytes in uppercase hexadecimal.
    static std::string RawText(const ProgramLine& line);

    struct Error {
        int lineNumber = 0;  // 1-based line of the listing
        std::string message; // English, names the program line and the cause
    };

    // Builds set (which the caller has cleared) from a listing. With clamp, a
    // number outside its command's range is clamped as the dialog clamps it;
    // without, it is an error. Returns false with the first error; set may
    // then hold part of the listing and must not be used.
    static bool Parse(std::string_view listing, bool clamp, ProgramSet& set, Error& error);

    // Where each program header and program line stands in the listing
    // (1-based line numbers, 0 where it is not listed).
    struct Coverage {
        std::array<int, ProgramCount> header{};
        std::array<std::array<int, LinesPerProgram>, ProgramCount> line{};
    };
    static bool Parse(std::string_view listing, bool clamp, ProgramSet& set, Error& error,
                      Coverage& coverage);
};
