#pragma once
// The program file (*.kxp): exactly the 2000 bytes of the program set in memory
// order, no header. Paths are UTF-8.

#include <string>

#include "ProgramSet.h"

// The window caption for the file in use: "KX-RD4 PC  -  [" + currentFile + "]",
// or "KX-RD4 PC  -  [Nowy]" when no file is in use (empty).
std::string FileCaption(const std::string& currentFile);

// Writes the whole set to path. The old file is replaced only by the complete
// new one (temporary file in the same folder, flushed, renamed over the
// target); on any failure it stays as it was and false is returned.
bool WriteProgramFile(const std::string& path, const ProgramSet& set);

// Reads path into the whole set: a shorter file fills the remaining bytes with
// 0xFF, a longer one gives its first 2000 bytes. A file that cannot be read
// (missing, a directory, no permission, a read error) returns false and leaves
// the set untouched.
bool ReadProgramFile(const std::string& path, ProgramSet& set);

// True when a regular file (not a directory) exists at path.
bool FileExists(const std::string& path);
