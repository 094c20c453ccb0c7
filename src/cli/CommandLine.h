#pragma once
// The program's arguments as UTF-8 text and a console that shows UTF-8, on
// every system: CommandLinePosix.cpp or CommandLineWindows.cpp, picked by CMake.

#include <string>
#include <vector>

// The arguments after the program's name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show the UTF-8 text the tool writes; the console's code
// page is put back when the tool ends (on Windows, where it outlives the tool).
void UseUtf8Console();
