#pragma once
// The command line of kxrd4-cli as parsed: the command, its positional
// arguments and the options given. Only the options a command takes get past
// the parser.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "EmulatedAxis.h"
#include "ProgramSet.h"
#include "RecordCommand.h"
#include "SimulateCommand.h"

struct CommandArguments {
    static constexpr std::chrono::milliseconds DefaultTimeout{1000};

    std::string command;
    std::vector<std::string> positional;
    std::optional<int> program;
    std::optional<std::string> output;
    bool raw = false;
    bool clamp = false;
    bool verify = false;
    bool emulator = false;
    EmulatedAxis::Imperfection emulatedAxis; // --emulator-lag, --emulator-lose-steps
    bool parametersOnly = false;
    bool dryRun = false;
    bool wait = false;
    bool json = false;
    bool homing = false;
    bool all = false; // restore --all: every KX-RD4 plugged
    bool warningsAsErrors = false;
    bool force = false;
    std::optional<std::array<bool, ProgramCount>> programs;
    std::optional<double> seconds;
    std::optional<std::string> device; // --device SERIAL|PORT|PATH
    // limits: --min, --max, --vmax, --clear; --settings: the settings file
    // that keeps the travel limits.
    std::optional<std::int32_t> limitMin;
    std::optional<std::int32_t> limitMax;
    std::optional<std::int32_t> limitVmax;
    bool clearLimits = false;
    // check, simulate: where the axis starts (--start; the limits as above).
    std::optional<std::int32_t> start;
    std::optional<std::string> settings;
    SimulateCommand::Options simulate; // also record's --until and --csv
    RecordCommand::Options record;
    std::chrono::milliseconds timeout = DefaultTimeout;
    std::set<std::string> options; // the options given, by their long name
};
