#pragma once
// The command line of kxrd4-pc: [--demo] [--demo-lag MS] [--demo-lose-steps N]
// [-h|--help]. Read before the
// application exists, so that the help needs no display.

#include <string>
#include <vector>

class StartOptions {
public:
    enum class Action {
        Run,     // start the tool
        Help,    // print the usage and end (status 0)
        Version, // print "kxrd4-pc <version>" and end (status 0)
        Error    // print the error and the usage and end (status 2)
    };

    Action action = Action::Run;
    // The emulated controller inside the tool instead of the platform's HID
    // devices.
    bool demo = false;
    // The demo's axis made imperfect (each implies --demo): it follows its
    // profile this many ms late, and every position move ends this many steps
    // short.
    int demoLagMs = 0;
    int demoLostSteps = 0;
    std::string error;

    // args: the arguments after the program name.
    static StartOptions Parse(const std::vector<std::string>& args);
    static std::string Usage();
};
