#include "StartOptions.h"

StartOptions StartOptions::Parse(const std::vector<std::string>& args) {
    StartOptions options;
    for (const std::string& arg : args) {
        if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "-h" || arg == "--help") {
            options.action = Action::Help;
        } else {
            options.action = Action::Error;
            options.error =
                (!arg.empty() && arg[0] == '-' ? "unknown option '" : "unexpected argument '") +
                arg + "'";
            return options;
        }
    }
    return options;
}

std::string StartOptions::Usage() {
    return "usage: kxrd4-pc [--demo] [-h|--help]\n"
           "\n"
           "The desktop tool for the KX-RD4 motion controller: edits, stores, sends and\n"
           "runs motion programs, drives the motor by hand and charts its motion.\n"
           "\n"
           "  --demo      talk to an emulated KX-RD4 inside the tool instead of the\n"
           "              controllers attached to this machine; the window title and the\n"
           "              connection panel say \"symulator\"\n"
           "  -h, --help  this text\n";
}
