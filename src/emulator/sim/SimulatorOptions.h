#pragma once
// The command line of kxrd4-sim: [-v|--verbose] [-h|--help].

#include <string>
#include <vector>

class SimulatorOptions {
public:
    bool verbose = false;
    bool help = false;
    std::string error; // not empty: the command line is wrong (exit status 2)

    // args: the arguments after the program name.
    static SimulatorOptions Parse(const std::vector<std::string>& args);
    static std::string Usage();
};
