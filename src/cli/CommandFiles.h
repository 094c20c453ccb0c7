#pragma once
// The files the commands of kxrd4-cli read and write: program files of exactly
// 2000 bytes and text (listings, backups; "-" is standard input). Failures are
// thrown as CommandFailure, naming the file.

#include <string>

#include "ProgramSet.h"

class CommandFiles {
public:
    // A program file of exactly 2000 bytes into set. Shorter or longer files
    // are refused (the window pads or cuts them), so nothing is sent or listed
    // that the file does not hold. With missingOk, a missing file leaves set
    // as it is and gives false.
    static bool LoadProgramFile(const std::string& path, ProgramSet& set, bool missingOk = false);
    // Writes the ten programs; an existing file is replaced whole or kept.
    static void SaveProgramFile(const std::string& path, const ProgramSet& set);
    // The whole text of path ("-": standard input).
    static std::string ReadText(const std::string& path);
};
