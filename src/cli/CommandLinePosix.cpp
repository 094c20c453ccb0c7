#include "CommandLine.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // The arguments are the bytes the shell passed, UTF-8 in a UTF-8 locale.
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Console() {}
