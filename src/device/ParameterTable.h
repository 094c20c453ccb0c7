#pragma once
// The controller parameters of the "Sterowanie" and "Opcje" pages as the
// command-line tool names them: the messages that read and write each one and
// the values its field or list takes.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "MessageLetter.h"

class ParameterTable {
public:
    enum class Kind {
        Field,   // an edit field: any whole number, clamped to min..max as the window does
        Homing,  // the homing velocity field with its contact type NO or NC
        Address, // the MODBUS address list: 1..247 only
        Baud,    // the baud-rate list: 19200, 38400, 57600, 115200 only
        Filter,  // the input-filter list: 0 (none) to 999 ms only
    };

    struct Parameter {
        std::string_view name;
        std::string_view label; // the field's or list's label in the window
        Kind kind;
        std::optional<MessageLetter> read; // nullopt: the controller cannot be asked
        MessageLetter write;
        std::int32_t min;
        std::int32_t max;
    };

    static const std::vector<Parameter>& All();
    static const Parameter* Find(std::string_view name);
    // Whether value is one the parameter's list offers (Address, Baud, Filter).
    static bool IsListValue(const Parameter& parameter, std::int32_t value);
};
