#pragma once
// kxrd4-cli record [FILE] -p N [--run] [--until S] [--csv FILE] [--report
// FILE.pdf [--lang pl|en]] [--tolerance STEPS] [--format json]: records position and
// velocity as fast as the KX-RD4 answers and compares them with the dry run
// of program N from the parameters and position read just before. With FILE
// (a .kxp or a listing) program N of it is sent and verified first; with
// --run the command starts the program itself (the run's time 0, and the
// recording ends once the program is over: at rest after its predicted end),
// otherwise it records until --until or Ctrl+C, aligned at the first motion.
// The report is in --lang's language, else in the window's (config.ini's
// Language=, else the system's).
// Exit 0 when the run kept to the prediction within the tolerance, 1
// otherwise, the figures printed either way.

#include <optional>
#include <string>

#include "LanguageChoice.h"

class CommandContext;

class RecordCommand {
public:
    struct Options {
        bool run = false;
        double tolerance = 10; // steps
        std::optional<std::string> report;
        std::optional<Language> language; // --lang, for the report
    };
    static constexpr double DefaultTolerance = 10;

    static void Record(CommandContext& context);
};
