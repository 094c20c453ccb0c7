#include "Cli.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <ostream>
#include <set>

#include "BackupCommand.h"
#include "CheckCommand.h"
#include "CommandArguments.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "DeviceListCommand.h"
#include "IntegerText.h"
#include "LimitsCommand.h"
#include "ListingCommand.h"
#include "MotionCommand.h"
#include "ParameterCommand.h"
#include "RecordCommand.h"
#include "SimulateCommand.h"
#include "TransferCommand.h"
#include "UsageError.h"

#ifndef KXRD4_VERSION
#define KXRD4_VERSION "unknown"
#endif

namespace {

using Arguments = CommandArguments;

// Which options each command takes, how many positional arguments, and what
// runs it.
struct CommandRule {
    std::set<std::string> options;
    std::size_t minPositional;
    std::size_t maxPositional;
    const char* synopsis;
    void (*run)(CommandContext&);
};

const std::map<std::string, CommandRule>& Rules() {
    static const std::map<std::string, CommandRule> rules = {
        {"list",
         {{"--program", "--raw", "--output"},
          1,
          1,
          "list FILE.kxp [-p N] [--raw] [-o FILE]",
          ListingCommand::List}},
        {"build",
         {{"--output", "--clamp"},
          1,
          1,
          "build LISTING -o FILE.kxp [--clamp]",
          ListingCommand::Build}},
        {"check",
         {{"--program", "--warnings-as-errors", "--format", "--min", "--max", "--vmax", "--start"},
          1,
          1,
          "check FILE [-p N] [--warnings-as-errors] [--format json] [--min X --max X [--vmax V] "
          "[--start X]]",
          CheckCommand::Check}},
        {"devices",
         {{"--timeout", "--format"}, 0, 0, "devices [--format json]", DeviceListCommand::Run}},
        {"send",
         {{"--program", "--verify", "--timeout", "--force"},
          1,
          1,
          "send FILE.kxp -p N [--verify] [--force]",
          TransferCommand::Send}},
        {"read",
         {{"--program", "--output", "--timeout"},
          0,
          0,
          "read -p N -o FILE.kxp",
          TransferCommand::Read}},
        {"run", {{"--program", "--timeout"}, 0, 0, "run -p N", TransferCommand::Run}},
        {"stop", {{"--program", "--timeout"}, 0, 0, "stop -p N", TransferCommand::Stop}},
        {"get",
         {{"--timeout", "--format"}, 1, 1, "get PARAM [--format json]", ParameterCommand::Get}},
        {"set", {{"--timeout"}, 2, 3, "set PARAM VALUE [NO|NC]", ParameterCommand::Set}},
        {"enable", {{"--timeout"}, 1, 1, "enable on|off", MotionCommand::Enable}},
        {"stop-motor", {{"--timeout"}, 0, 0, "stop-motor", MotionCommand::StopMotor}},
        {"brake", {{"--timeout"}, 0, 0, "brake", MotionCommand::Brake}},
        {"status",
         {{"--timeout", "--format"}, 0, 0, "status [--format json]", ParameterCommand::Status}},
        {"watch",
         {{"--seconds", "--timeout", "--format"},
          0,
          0,
          "watch [--seconds S] [--format json]",
          ParameterCommand::Watch}},
        {"backup",
         {{"--output", "--timeout"}, 0, 0, "backup [-o FILE.kxb|-]", BackupCommand::Backup}},
        {"limits",
         {{"--min", "--max", "--vmax", "--clear"},
          0,
          0,
          "limits [--min X] [--max X] [--vmax V] [--clear]",
          LimitsCommand::Run}},
        {"jog", {{}, 2, 3, "jog position|velocity +|- [STEP]", MotionCommand::Jog}},
        {"move",
         {{"--wait", "--seconds"}, 1, 1, "move X [--wait [--seconds S]]", MotionCommand::Move}},
        {"home",
         {{"--wait", "--seconds"}, 0, 0, "home [--wait [--seconds S]]", MotionCommand::Home}},
        {"restore",
         {{"--programs", "--parameters", "--dry-run", "--homing", "--timeout", "--all", "--format"},
          1,
          1,
          "restore FILE.kxb [--programs LIST] [--parameters] [--homing] [--dry-run] "
          "[--all [--format json]]",
          BackupCommand::Restore}},
        {"diff",
         {{"--format", "--timeout"},
          1,
          2,
          "diff FILE [FILE2] [--format json]",
          BackupCommand::Diff}},
        {"simulate",
         {{"--program", "--inputs", "--until", "--trace", "--csv", "--params", "--format", "--min",
           "--max", "--vmax", "--start"},
          1,
          1,
          "simulate FILE -p N [--inputs \"2.0 in0 on; 5.5 in0 off\"] [--until S] [--trace] "
          "[--csv FILE] [--params FILE.kxb] [--format json] [--min X --max X [--vmax V]] "
          "[--start X]",
          SimulateCommand::Simulate}},
        {"record",
         {{"--program", "--run", "--until", "--csv", "--report", "--tolerance", "--format",
           "--timeout", "--lang"},
          0,
          1,
          "record [FILE] -p N [--run] [--until S] [--csv FILE] [--report FILE.pdf [--lang pl|en]] "
          "[--tolerance STEPS] [--format json]",
          RecordCommand::Record}},
    };
    return rules;
}

int ParseProgram(const std::string& text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') {
        throw UsageError{"-p: the program number must be 0 to 9, not \"" + text + "\""};
    }
    return text[0] - '0';
}

// "0,3,5-7": the programs named.
std::array<bool, ProgramCount> ParseProgramList(const std::string& text) {
    std::array<bool, ProgramCount> programs{};
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        const std::string item = text.substr(pos, comma - pos);
        const bool range = item.size() == 3 && item[1] == '-';
        if (!(item.size() == 1 || range) || item[0] < '0' || item[0] > '9' ||
            (range && (item[2] < item[0] || item[2] > '9'))) {
            throw UsageError{"--programs: \"" + text +
                             "\" is not a list of programs such as 0,3,5-7"};
        }
        for (char p = item[0]; p <= (range ? item[2] : item[0]); ++p) {
            programs[static_cast<std::size_t>(p - '0')] = true;
        }
        pos = comma + 1;
    }
    return programs;
}

Arguments Parse(const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* name) -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{std::string(name) + " needs a value"};
            }
            return args[++i];
        };
        std::string name = arg;
        if (arg == "-p" || arg == "--program") {
            name = "--program";
            a.program = ParseProgram(value("-p"));
        } else if (arg == "-o" || arg == "--output") {
            name = "--output";
            a.output = value("-o");
            if (a.output->empty()) {
                throw UsageError{"-o: the file name is empty"};
            }
        } else if (arg == "--device") {
            a.device = value("--device");
        } else if (arg == "--raw") {
            a.raw = true;
        } else if (arg == "--clamp") {
            a.clamp = true;
        } else if (arg == "--verify") {
            a.verify = true;
        } else if (arg == "--emulator") {
            a.emulator = true;
        } else if (arg == "--emulator-lag" || arg == "--emulator-lose-steps") {
            const bool lag = arg == "--emulator-lag";
            const int max = lag ? EmulatedAxis::Imperfection::MaxLagMs
                                : EmulatedAxis::Imperfection::MaxLostSteps;
            const std::string& text = value(arg.c_str());
            const std::optional<std::int32_t> amount = IntegerText::Parse(text);
            if (!amount || *amount < 0 || *amount > max) {
                throw UsageError{arg + ": \"" + text + "\" is not a whole number from 0 to " +
                                 std::to_string(max)};
            }
            (lag ? a.emulatedAxis.lagMs : a.emulatedAxis.lostSteps) = *amount;
            a.emulator = true;
        } else if (arg == "--parameters") {
            a.parametersOnly = true;
        } else if (arg == "--format") {
            const std::string& format = value("--format");
            if (format != "json" && format != "text") {
                throw UsageError{"--format: \"" + format + "\" is neither text nor json"};
            }
            a.json = format == "json";
        } else if (arg == "--wait") {
            a.wait = true;
        } else if (arg == "--dry-run") {
            a.dryRun = true;
        } else if (arg == "--homing") {
            a.homing = true;
        } else if (arg == "--all") {
            a.all = true;
        } else if (arg == "--warnings-as-errors") {
            a.warningsAsErrors = true;
        } else if (arg == "--force") {
            a.force = true;
        } else if (arg == "--min" || arg == "--max" || arg == "--vmax") {
            const std::string& text = value(arg.c_str());
            const std::optional<std::int32_t> number = IntegerText::Parse(text);
            if (!number || (arg == "--vmax" && *number <= 0)) {
                throw UsageError{arg + ": \"" + text + "\" is not " +
                                 (arg == "--vmax" ? "a velocity above 0" : "a position")};
            }
            (arg == "--min" ? a.limitMin : arg == "--max" ? a.limitMax : a.limitVmax) = number;
        } else if (arg == "--start") {
            const std::string& text = value("--start");
            a.start = IntegerText::Parse(text);
            if (!a.start) {
                throw UsageError{"--start: \"" + text + "\" is not a position"};
            }
        } else if (arg == "--clear") {
            a.clearLimits = true;
        } else if (arg == "--settings") {
            a.settings = value("--settings");
        } else if (arg == "--programs") {
            a.programs = ParseProgramList(value("--programs"));
        } else if (arg == "--seconds") {
            const std::string& text = value("--seconds");
            char* end = nullptr;
            const double s = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(s > 0) || s > 1e7) {
                throw UsageError{"--seconds: \"" + text + "\" is not a positive number of seconds"};
            }
            a.seconds = s;
        } else if (arg == "--inputs") {
            std::string error;
            if (!SimulateCommand::ParseInputs(value("--inputs"), a.simulate.inputs, error)) {
                throw UsageError{error};
            }
        } else if (arg == "--until") {
            const std::string& text = value("--until");
            if (!SimulateCommand::ParseSeconds(text, a.simulate.untilSeconds)) {
                throw UsageError{"--until: \"" + text + "\" is not seconds above 0, at most a day"};
            }
        } else if (arg == "--run") {
            a.record.run = true;
        } else if (arg == "--report") {
            a.record.report = value("--report");
            if (a.record.report->empty()) {
                throw UsageError{"--report: the file name is empty"};
            }
        } else if (arg == "--lang") {
            const std::string& text = value("--lang");
            a.record.language = LanguageChoice::FromSetting(text);
            if (!a.record.language) {
                throw UsageError{"--lang: \"" + text + "\" is neither pl nor en"};
            }
        } else if (arg == "--tolerance") {
            const std::string& text = value("--tolerance");
            char* end = nullptr;
            const double steps = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(steps >= 0) || steps > 1e9) {
                throw UsageError{"--tolerance: \"" + text +
                                 "\" is not a number of steps, 0 or more"};
            }
            a.record.tolerance = steps;
        } else if (arg == "--trace") {
            a.simulate.trace = true;
        } else if (arg == "--csv" || arg == "--params") {
            (arg == "--csv" ? a.simulate.csv : a.simulate.params) = value(arg.c_str());
        } else if (arg == "--timeout") {
            const std::string& text = value("--timeout");
            const std::optional<std::int32_t> ms = IntegerText::Parse(text);
            if (!ms || *ms < 1 || *ms > 600000) {
                throw UsageError{"--timeout: \"" + text +
                                 "\" is not a time-out in milliseconds (1 to 600000)"};
            }
            a.timeout = std::chrono::milliseconds(*ms);
        } else if (arg.size() > 1 && arg[0] == '-' &&
                   !((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '$')) {
            // (Negative values and "-" for standard input are arguments.)
            throw UsageError{"unknown option \"" + arg + "\""};
        } else {
            if (a.command.empty()) {
                a.command = arg;
            } else {
                a.positional.push_back(arg);
            }
            continue;
        }
        if (!a.options.insert(name).second) {
            throw UsageError{name + " is given twice"};
        }
    }
    if (a.command.empty()) {
        throw UsageError{"no command given"};
    }
    const auto rule = Rules().find(a.command);
    if (rule == Rules().end()) {
        throw UsageError{"unknown command \"" + a.command + "\""};
    }
    for (const std::string& option : a.options) {
        if (option != "--timeout" && option != "--emulator" && option != "--device" &&
            option != "--emulator-lag" && option != "--emulator-lose-steps" &&
            option != "--settings" && rule->second.options.count(option) == 0) {
            throw UsageError{a.command + " does not take " + option + " (usage: kxrd4-cli " +
                             rule->second.synopsis + ")"};
        }
    }
    if (a.positional.size() < rule->second.minPositional ||
        a.positional.size() > rule->second.maxPositional) {
        throw UsageError{"usage: kxrd4-cli " + std::string(rule->second.synopsis)};
    }
    const bool needsProgram = a.command == "send" || a.command == "read" || a.command == "run" ||
                              a.command == "stop" || a.command == "simulate" ||
                              a.command == "record";
    if (needsProgram && !a.program) {
        throw UsageError{a.command + " needs -p N (usage: kxrd4-cli " + rule->second.synopsis +
                         ")"};
    }
    if (a.record.language && !a.record.report) {
        throw UsageError{"--lang is the language of the report: it needs --report FILE.pdf"};
    }
    const bool needsOutput = a.command == "build" || a.command == "read";
    if (needsOutput && !a.output) {
        throw UsageError{a.command + " needs -o FILE.kxp (usage: kxrd4-cli " +
                         rule->second.synopsis + ")"};
    }
    return a;
}

} // namespace

std::string Cli::HelpText() {
    return "kxrd4-cli " KXRD4_VERSION " - command-line companion of the KX-RD4 tool\n"
           "\n"
           "Usage: kxrd4-cli COMMAND [ARGUMENTS] [--timeout MS] [--emulator]\n"
           "                 [--device SERIAL|PORT|PATH]\n"
           "\n"
           "Program files (*.kxp, the 2000 bytes of the ten programs P0..P9):\n"
           "  list FILE.kxp [-p N] [--raw] [-o FILE]\n"
           "                                     each program's lines as the editor shows them;\n"
           "                                     --raw adds each line's 8 bytes (lossless);\n"
           "                                     -o writes them to FILE (UTF-8, no BOM)\n"
           "  build LISTING -o FILE.kxp [--clamp]\n"
           "                                     the reverse of list (LISTING - reads stdin);\n"
           "                                     --clamp clamps numbers as the line editor does;\n"
           "                                     the program check's findings go to stderr\n"
           "  check FILE [-p N] [--warnings-as-errors]\n"
           "                                     check FILE (.kxp or a listing) offline, as the\n"
           "                                     controller would run it from power-on: errors\n"
           "                                     (faults that end the program) and warnings;\n"
           "                                     -p N checks program N and the programs it\n"
           "                                     reaches by PROG. Exit 0 clean, 1 errors (or\n"
           "                                     warnings with --warnings-as-errors), 2 trouble\n"
           "  check FILE ... --min X --max X [--vmax V] [--start X]\n"
           "                                     also run each program dry from position X\n"
           "                                     (default 0): leaving the travel limits (or\n"
           "                                     a velocity above V) is an error at the line\n"
           "                                     that set the axis moving\n"
           "\n"
           "The KX-RD4 (USB):\n"
           "  devices                            the HID devices with serial number (SN) and\n"
           "                                     USB port; * marks the KX-RD4 a command uses\n"
           "  send FILE.kxp -p N [--verify] [--force]\n"
           "                                     write program N to the controller and wait\n"
           "                                     until it reports the program stored; a program\n"
           "                                     the check finds errors in, or one whose dry\n"
           "                                     run from the axis's position leaves the travel\n"
           "                                     limits kept for it, is not sent unless --force\n"
           "  read -p N -o FILE.kxp              read program N into FILE (other programs kept)\n"
           "  run -p N | stop -p N               start or stop program N\n"
           "  get PARAM                          read a parameter\n"
           "  set PARAM VALUE                    write a parameter (set home VALUE NO|NC starts\n"
           "                                     homing)\n"
           "  enable on|off | stop-motor | brake\n"
           "  jog position|velocity +|- [STEP]   as the jog buttons (STEP 1..1000, default 500)\n"
           "  move X [--wait [--seconds S]]      move to position X; --wait returns once the\n"
           "                                     axis is at rest at X (fails after S, default 60)\n"
           "  home [--wait [--seconds S]]        homing at the controller's homing velocity;\n"
           "                                     --wait fails unless the axis moved (the\n"
           "                                     KX-RD4 reports no end of a homing)\n"
           "  status                             position and velocity, once\n"
           "  watch [--seconds S]                position and velocity at 40 Hz as CSV\n"
           "                                     (ms,position,velocity) until S seconds or Ctrl+C\n"
           "  limits [--min X] [--max X] [--vmax V] [--clear]\n"
           "                                     the travel limits of the KX-RD4 in use, kept\n"
           "                                     on this PC (config.ini, by serial number; the\n"
           "                                     controller holds none): shown, set or cleared.\n"
           "                                     jog and move beyond them are refused; move\n"
           "                                     --wait, home --wait and watch stop the axis\n"
           "                                     seen beyond them moving out (exit 1); with\n"
           "                                     limits, jog velocity polls the axis until it\n"
           "                                     is at rest, stopping it beyond them\n"
           "Ctrl+C or SIGTERM during jog, run, watch, record --run, move --wait or home\n"
           "--wait stops the axis (MotorStop, after run and record --run the program's halt\n"
           "first) and exits 1.\n"
           "\n"
           "The whole controller (*.kxb: [parameters] and the ten programs as text):\n"
           "  backup [-o FILE.kxb|-]             every readable parameter and P0..P9 (stdout)\n"
           "  restore FILE.kxb [--programs LIST] [--parameters] [--homing] [--dry-run]\n"
           "                                     write (all, or the programs in LIST such as\n"
           "                                     0,3,5-7, or the parameters), wait for each\n"
           "                                     program stored, read everything back and\n"
           "                                     compare; a table lists every item. vdst and\n"
           "                                     xdst are never written (they move the axis),\n"
           "                                     home only with --homing (it starts homing);\n"
           "                                     modbus-address, modbus-baud and input-filter\n"
           "                                     are written when given, unverified.\n"
           "                                     --dry-run prints what would change;\n"
           "                                     --all restores onto every KX-RD4 plugged, in\n"
           "                                     parallel, one line (--format json: one\n"
           "                                     object) per controller; exit 0 only when\n"
           "                                     every one is verified\n"
           "  diff FILE [FILE2]                  the controller (or FILE) against FILE2, each\n"
           "                                     .kxb or .kxp: exit 0 same, 1 differ, 2 trouble\n"
           "\n"
           "Dry run (no controller needed):\n"
           "  simulate FILE -p N [--inputs CHANGES] [--until S] [--trace] [--csv OUT.csv]\n"
           "           [--params FILE.kxb]       run program N of FILE (.kxp or a listing) in\n"
           "                                     the emulated controller, ENABLE off and the\n"
           "                                     power-on parameters (or those of the backup)\n"
           "                                     up to S seconds (default 60): prints the cycle\n"
           "                                     time or what it waits for at the limit, every\n"
           "                                     fault with time and line; --trace the time\n"
           "                                     each line starts; --csv ms,position,velocity\n"
           "                                     at 1 ms. CHANGES: \"2.0 in0 on; 5.5 in0 off\".\n"
           "                                     Exit 0 ends cleanly, 1 a fault or no end.\n"
           "           [--min X --max X [--vmax V]] [--start X]\n"
           "                                     the axis starts at X (default 0); the run\n"
           "                                     stops where it leaves the limits (exit 1)\n"
           "\n"
           "Commissioning (records the KX-RD4 and compares it with the dry run):\n"
           "  record [FILE] -p N [--run] [--until S] [--csv OUT.csv] [--report OUT.pdf\n"
           "         [--lang pl|en]] [--tolerance STEPS]\n"
           "                                     position and velocity as fast as the KX-RD4\n"
           "                                     answers, against the dry run of program N\n"
           "                                     from the parameters and position read just\n"
           "                                     before. FILE (.kxp or a listing): program N\n"
           "                                     of it is sent and verified first. --run\n"
           "                                     starts N and ends once it is over (at rest\n"
           "                                     after its predicted end); otherwise records\n"
           "                                     until S seconds (default 60) or Ctrl+C,\n"
           "                                     aligned at the first motion. Prints cycle\n"
           "                                     times, each move's arrival, the largest\n"
           "                                     position deviation with its time and line\n"
           "                                     and the velocity peaks; --csv the samples\n"
           "                                     (time_s,position,velocity,predicted_...),\n"
           "                                     --report a PDF with OUT.csv and OUT.png\n"
           "                                     beside it, in --lang's language, else in the\n"
           "                                     window's (config.ini's Language=, else the\n"
           "                                     system's: English unless it is Polish).\n"
           "                                     Exit 0 within --tolerance steps\n"
           "                                     (default 10) and the timing, else 1\n"
           "\n"
           "--format json: check, devices, get, status, watch (one object a line), diff,\n"
           "simulate and record print JSON with the fields of their text form.\n"
           "--device SERIAL|PORT|PATH chooses the KX-RD4 by its serial number, else its USB\n"
           "port, else its device path (as devices lists them); needed when several KX-RD4s\n"
           "are connected, where a device command without it lists them and exits with 4.\n"
           "--settings FILE: the config.ini that keeps the travel limits and the report's\n"
           "language (default: the tool's own, beside the executable or in\n"
           "~/.config/kxrd4-pc/).\n"
           "--emulator runs any device command against a built-in emulated KX-RD4 in its\n"
           "power-on state (no device, no root needed). --emulator-lag MS and\n"
           "--emulator-lose-steps N (each implies --emulator) make its axis imperfect: it\n"
           "follows its profile MS ms late, or ends every position move N steps short.\n"
           "\n"
           "Parameters: vmin vmax amax (0..29999), vdst (-29999..29999), xdst\n"
           "  (-9999999..9999999), home (-29999..29999, starts homing), xdef\n"
           "  (-9999999..9999999), vdef (-29999..29999), wdef (0..99999); write only:\n"
           "  modbus-address (1..247), modbus-baud (19200 38400 57600 115200),\n"
           "  input-filter (0..999 ms, 0 = none). Values outside a field's range are clamped\n"
           "  as the window clamps them; hexadecimal ($10, 0x10) is accepted.\n"
           "\n"
           "Every reply is awaited for --timeout MS (default 1000). Messages are English;\n"
           "results go to stdout, errors and notes to stderr.\n"
           "\n"
           "send, read, run, set, backup, restore, diff and record hold the KX-RD4 while\n"
           "they run,\n"
           "so that no other writer (another kxrd4-cli, the window) comes in between; one\n"
           "that finds it held waits up to --timeout MS, then fails naming the holder.\n"
           "\n"
           "Exit status:\n"
           "  0  done (diff: no differences; check: no errors)\n"
           "  1  failed: no answer, a bad file, a restore not every item of which was\n"
           "     verified, an axis not at rest within --seconds (diff: they differ;\n"
           "     check: errors found; simulate: a fault or no end)\n"
           "  2  usage error (diff, check: also trouble, such as an unreadable file;\n"
           "     build: a listing without a single line)\n"
           "  3  no KX-RD4 connected, or none that --device names\n"
           "  4  several KX-RD4s connected and none chosen with --device\n";
}

int Cli::Run(const std::vector<std::string>& args, const BackendFactory& backend, std::ostream& out,
             std::ostream& err, const std::atomic<bool>* interrupted) {
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        out << HelpText();
        return Done;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        out << "kxrd4-cli " KXRD4_VERSION "\n";
        return Done;
    }
    try {
        const Arguments a = Parse(args);
        CommandContext context(a, backend, out, err, interrupted);
        Rules().at(a.command).run(context);
        out.flush();
        return Done;
    } catch (const UsageError& e) {
        err << "kxrd4-cli: " << e.message << "\n(kxrd4-cli --help lists the commands)\n";
        return Usage;
    } catch (const CommandFailure& e) {
        out.flush();
        err << "kxrd4-cli: " << e.message << "\n";
        return e.status;
    } catch (const std::exception& e) {
        err << "kxrd4-cli: " << e.what() << "\n";
        return Failed;
    }
}

int RunCli(const std::vector<std::string>& args, const Cli::BackendFactory& backend,
           std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted) {
    return Cli::Run(args, backend, out, err, interrupted);
}
