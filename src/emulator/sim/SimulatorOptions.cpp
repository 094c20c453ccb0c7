#include "SimulatorOptions.h"

#include <optional>

#include "IntegerText.h"

namespace {

// A whole number within 0..max, in decimal.
std::optional<int> Amount(const std::string& text, int max) {
    const std::optional<std::int32_t> value = IntegerText::Parse(text);
    if (!value || *value < 0 || *value > max ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return *value;
}

} // namespace

SimulatorOptions SimulatorOptions::Parse(const std::vector<std::string>& args) {
    SimulatorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--serial") {
            // uhid keeps at most 63 bytes; the serial must tell devices apart.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].size() > 63) {
                options.error = "--serial needs a serial number of 1 to 63 characters";
                return options;
            }
            options.serial = args[++i];
        } else if (arg == "--lag" || arg == "--lose-steps") {
            const bool lag = arg == "--lag";
            const int max = lag ? EmulatedAxis::Imperfection::MaxLagMs
                                : EmulatedAxis::Imperfection::MaxLostSteps;
            const std::optional<int> amount =
                i + 1 < args.size() ? Amount(args[i + 1], max) : std::nullopt;
            if (!amount) {
                options.error = arg + " needs a whole number from 0 to " + std::to_string(max) +
                                (lag ? " (milliseconds)" : " (steps)");
                return options;
            }
            ++i;
            (lag ? options.axis.lagMs : options.axis.lostSteps) = *amount;
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            options.error =
                (!arg.empty() && arg[0] == '-' ? "unknown option '" : "unexpected argument '") +
                arg + "'";
            return options;
        }
    }
    return options;
}

std::string SimulatorOptions::Usage() {
    return "usage: kxrd4-sim [-v|--verbose] [--serial S] [--lag MS] [--lose-steps N]\n"
           "                 [-h|--help] [--version]\n"
           "\n"
           "Plugs an emulated KX-RD4 motion controller into this machine through /dev/uhid\n"
           "(product \"KX-RD4\", USB vendor 1A2B, product 000C, 64-byte reports with report\n"
           "ID 1), so that kxrd4-pc and any other HID program find it as hardware. The\n"
           "emulator answers every request, runs the stored programs and moves its axis.\n"
           "\n"
           "Commands on standard input, one per line:\n"
           "  in N on|off  set input N (0 or 1), for W_INP and J_INP lines\n"
           "  status       position, velocity, ENABLE, program, inputs, outputs\n"
           "  help         the commands\n"
           "  quit         remove the device and end\n"
           "At the end of standard input (for example </dev/null in a script) the simulator\n"
           "keeps running. Ctrl+C, SIGTERM or SIGHUP remove the device and end it.\n"
           "\n"
           "  -v, --verbose  also log each request and the letters of its replies\n"
           "  --serial S     the device's serial number (HID serial string), so that\n"
           "                 several simulators can be told apart; give each its own\n"
           "  --lag MS       an imperfect axis that follows its profile MS milliseconds\n"
           "                 late (a program's move ends when the late axis is at rest)\n"
           "  --lose-steps N an imperfect axis whose every position move ends N steps\n"
           "                 short of its target (the shortfall adds up)\n"
           "  -h, --help     this text\n"
           "  --version      the version of the simulator\n"
           "\n"
           "Faults of a running program, and with -v every request, are logged on standard\n"
           "error. Needs write access to /dev/uhid (module uhid; root, or a udev rule).\n";
}
