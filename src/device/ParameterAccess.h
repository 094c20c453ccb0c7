#pragma once
// A controller parameter read or written by its command-line name (vmax,
// home, modbus-baud, ...; ParameterTable): the name looked up, a value
// checked as the window checks it (an edit field's value clamped to its
// range, a list's value one it offers) and the exchange with the KX-RD4.
// Shared by the command-line tool and the library. Messages are English.

#include <cstdint>
#include <string>
#include <string_view>

#include "ControllerSession.h"
#include "ParameterTable.h"

class ParameterAccess {
public:
    // The parameter named; nullptr with the message naming every parameter.
    static const ParameterTable::Parameter* Find(std::string_view name, std::string& error);

    enum class Check {
        Ok,         // value is requested
        Clamped,    // an edit field's value outside its range: value is the nearest end
        NotOffered, // a list's value it does not offer: nothing to send
    };
    // The value to send for requested, and a message for Clamped ("vmax:
    // 2000000 is outside 1 to 1000000, 1000000 is sent") and NotOffered.
    static Check Accept(const ParameterTable::Parameter& parameter, std::int32_t requested,
                        std::int32_t& value, std::string& message);

    // Reads the parameter (for home also its contact type). False with the
    // reason, also for one the controller cannot be asked for.
    static bool Read(ControllerSession& session, const ParameterTable::Parameter& parameter,
                     ControllerSession::Reply& reply, std::string& error);
    // Writes value (already accepted); contactType (0 NO, 1 NC) for home only.
    static bool Write(ControllerSession& session, const ParameterTable::Parameter& parameter,
                      std::int32_t value, std::uint8_t contactType, std::string& error);
};
