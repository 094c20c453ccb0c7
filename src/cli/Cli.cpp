#include "Cli.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "BackupComparison.h"
#include "BackupSession.h"
#include "CheckCommand.h"
#include "CommandReport.h"
#include "ControllerBackup.h"
#include "ControllerSession.h"
#include "EmulatedBackend.h"
#include "FileAccess.h"
#include "IntegerText.h"
#include "JsonText.h"
#include "ParameterTable.h"
#include "ProgramFile.h"
#include "ProgramInput.h"
#include "ProgramListing.h"
#include "SimulateCommand.h"
#include "TextFile.h"

#ifndef KXRD4_VERSION
#define KXRD4_VERSION "unknown"
#endif

namespace {

constexpr std::chrono::milliseconds DefaultTimeout{1000};
constexpr std::chrono::milliseconds PollPeriod{25};    // 40 Hz, as the window's chart
constexpr std::chrono::milliseconds RefusedAfter{500}; // move --wait: standing short of it

// A usage error: the message goes to stderr with a pointer to --help.
struct UsageError {
    std::string message;
};

// A failure: the message goes to stderr.
struct Failure {
    std::string message;
    int status = Cli::Failed;
};

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::optional<int> program;
    std::optional<std::string> output;
    bool raw = false;
    bool clamp = false;
    bool verify = false;
    bool emulator = false;
    bool parametersOnly = false;
    bool dryRun = false;
    bool wait = false;
    bool json = false;
    bool homing = false;
    bool warningsAsErrors = false;
    bool force = false;
    std::optional<std::array<bool, ProgramCount>> programs;
    std::optional<double> seconds;
    std::optional<std::string> device; // --device SERIAL|PORT|PATH
    SimulateCommand::Options simulate;
    std::chrono::milliseconds timeout = DefaultTimeout;
    std::set<std::string> options; // the options given, by their long name
};

// Which options each command takes, and how many positional arguments.
struct CommandRule {
    std::set<std::string> options;
    std::size_t minPositional;
    std::size_t maxPositional;
    const char* synopsis;
};

const std::map<std::string, CommandRule>& Rules() {
    static const std::map<std::string, CommandRule> rules = {
        {"list",
         {{"--program", "--raw", "--output"}, 1, 1, "list FILE.kxp [-p N] [--raw] [-o FILE]"}},
        {"build", {{"--output", "--clamp"}, 1, 1, "build LISTING -o FILE.kxp [--clamp]"}},
        {"check",
         {{"--program", "--warnings-as-errors", "--format"},
          1,
          1,
          "check FILE [-p N] [--warnings-as-errors] [--format json]"}},
        {"devices", {{"--timeout", "--format"}, 0, 0, "devices [--format json]"}},
        {"send",
         {{"--program", "--verify", "--timeout", "--force"},
          1,
          1,
          "send FILE.kxp -p N [--verify] [--force]"}},
        {"read", {{"--program", "--output", "--timeout"}, 0, 0, "read -p N -o FILE.kxp"}},
        {"run", {{"--program", "--timeout"}, 0, 0, "run -p N"}},
        {"stop", {{"--program", "--timeout"}, 0, 0, "stop -p N"}},
        {"get", {{"--timeout", "--format"}, 1, 1, "get PARAM [--format json]"}},
        {"set", {{"--timeout"}, 2, 3, "set PARAM VALUE [NO|NC]"}},
        {"enable", {{"--timeout"}, 1, 1, "enable on|off"}},
        {"stop-motor", {{"--timeout"}, 0, 0, "stop-motor"}},
        {"brake", {{"--timeout"}, 0, 0, "brake"}},
        {"status", {{"--timeout", "--format"}, 0, 0, "status [--format json]"}},
        {"watch",
         {{"--seconds", "--timeout", "--format"}, 0, 0, "watch [--seconds S] [--format json]"}},
        {"backup", {{"--output"}, 0, 0, "backup [-o FILE.kxb|-]"}},
        {"jog", {{}, 2, 3, "jog position|velocity +|- [STEP]"}},
        {"move", {{"--wait", "--seconds"}, 1, 1, "move X [--wait [--seconds S]]"}},
        {"home", {{"--wait", "--seconds"}, 0, 0, "home [--wait [--seconds S]]"}},
        {"restore",
         {{"--programs", "--parameters", "--dry-run", "--homing"},
          1,
          1,
          "restore FILE.kxb [--programs LIST] [--parameters] [--homing] [--dry-run]"}},
        {"diff", {{"--format"}, 1, 2, "diff FILE [FILE2] [--format json]"}},
        {"simulate",
         {{"--program", "--inputs", "--until", "--trace", "--csv", "--params", "--format"},
          1,
          1,
          "simulate FILE -p N [--inputs \"2.0 in0 on; 5.5 in0 off\"] [--until S] [--trace] "
          "[--csv FILE] [--params FILE.kxb] [--format json]"}},
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
        } else if (arg == "--warnings-as-errors") {
            a.warningsAsErrors = true;
        } else if (arg == "--force") {
            a.force = true;
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
            rule->second.options.count(option) == 0) {
            throw UsageError{a.command + " does not take " + option + " (usage: kxrd4-cli " +
                             rule->second.synopsis + ")"};
        }
    }
    if (a.positional.size() < rule->second.minPositional ||
        a.positional.size() > rule->second.maxPositional) {
        throw UsageError{"usage: kxrd4-cli " + std::string(rule->second.synopsis)};
    }
    const bool needsProgram = a.command == "send" || a.command == "read" || a.command == "run" ||
                              a.command == "stop" || a.command == "simulate";
    if (needsProgram && !a.program) {
        throw UsageError{a.command + " needs -p N (usage: kxrd4-cli " + rule->second.synopsis +
                         ")"};
    }
    const bool needsOutput = a.command == "build" || a.command == "read";
    if (needsOutput && !a.output) {
        throw UsageError{a.command + " needs -o FILE.kxp (usage: kxrd4-cli " +
                         rule->second.synopsis + ")"};
    }
    return a;
}

// A program file of exactly 2000 bytes. Shorter or longer files are refused
// here (the window pads or cuts them), so nothing is sent or listed that the
// file does not hold.
// With missingOk, a missing file leaves set as it is and gives false.
bool LoadProgramFile(const std::string& path, ProgramSet& set, bool missingOk = false) {
    std::vector<std::uint8_t> bytes;
    switch (FileAccess::ReadPrefix(path, ProgramSetBytes + 1, bytes)) {
    case FileAccess::ReadStatus::Missing:
        if (missingOk) {
            return false;
        }
        throw Failure{"cannot open " + path + ": no such file"};
    case FileAccess::ReadStatus::Failed:
        throw Failure{"cannot read " + path + ": not a readable file"};
    case FileAccess::ReadStatus::Ok:
        break;
    }
    if (bytes.size() != static_cast<std::size_t>(ProgramSetBytes)) {
        throw Failure{path + " is not a program file: it has " +
                      (bytes.size() > static_cast<std::size_t>(ProgramSetBytes)
                           ? std::string("more than 2000")
                           : std::to_string(bytes.size())) +
                      " bytes, a program file has exactly 2000"};
    }
    std::copy(bytes.begin(), bytes.end(), set.Data());
    return true;
}

void SaveProgramFile(const std::string& path, const ProgramSet& set) {
    if (!WriteProgramFile(path, set)) {
        throw Failure{"cannot write " + path + " (it is left as it was)"};
    }
}

std::string ReadListing(const std::string& path) {
    std::string text;
    std::string error;
    if (!ProgramInput::ReadText(path, std::cin, text, error)) {
        throw Failure{error};
    }
    return text;
}

class Runner {
public:
    Runner(const Arguments& a, const Cli::BackendFactory& factory, std::ostream& out,
           std::ostream& err, const std::atomic<bool>* interrupted)
        : a_(a), factory_(factory), out_(out), err_(err), interrupted_(interrupted) {}

    void Run() {
        const std::string& c = a_.command;
        if (c == "list") {
            List();
        } else if (c == "build") {
            Build();
        } else if (c == "check") {
            const auto r = CheckCommand::Run(a_.positional[0], a_.program, a_.warningsAsErrors,
                                             a_.json, std::cin, out_);
            if (r.status != Cli::Done) {
                throw Failure{r.message, r.status};
            }
        } else if (c == "devices") {
            Devices();
        } else if (c == "send") {
            Send();
        } else if (c == "read") {
            Read();
        } else if (c == "run" || c == "stop") {
            auto reply =
                Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
                    const auto letter =
                        c == "run" ? MessageLetter::ProgramStart : MessageLetter::ProgramHalt;
                    return s.Byte(letter, static_cast<std::uint8_t>(*a_.program), r, e);
                });
            (void)reply;
            out_ << CommandReport::Done(c == "run" ? MessageLetter::ProgramStart
                                                   : MessageLetter::ProgramHalt,
                                        *a_.program)
                 << "\n";
        } else if (c == "get") {
            Get();
        } else if (c == "set") {
            Set();
        } else if (c == "enable") {
            const std::string& state = a_.positional[0];
            if (state != "on" && state != "off") {
                throw UsageError{"enable takes on or off, not \"" + state + "\""};
            }
            Simple(state == "on" ? MessageLetter::EnableOn : MessageLetter::EnableOff);
        } else if (c == "stop-motor") {
            Simple(MessageLetter::MotorStop);
        } else if (c == "brake") {
            Simple(MessageLetter::MotorBrake);
        } else if (c == "status") {
            Status();
        } else if (c == "watch") {
            Watch();
        } else if (c == "jog") {
            Jog();
        } else if (c == "move" || c == "home") {
            Move();
        } else if (c == "backup") {
            Backup();
        } else if (c == "restore") {
            Restore();
        } else if (c == "diff") {
            Diff();
        } else if (c == "simulate") {
            Simulate();
        }
    }

private:
    using Exchange =
        std::function<bool(ControllerSession&, ControllerSession::Reply&, std::string&)>;

    ControllerSession& Session() {
        if (!session_) {
            std::shared_ptr<HidBackend> backend =
                a_.emulator ? EmulatedBackend::Create() : (factory_ ? factory_() : nullptr);
            if (!backend) {
                throw Failure{"no HID support on this system"};
            }
            session_ =
                std::make_unique<ControllerSession>(std::move(backend), a_.timeout, interrupted_);
        }
        return *session_;
    }

    ControllerSession& Controller() {
        ControllerSession& s = Session();
        std::string error;
        if (s.HidAvailable()) {
            Require(s, s.Choose(a_.device));
        }
        if (!s.Ready(error)) {
            throw Failure{error};
        }
        return s;
    }

    // Exit 3 when no KX-RD4 (or none that --device names) is there, 4 when
    // the choice is not clear.
    static void Require(ControllerSession& s, const DeviceChoice& choice) {
        using Outcome = DeviceChoice::Outcome;
        std::string error;
        if (choice.outcome == Outcome::NoController) {
            s.Ready(error);
            throw Failure{error, Cli::NoDevice};
        }
        if (choice.outcome != Outcome::Chosen) {
            throw Failure{choice.message,
                          choice.outcome == Outcome::Several ? Cli::SeveralDevices : Cli::NoDevice};
        }
    }

    ControllerSession::Reply Ask(const Exchange& exchange) {
        ControllerSession& s = Controller();
        ControllerSession::Reply reply;
        std::string error;
        if (!exchange(s, reply, error)) {
            throw Failure{error};
        }
        return reply;
    }

    void Simple(MessageLetter letter) {
        Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
            return s.Request(letter, r, e);
        });
        out_ << CommandReport::Done(letter) << "\n";
    }

    void List() {
        ProgramSet set;
        LoadProgramFile(a_.positional[0], set);
        std::vector<int> programs;
        if (a_.program) {
            programs.push_back(*a_.program);
        } else {
            for (int p = 0; p < ProgramCount; ++p) {
                programs.push_back(p);
            }
        }
        const std::string listing = ProgramListing::Write(set, programs, a_.raw);
        if (!a_.output || *a_.output == "-") {
            out_ << listing;
        } else if (!TextFile::Write(*a_.output, listing)) {
            throw Failure{"cannot write " + *a_.output + " (it is left as it was)"};
        }
    }

    void Build() {
        const std::string& path = a_.positional[0];
        const std::string text = ReadListing(path);
        ProgramSet set;
        ProgramListing::Error error;
        if (!ProgramListing::Parse(text, a_.clamp, set, error)) {
            throw Failure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message +
                          "; nothing was written"};
        }
        SaveProgramFile(*a_.output, set);
        CheckCommand::Print(set, std::nullopt, err_);
    }

    void Devices() {
        ControllerSession& s = Session();
        if (!s.HidAvailable()) {
            throw Failure{"no HID support on this system"};
        }
        // The mark shows the KX-RD4 a device command would use (with
        // --device, the one it names); none while the choice is open.
        const DeviceChoice choice = s.Choose(a_.device);
        if (a_.device) {
            Require(s, choice);
        }
        const bool chosen = choice.outcome == DeviceChoice::Outcome::Chosen;
        auto entries = s.Devices();
        for (auto& e : entries) {
            e.selected = e.selected && chosen;
        }
        if (a_.json) {
            out_ << "[";
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const auto& e = entries[i];
                out_ << (i == 0 ? "" : ",") << "{\"path\":" << JsonText::Quote(e.path)
                     << ",\"serial\":" << JsonText::Quote(e.serial)
                     << ",\"port\":" << JsonText::Quote(e.port) << ",\"vendorId\":" << e.vendorId
                     << ",\"productId\":" << e.productId << ",\"access\":\""
                     << (e.writable ? "read-write" : "query-only")
                     << "\",\"name\":" << JsonText::Quote(e.name)
                     << ",\"selected\":" << (e.selected ? "true" : "false") << "}";
            }
            out_ << "]\n";
            return;
        }
        if (entries.empty()) {
            out_ << "no HID devices\n";
            return;
        }
        for (const auto& e : entries) {
            char ids[32];
            std::snprintf(ids, sizeof ids, "%04X:%04X", e.vendorId, e.productId);
            out_ << (e.selected ? "* " : "  ") << (e.path.empty() ? "(not claimed)" : e.path)
                 << "  " << ids << "  " << (e.writable ? "read-write" : "query-only") << "  "
                 << DeviceIdentity{e.serial, e.port, e.path}.Label(e.name)
                 << (e.selected ? "  (selected)" : "") << "\n";
        }
    }

    void Send() {
        ProgramSet set;
        LoadProgramFile(a_.positional[0], set);
        const int p = *a_.program;
        if (ProgramCheck::HasErrors(CheckCommand::Print(set, p, err_)) && !a_.force) {
            throw Failure{"send: P" + std::to_string(p) +
                          " has errors (above); nothing was sent (--force sends it anyway)"};
        }
        ControllerSession& s = Controller();
        std::string error;
        if (!s.SendProgram(set, p, error)) {
            throw Failure{"send: " + error};
        }
        out_ << "P" << p << " sent (25 lines)\n";
        if (!a_.verify) {
            return;
        }
        ProgramSet back;
        if (!s.ReadProgram(back, p, error)) {
            throw Failure{"verify: " + error};
        }
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (set.Line(p, l) != back.Line(p, l)) {
                throw Failure{"verify: " + LineName(p, l) + " differs: sent \"" +
                              RenderLine(l, set.Line(p, l)) + "\" (" +
                              ProgramListing::RawText(set.Line(p, l)) + "), read back \"" +
                              RenderLine(l, back.Line(p, l)) + "\" (" +
                              ProgramListing::RawText(back.Line(p, l)) + ")"};
            }
        }
        out_ << "P" << p << " verified: the controller holds the 25 lines sent\n";
    }

    void Read() {
        const std::string& path = *a_.output;
        ProgramSet set;
        LoadProgramFile(path, set, true); // the other programs of an existing file are kept
        const int p = *a_.program;
        ControllerSession& s = Controller();
        std::string error;
        if (!s.ReadProgram(set, p, error)) {
            throw Failure{"read: " + error + "; " + path + " is left as it was"};
        }
        SaveProgramFile(path, set);
        out_ << "P" << p << " read into " << path << "\n";
    }

    const ParameterTable::Parameter& Parameter(const std::string& name) {
        const ParameterTable::Parameter* p = ParameterTable::Find(name);
        if (p == nullptr) {
            std::string names;
            for (const auto& q : ParameterTable::All()) {
                names += (names.empty() ? "" : ", ") + std::string(q.name);
            }
            throw UsageError{"unknown parameter \"" + name + "\" (parameters: " + names + ")"};
        }
        return *p;
    }

    void Get() {
        const auto& param = Parameter(a_.positional[0]);
        if (!param.read) {
            throw UsageError{std::string(param.name) +
                             " cannot be read: the controller only takes it (set " +
                             std::string(param.name) + " VALUE)"};
        }
        const auto reply = Ask([&](ControllerSession& s, ControllerSession::Reply& r,
                                   std::string& e) { return s.Request(*param.read, r, e); });
        if (!reply.value) {
            throw Failure{"the KX-RD4's answer was too short to carry the value"};
        }
        if (a_.json) {
            out_ << "{\"parameter\":" << JsonText::Quote(param.name)
                 << ",\"value\":" << *reply.value;
            if (param.kind == ParameterTable::Kind::Homing && reply.contactType) {
                out_ << ",\"contactType\":\"" << (*reply.contactType == 1 ? "NC" : "NO") << "\"";
            }
            out_ << "}\n";
            return;
        }
        out_ << *reply.value;
        if (param.kind == ParameterTable::Kind::Homing) {
            if (reply.contactType) {
                out_ << (*reply.contactType == 1 ? " NC" : " NO");
            } else {
                err_ << "kxrd4-cli: the contact type the KX-RD4 answered is neither NO nor NC\n";
            }
        }
        out_ << "\n";
    }

    void Set() {
        const auto& param = Parameter(a_.positional[0]);
        const std::string& text = a_.positional[1];
        const std::optional<std::int32_t> parsed = IntegerText::Parse(text);
        if (!parsed) {
            throw UsageError{"set " + std::string(param.name) + ": \"" + text +
                             "\" is not a whole number"};
        }
        const bool homing = param.kind == ParameterTable::Kind::Homing;
        if (a_.positional.size() == 3 && !homing) {
            throw UsageError{"set " + std::string(param.name) + " takes one value"};
        }
        std::int32_t value = *parsed;
        if (param.kind == ParameterTable::Kind::Field || homing) {
            value = IntegerText::Clamp(*parsed, param.min, param.max);
            if (value != *parsed) {
                err_ << "kxrd4-cli: " << param.name << ": " << *parsed << " is outside "
                     << param.min << " to " << param.max << ", " << value << " is sent\n";
            }
        } else if (!ParameterTable::IsListValue(param, value)) {
            throw UsageError{"set " + std::string(param.name) + ": " + text + " is not offered; " +
                             (param.kind == ParameterTable::Kind::Baud
                                  ? std::string("the rates are 19200, 38400, 57600 and 115200")
                                  : "the values are " + std::to_string(param.min) + " to " +
                                        std::to_string(param.max))};
        }
        std::uint8_t contact = 0;
        if (homing && a_.positional.size() == 3) {
            const std::string& type = a_.positional[2];
            if (type != "NO" && type != "NC") {
                throw UsageError{"set home: the contact type is NO or NC, not \"" + type + "\""};
            }
            contact = type == "NC" ? 1 : 0;
        }
        const auto reply =
            Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
                if (homing) {
                    return s.Homing(value, contact, r, e);
                }
                if (param.kind == ParameterTable::Kind::Address) {
                    return s.Byte(param.write, static_cast<std::uint8_t>(value), r, e);
                }
                return s.Value(param.write, value, r, e);
            });
        (void)reply;
        out_ << CommandReport::Done(param.write, value) << "\n";
    }

    void Status() {
        ControllerSession& s = Controller();
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        std::string error;
        if (!s.Status(position, velocity, error)) {
            throw Failure{error};
        }
        if (a_.json) {
            out_ << "{\"position\":" << position << ",\"velocity\":" << velocity << "}\n";
            return;
        }
        out_ << "position " << position << "\nvelocity " << velocity << "\n";
    }

    void Watch() {
        ControllerSession& s = Controller();
        if (!a_.json) {
            out_ << "ms,position,velocity\n";
        }
        std::string error;
        const bool ok = s.Watch(
            PollPeriod, a_.seconds.value_or(0),
            [&](std::int64_t ms, std::int32_t position, std::int32_t velocity) {
                if (a_.json) {
                    out_ << "{\"ms\":" << ms << ",\"position\":" << position
                         << ",\"velocity\":" << velocity << "}\n";
                } else {
                    out_ << ms << "," << position << "," << velocity << "\n";
                }
                out_.flush();
            },
            error);
        if (!ok) {
            throw Failure{error};
        }
    }

    void Jog() {
        const std::string& what = a_.positional[0];
        const std::string& sign = a_.positional[1];
        if ((what != "position" && what != "velocity") || (sign != "+" && sign != "-")) {
            throw UsageError{"usage: kxrd4-cli jog position|velocity +|- [STEP]"};
        }
        std::int32_t step = 500; // the window's default step
        if (a_.positional.size() == 3) {
            const auto parsed = IntegerText::Parse(a_.positional[2]);
            if (!parsed || *parsed < 1 || *parsed > 1000) {
                throw UsageError{"jog: the step is 1 to 1000, not \"" + a_.positional[2] + "\""};
            }
            step = *parsed;
        }
        const bool up = sign == "+";
        const MessageLetter letter =
            what == "position" ? (up ? MessageLetter::PositionUp : MessageLetter::PositionDown)
                               : (up ? MessageLetter::VelocityUp : MessageLetter::VelocityDown);
        Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
            return s.Value(letter, step, r, e);
        });
        out_ << CommandReport::Done(letter, step) << "\n";
    }

    // move X / home: the move starts; with --wait, returns once the axis is
    // at rest (at X for a move) or fails after --seconds (default 60).
    void Move() {
        const bool home = a_.command == "home";
        std::int32_t target = 0;
        if (!home) {
            const auto parsed = IntegerText::Parse(a_.positional[0]);
            if (!parsed || *parsed < -9999999 || *parsed > 9999999) {
                throw UsageError{"move: the position is -9999999 to 9999999, not \"" +
                                 a_.positional[0] + "\""};
            }
            target = *parsed;
        }
        if (a_.seconds && !a_.wait) {
            throw UsageError{a_.command + ": --seconds limits --wait"};
        }
        ControllerSession& s = Controller();
        ControllerSession::Reply reply;
        std::string error;
        if (home) {
            // Homing at the controller's own homing velocity and contact type.
            if (!s.Request(MessageLetter::HomeRead, reply, error)) {
                throw Failure{"home: " + error};
            }
            const std::int32_t velocity = reply.value.value_or(0);
            if (!s.Homing(velocity, static_cast<std::uint8_t>(reply.contactType.value_or(0)), reply,
                          error)) {
                throw Failure{"home: " + error};
            }
            out_ << CommandReport::Done(MessageLetter::HomeStart, velocity) << "\n";
        } else {
            if (!s.Value(MessageLetter::XdstSet, target, reply, error)) {
                throw Failure{"move: " + error};
            }
            out_ << CommandReport::Done(MessageLetter::XdstSet, target) << "\n";
        }
        if (!a_.wait) {
            return;
        }
        out_.flush();
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                  std::chrono::duration<double>(a_.seconds.value_or(60)));
        // Homing ends at position 0; a move at its target. An axis that
        // stands elsewhere for RefusedAfter did not take the move.
        const std::int32_t goal = home ? 0 : target;
        std::optional<std::int32_t> last;
        // Since when the axis has stood short of its goal (when standing).
        bool standing = false;
        std::chrono::steady_clock::time_point stillSince{};
        for (;;) {
            std::int32_t position = 0;
            std::int32_t velocity = 0;
            if (!s.Status(position, velocity, error)) {
                throw Failure{a_.command + " --wait: " + error};
            }
            const bool still = velocity == 0 && last == position;
            if (still && position == goal) {
                out_ << "at rest at position " << position << "\n";
                return;
            }
            const auto now = std::chrono::steady_clock::now();
            if (!still) {
                standing = false;
            } else if (!standing) {
                standing = true;
                stillSince = now;
            } else if (now - stillSince >= RefusedAfter) {
                throw Failure{a_.command + " --wait: the axis stands at " +
                              std::to_string(position) +
                              (home ? ", not at 0" : ", not at " + std::to_string(target)) +
                              ": the KX-RD4 did not carry out the " + (home ? "homing" : "move") +
                              " (is ENABLE on, are V max and A max above 0?)"};
            }
            last = position;
            if (std::chrono::steady_clock::now() >= deadline ||
                (interrupted_ != nullptr && interrupted_->load())) {
                throw Failure{a_.command + " --wait: the axis was not at rest" +
                              (home ? std::string() : " at " + std::to_string(target)) +
                              " within the time-out (position " + std::to_string(position) +
                              ", velocity " + std::to_string(velocity) + ")"};
            }
            std::this_thread::sleep_for(PollPeriod);
        }
    }

    std::string ControllerName() {
        for (const auto& e : Session().Devices()) {
            if (e.selected) {
                return "KX-RD4 at " + e.path;
            }
        }
        return "KX-RD4";
    }

    ControllerBackup ReadController() {
        ControllerSession& s = Controller();
        ControllerBackup backup;
        std::string error;
        if (!BackupSession(s).Read(backup, error)) {
            throw Failure{"reading the controller: " + error};
        }
        return backup;
    }

    void Backup() {
        const ControllerBackup backup = ReadController();
        const std::time_t now = std::time(nullptr);
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
        const std::string text =
            backup.Write({"KX-RD4 controller backup, kxrd4-cli " KXRD4_VERSION,
                          std::string("date: ") + date, "controller: " + ControllerName(),
                          "Not readable from the controller, written on restore when given here:",
                          "modbus-address = 1..247, modbus-baud = 19200|38400|57600|115200,",
                          "input-filter = 0..999 (ms) in [parameters]."});
        if (!a_.output || *a_.output == "-") {
            out_ << text;
            return;
        }
        if (!FileAccess::WriteAtomically(*a_.output, text.data(), text.size())) {
            throw Failure{"cannot write " + *a_.output + " (it is left as it was)"};
        }
        out_ << "backup of the " << ControllerName() << " written to " << *a_.output << "\n";
    }

    // A backup file, or a program file (its ten programs).
    ControllerBackup LoadBackup(const std::string& path) {
        const std::string text = ReadListing(path);
        if (text.size() == static_cast<std::size_t>(ProgramSetBytes) &&
            text.find("[programs]") == std::string::npos &&
            text.find("[parameters]") == std::string::npos) {
            ProgramSet set;
            LoadProgramFile(path, set);
            return ControllerBackup::FromPrograms(set);
        }
        ControllerBackup backup;
        ControllerBackup::Error error;
        if (!ControllerBackup::Parse(text, backup, error)) {
            throw Failure{path + ":" + std::to_string(error.lineNumber) + ": " + error.message};
        }
        return backup;
    }

    void Restore() {
        const std::string& path = a_.positional[0];
        const ControllerBackup file = LoadBackup(path);
        BackupSession::Selection selection;
        const bool all = !a_.programs && !a_.parametersOnly;
        if (a_.programs) {
            selection.programs = *a_.programs;
        } else if (all) {
            selection.programs.fill(true);
        }
        selection.parameters = all || a_.parametersOnly;
        selection.homing = a_.homing;
        if (selection.homing && file.parameters.count("home") != 0 && !a_.dryRun) {
            err_ << "kxrd4-cli: --homing: writing the homing velocity starts homing\n";
        }
        if (a_.dryRun) {
            const ControllerBackup current = ReadController();
            const auto plan = BackupSession::Plan(file, current, selection);
            if (plan.empty()) {
                out_ << "nothing to change: the " << ControllerName() << " holds " << path << "\n";
                return;
            }
            out_ << "would change on the " << ControllerName() << " (nothing written):\n"
                 << BackupSession::Table(plan);
            return;
        }
        ControllerSession& s = Controller();
        const auto items = BackupSession(s).Restore(file, selection);
        out_ << BackupSession::Table(items);
        if (!BackupSession::AllVerified(items)) {
            throw Failure{"restore of " + path +
                          " is not complete: the items above marked DIFFERS or FAILED"};
        }
        out_ << "restored " << path << " onto the " << ControllerName()
             << ": every item written was read back and verified\n";
    }

    void Diff() {
        const std::string& first = a_.positional[0];
        ControllerBackup a;
        std::string aName;
        ControllerBackup b;
        std::string bName;
        try {
            if (a_.positional.size() == 2) {
                a = LoadBackup(first);
                aName = first;
                b = LoadBackup(a_.positional[1]);
                bName = a_.positional[1];
            } else {
                b = LoadBackup(first);
                bName = first;
                a = ReadController();
                aName = ControllerName();
            }
        } catch (Failure& f) {
            f.status = Cli::Trouble; // as diff(1): 2 is trouble
            throw;
        }
        const auto comparison = BackupComparison::Compare(a, b);
        out_ << (a_.json ? comparison.Json(aName, bName) : comparison.Text(aName, bName));
        if (!comparison.Same()) {
            throw Failure{std::to_string(comparison.Differences().size()) + " difference" +
                          (comparison.Differences().size() == 1 ? "" : "s")};
        }
    }

    void Simulate() {
        SimulateCommand::Options o = a_.simulate;
        o.file = a_.positional[0];
        o.program = *a_.program;
        o.json = a_.json;
        o.findings = &err_;
        const auto outcome = SimulateCommand::Run(o, out_);
        if (outcome.status != Cli::Done) {
            throw Failure{outcome.failure, outcome.status};
        }
    }

    static std::string LineName(int program, int line) {
        char text[32];
        std::snprintf(text, sizeof text, "line %02d of P%d", line, program);
        return text;
    }

    const Arguments& a_;
    const Cli::BackendFactory& factory_;
    std::ostream& out_;
    std::ostream& err_;
    const std::atomic<bool>* interrupted_;
    std::unique_ptr<ControllerSession> session_;
};

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
           "\n"
           "The KX-RD4 (USB):\n"
           "  devices                            the HID devices with serial number (SN) and\n"
           "                                     USB port; * marks the KX-RD4 a command uses\n"
           "  send FILE.kxp -p N [--verify] [--force]\n"
           "                                     write program N to the controller and wait\n"
           "                                     until it reports the program stored; a program\n"
           "                                     the check finds errors in is not sent unless\n"
           "                                     --force is given\n"
           "  read -p N -o FILE.kxp              read program N into FILE (other programs kept)\n"
           "  run -p N | stop -p N               start or stop program N\n"
           "  get PARAM                          read a parameter\n"
           "  set PARAM VALUE                    write a parameter (set home VALUE NO|NC starts\n"
           "                                     homing)\n"
           "  enable on|off | stop-motor | brake\n"
           "  jog position|velocity +|- [STEP]   as the jog buttons (STEP 1..1000, default 500)\n"
           "  move X [--wait [--seconds S]]      move to position X; --wait returns once the\n"
           "                                     axis is at rest at X (fails after S, default 60)\n"
           "  home [--wait [--seconds S]]        homing at the controller's homing velocity\n"
           "  status                             position and velocity, once\n"
           "  watch [--seconds S]                position and velocity at 40 Hz as CSV\n"
           "                                     (ms,position,velocity) until S seconds or Ctrl+C\n"
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
           "                                     --dry-run prints what would change\n"
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
           "                                     Exit 0 ends cleanly, 1 a fault or no end\n"
           "\n"
           "--format json: check, devices, get, status, watch (one object a line), diff and\n"
           "simulate print JSON with the fields of their text form.\n"
           "--device SERIAL|PORT|PATH chooses the KX-RD4 by its serial number, else its USB\n"
           "port, else its device path (as devices lists them); needed when several KX-RD4s\n"
           "are connected, where a device command without it lists them and exits with 4.\n"
           "--emulator runs any device command against a built-in emulated KX-RD4 in its\n"
           "power-on state (no device, no root needed).\n"
           "\n"
           "Parameters: vmin vmax amax (0..29999), vdst (-29999..29999), xdst\n"
           "  (-9999999..9999999), home (-29999..29999, starts homing), xdef\n"
           "  (-9999999..9999999), vdef (-29999..29999), wdef (0..99999); write only:\n"
           "  modbus-address (1..247), modbus-baud (19200 38400 57600 115200),\n"
           "  input-filter (0..999 ms, 0 = none). Values outside a field's range are clamped\n"
           "  as the window clamps them; hexadecimal ($10, 0x10) is accepted.\n"
           "\n"
           "Every reply is awaited for --timeout MS (default 1000).\n"
           "Exit status: 0 done, 1 failed (restore: not every item verified; check:\n"
           "errors found), 2 usage error (diff, check: trouble), 3 no KX-RD4 connected,\n"
           "4 several KX-RD4s connected.\n";
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
        Runner(a, backend, out, err, interrupted).Run();
        out.flush();
        return Done;
    } catch (const UsageError& e) {
        err << "kxrd4-cli: " << e.message << "\n(kxrd4-cli --help lists the commands)\n";
        return Usage;
    } catch (const Failure& e) {
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
