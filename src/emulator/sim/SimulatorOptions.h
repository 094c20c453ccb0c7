#pragma once
// The command line of kxrd4-sim: [-v|--verbose] [--serial S] [--lag MS]
// [--lose-steps N] [-h|--help] [--version].

#include <string>

#include "EmulatedAxis.h"
#include <vector>

class SimulatorOptions {
public:
    bool verbose = false;
    bool help = false;
    bool version = false;            // print the version and end (the help wins)
    std::string serial;              // the device's serial number; empty: a unique one is made
    EmulatedAxis::Imperfection axis; // --lag, --lose-steps: an imperfect axis
    std::string error;               // not empty: the command line is wrong (exit status 2)

    // args: the arguments after the program name.
    static SimulatorOptions Parse(const std::vector<std::string>& args);
    static std::string Usage();
};
