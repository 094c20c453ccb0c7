#pragma once
// The programs a command reads from FILE: a program file (a name ending in
// .kxp: exactly its 2000 bytes) or a listing as build reads it ("-" reads the
// listing from standard input); any other 2000-byte file that does not read as
// a listing is taken as a program file. At most 1 MiB is read. Text is read as
// Windows editors save it too: UTF-8 with a byte order mark, or UTF-16 with
// one (TextEncoding).

#include <iosfwd>
#include <string>

#include "ProgramSet.h"

class ProgramInput {
public:
    static constexpr std::size_t MaxBytes = 1 << 20;

    // Whether the name ends in .kxp (in any case): a program file.
    static bool IsProgramFileName(const std::string& path);

    // The whole file as UTF-8 text; false with an English message ("cannot
    // open X: no such file").
    static bool ReadText(const std::string& path, std::string& text, std::string& error);
    // The same, where "-" reads in.
    static bool ReadText(const std::string& path, std::istream& in, std::string& text,
                         std::string& error);
    // The programs of path (or of in for "-"); false with an English message
    // ("X:3: ..." for a listing) and set unchanged.
    static bool Load(const std::string& path, std::istream& in, ProgramSet& set,
                     std::string& error);
};
