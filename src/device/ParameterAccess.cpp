#include "ParameterAccess.h"

#include "IntegerText.h"

const ParameterTable::Parameter* ParameterAccess::Find(std::string_view name, std::string& error) {
    if (const ParameterTable::Parameter* p = ParameterTable::Find(name)) {
        return p;
    }
    std::string names;
    for (const auto& q : ParameterTable::All()) {
        names += (names.empty() ? "" : ", ") + std::string(q.name);
    }
    error = "unknown parameter \"" + std::string(name) + "\" (parameters: " + names + ")";
    return nullptr;
}

ParameterAccess::Check ParameterAccess::Accept(const ParameterTable::Parameter& parameter,
                                               std::int32_t requested, std::int32_t& value,
                                               std::string& message) {
    value = requested;
    if (parameter.kind == ParameterTable::Kind::Field ||
        parameter.kind == ParameterTable::Kind::Homing) {
        value = IntegerText::Clamp(requested, parameter.min, parameter.max);
        if (value == requested) {
            return Check::Ok;
        }
        message = std::string(parameter.name) + ": " + std::to_string(requested) + " is outside " +
                  std::to_string(parameter.min) + " to " + std::to_string(parameter.max) + ", " +
                  std::to_string(value) + " is sent";
        return Check::Clamped;
    }
    if (ParameterTable::IsListValue(parameter, requested)) {
        return Check::Ok;
    }
    message = std::string(parameter.name) + ": " + std::to_string(requested) + " is not offered; " +
              (parameter.kind == ParameterTable::Kind::Baud
                   ? std::string("the rates are 19200, 38400, 57600 and 115200")
                   : "the values are " + std::to_string(parameter.min) + " to " +
                         std::to_string(parameter.max));
    return Check::NotOffered;
}

bool ParameterAccess::Read(ControllerSession& session, const ParameterTable::Parameter& parameter,
                           ControllerSession::Reply& reply, std::string& error) {
    if (!parameter.read) {
        error = std::string(parameter.name) + " cannot be read: the controller only takes it";
        return false;
    }
    if (!session.Request(*parameter.read, reply, error)) {
        return false;
    }
    if (!reply.value) {
        error = "the KX-RD4's answer was too short to carry the value";
        return false;
    }
    return true;
}

bool ParameterAccess::Write(ControllerSession& session, const ParameterTable::Parameter& parameter,
                            std::int32_t value, std::uint8_t contactType, std::string& error) {
    ControllerSession::Reply reply;
    if (parameter.kind == ParameterTable::Kind::Homing) {
        return session.Homing(value, contactType, reply, error);
    }
    if (parameter.kind == ParameterTable::Kind::Address) {
        return session.Byte(parameter.write, static_cast<std::uint8_t>(value), reply, error);
    }
    return session.Value(parameter.write, value, reply, error);
}
