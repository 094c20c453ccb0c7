#pragma once
// The whole controller in one text file (*.kxb): its parameters and its ten
// programs, for diff and version control. UTF-8, LF line ends, stable order:
//
//   # comments (tool version, date, the controller's port)
//   [parameters]
//   vmax = 1000
//   home = -200 NO
//   ...
//   [programs]
//   P0
//   [00]  *****   | 00 00 00 00 00 00 00 00
//   ...
//
// "#" comments and blank lines are allowed anywhere and ignored. The programs
// section is the lossless program listing; a program missing from it is not
// part of the backup. Unknown keys, values outside a parameter's range, keys
// given twice and text outside the sections are errors with their line
// number. The MODBUS address and rate and the input filter cannot be read back
// from the controller: a backup never holds them, but they may be added by
// hand and are then written on restore, unverified.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramSet.h"

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

    // "1000" or "-200 NO".
    static std::string ValueText(const Key& key, const Value& value);

    // The file: the comment lines (each written as "# " + line), the
    // parameters in Keys() order, then the programs present.
    std::string Write(const std::vector<std::string>& comments) const;

    struct Error {
        int lineNumber = 0;  // 1-based
        std::string message; // English
    };
    // Parses a whole file into backup (which must be empty). False with the
    // first error; backup must then not be used.
    static bool Parse(std::string_view text, ControllerBackup& backup, Error& error);

    // A program file's ten programs, without parameters.
    static ControllerBackup FromPrograms(const ProgramSet& set);
};
