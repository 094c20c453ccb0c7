#include "ParameterCommand.h"

#include <optional>
#include <ostream>
#include <utility>

#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandReport.h"
#include "IntegerText.h"
#include "JsonText.h"
#include "ParameterAccess.h"
#include "UsageError.h"

namespace {

const ParameterTable::Parameter& Parameter(const std::string& name) {
    std::string error;
    const ParameterTable::Parameter* p = ParameterAccess::Find(name, error);
    if (p == nullptr) {
        throw UsageError{error};
    }
    return *p;
}

} // namespace

void ParameterCommand::Get(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    const auto& param = Parameter(a.positional[0]);
    if (!param.read) {
        throw UsageError{std::string(param.name) +
                         " cannot be read: the controller only takes it (set " +
                         std::string(param.name) + " VALUE)"};
    }
    const auto reply =
        context.Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
            return ParameterAccess::Read(s, param, r, e);
        });
    const bool homing = param.kind == ParameterTable::Kind::Homing;
    if (a.json) {
        out << "{\"parameter\":" << JsonText::Quote(param.name) << ",\"value\":" << *reply.value;
        if (homing && reply.contactType) {
            out << ",\"contactType\":\"" << (*reply.contactType == 1 ? "NC" : "NO") << "\"";
        }
        out << "}\n";
        return;
    }
    out << *reply.value;
    if (homing) {
        if (reply.contactType) {
            out << (*reply.contactType == 1 ? " NC" : " NO");
        } else {
            context.Err()
                << "kxrd4-cli: the contact type the KX-RD4 answered is neither NO nor NC\n";
        }
    }
    out << "\n";
}

void ParameterCommand::Set(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const auto& param = Parameter(a.positional[0]);
    const std::string& text = a.positional[1];
    const std::optional<std::int32_t> parsed = IntegerText::Parse(text);
    if (!parsed) {
        throw UsageError{"set " + std::string(param.name) + ": \"" + text +
                         "\" is not a whole number"};
    }
    const bool homing = param.kind == ParameterTable::Kind::Homing;
    if (a.positional.size() == 3 && !homing) {
        throw UsageError{"set " + std::string(param.name) + " takes one value"};
    }
    std::int32_t value = *parsed;
    std::string message;
    switch (ParameterAccess::Accept(param, *parsed, value, message)) {
    case ParameterAccess::Check::Ok:
        break;
    case ParameterAccess::Check::Clamped:
        context.Err() << "kxrd4-cli: " << message << "\n";
        break;
    case ParameterAccess::Check::NotOffered:
        throw UsageError{"set " + message};
    }
    std::uint8_t contact = 0;
    if (homing && a.positional.size() == 3) {
        const std::string& type = a.positional[2];
        if (type != "NO" && type != "NC") {
            throw UsageError{"set home: the contact type is NO or NC, not \"" + type + "\""};
        }
        contact = type == "NC" ? 1 : 0;
    }
    context.HeldController();
    context.Ask([&](ControllerSession& s, ControllerSession::Reply&, std::string& e) {
        return ParameterAccess::Write(s, param, value, contact, e);
    });
    context.Out() << CommandReport::Done(param.write, value) << "\n";
}

void ParameterCommand::Status(CommandContext& context) {
    ControllerSession& s = context.Controller();
    std::int32_t position = 0;
    std::int32_t velocity = 0;
    std::string error;
    if (!s.Status(position, velocity, error)) {
        throw CommandFailure{error};
    }
    if (context.Arguments().json) {
        context.Out() << "{\"position\":" << position << ",\"velocity\":" << velocity << "}\n";
        return;
    }
    context.Out() << "position " << position << "\nvelocity " << velocity << "\n";
}

void ParameterCommand::Watch(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    ControllerSession& s = context.Controller();
    if (!a.json) {
        out << "ms,position,velocity\n";
    }
    std::string error;
    // The last sample, when it found the axis leaving the travel limits.
    std::optional<std::pair<std::int32_t, std::int32_t>> leaving;
    const std::optional<TravelLimits> limits = context.Limits();
    const bool ok = s.Watch(
        CommandContext::PollPeriod, a.seconds.value_or(0),
        [&](std::int64_t ms, std::int32_t position, std::int32_t velocity) {
            if (a.json) {
                out << "{\"ms\":" << ms << ",\"position\":" << position
                    << ",\"velocity\":" << velocity << "}\n";
            } else {
                out << ms << "," << position << "," << velocity << "\n";
            }
            out.flush();
            if (limits && limits->LeavingAt(position, velocity)) {
                leaving.emplace(position, velocity);
                return false;
            }
            return true;
        },
        error);
    // Ctrl+C or SIGTERM ends the watch with a stop of the axis, and so does
    // an axis leaving the travel limits.
    context.StopWhenInterrupted();
    if (leaving) {
        context.StopBeyondLimits(leaving->first, leaving->second);
    }
    if (!ok) {
        throw CommandFailure{error};
    }
}
