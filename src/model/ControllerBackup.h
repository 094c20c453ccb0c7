#pragma once
// The whole controller in one text file (*.kxb): its parameters and its ten
// programs, for diff and version control. UTF-8, LF line ends, stable order:
//
//   # comments (tool version, date, the controller's port)
//   [backup]
//   parameters = vmin vmax amax xdef vdef wdef home vdst xdst
//   programs = P0 P1 P2 P3 P4 P5 P6 P7 P8 P9
//   [parameters]
//   vmax = 1000
//   home = -200 NO
//   ...
//   [programs]
//   P0
//   [00]  *****   | 00 00 00 00 00 00 00 00
//   ...
//   [end]
//
// "#" comments and blank lines are allowed anywhere and ignored. The programs
// section is the lossless program listing; a program missing from it is not
// part of the backup, and lines a program leaves out are empty. Unknown
// keys, values outside a parameter's range, keys given twice and text outside
// the sections are errors with their line number. The MODBUS address and rate
// and the input filter cannot be read back from the controller: a backup
// never holds them, but they may be added by hand and are then written on
// restore, unverified.
//
// The tool's own files say in [backup] what they hold, list all 25 lines of
// each program and end with [end], so that a file cut short (a copy
// interrupted, a disk full) or one that lost a line, a parameter or a program
// is refused rather than restored in part. A file
// without [backup] (written by hand, or by an older version) holds what it
// gives; "[end]" may end it too, and nothing but comments may follow [end].
//
// A section of its own, "[limits]" (min = X, max = X, optionally vmax = V),
// after [parameters], carries the travel limits the PC keeps for the
// controller (TravelLimits): they are the tool's, not the controller's, and a
// file without the section holds none.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramSet.h"
#include "TravelLimits.h"

class ControllerBackup {
public:
    struct Key {
        std::string_view name;
        std::int32_t min;
        std::int32_t max;
        bool readable;  // the controller can be asked for it
        bool moves;     // writing it moves the axis (never restored, or only on request)
        bool homing;    // the value is followed by the contact type NO or NC
        bool baudRates; // only 19200, 38400, 57600 and 115200
    };
    // Every key in file order.
    static const std::vector<Key>& Keys();
    static const Key* FindKey(std::string_view name);

    struct Value {
        std::int32_t value = 0;
        int contactType = 0; // home only: 0 = NO, 1 = NC
        bool operator==(const Value&) const = default;
    };

    // The parameters present, by key name.
    std::map<std::string, Value, std::less<>> parameters;
    ProgramSet programs;
    std::array<bool, ProgramCount> hasProgram{};
    // How many of its 25 lines each program lists in the file it was read
    // from (a hand-written program may leave lines out; they are empty).
    std::array<int, ProgramCount> listedLines{};
    // The [limits] section, when the file has one.
    std::optional<TravelLimits> limits;

    // "1000" or "-200 NO".
    static std::string ValueText(const Key& key, const Value& value);

    // The file: the comment lines (each written as "# " + line), [backup]
    // naming what follows, the parameters in Keys() order, the programs
    // present and [end].
    std::string Write(const std::vector<std::string>& comments) const;

    struct Error {
        int lineNumber = 0;  // 1-based
        std::string message; // English
    };
    // Parses a whole file into backup (which must be empty). False with the
    // first error; backup must then not be used.
    static bool Parse(std::string_view text, ControllerBackup& backup, Error& error);

    // Removes the parameters the controller cannot be asked for (before a
    // comparison with a controller, which has nothing to compare them with);
    // returns their names.
    std::vector<std::string> DropUnreadable();

    // A program file's ten programs, without parameters.
    static ControllerBackup FromPrograms(const ProgramSet& set);
};
