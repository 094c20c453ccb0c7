#include "StartOptions.h"

#include <charconv>

StartOptions StartOptions::Parse(const std::vector<std::string>& args) {
    StartOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--demo-lag" || arg == "--demo-lose-steps") {
            const bool lag = arg == "--demo-lag";
            const int max = lag ? 10'000 : 1'000'000;
            int amount = -1;
            const std::string text = i + 1 < args.size() ? args[i + 1] : std::string();
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), amount);
            if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
                amount < 0 || amount > max) {
                options.action = Action::Error;
                options.error = arg + " needs a whole number from 0 to " + std::to_string(max);
                return options;
            }
            ++i;
            (lag ? options.demoLagMs : options.demoLostSteps) = amount;
            options.demo = true;
        } else if (arg == "-h" || arg == "--help") {
            options.action = Action::Help;
        } else if (arg == "--version") {
            if (options.action != Action::Help)
                options.action = Action::Version;
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
    return "usage: kxrd4-pc [--demo] [--demo-lag MS] [--demo-lose-steps N] [-h|--help]\n"
           "                [--version]\n"
           "\n"
           "The desktop tool for the KX-RD4 motion controller: edits, stores, sends and\n"
           "runs motion programs, drives the motor by hand and charts its motion.\n"
           "\n"
           "  --demo      talk to an emulated KX-RD4 inside the tool instead of the\n"
           "              controllers attached to this machine; the window title and the\n"
           "              connection panel say \"symulator\"\n"
           "  --demo-lag MS\n"
           "              the demo with an imperfect axis that follows its profile MS\n"
           "              milliseconds late (0..10000)\n"
           "  --demo-lose-steps N\n"
           "              the demo with an imperfect axis whose every position move ends N\n"
           "              steps short (0..1000000)\n"
           "  -h, --help  this text\n"
           "  --version   the version of the tool\n";
}
