#include "LimitsCommand.h"

#include <ostream>

#include "CommandContext.h"
#include "CommandFailure.h"
#include "SettingsFile.h"
#include "TravelLimits.h"
#include "UsageError.h"

namespace {

std::string Describe(const TravelLimits& limits) {
    return "min " + std::to_string(limits.min) + ", max " + std::to_string(limits.max) +
           (limits.vmax ? ", vmax " + std::to_string(*limits.vmax) : std::string());
}

} // namespace

void LimitsCommand::Run(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const bool change = a.limitMin || a.limitMax || a.limitVmax;
    if (a.clearLimits && change) {
        throw UsageError{"limits: --clear takes no --min, --max or --vmax"};
    }
    context.Controller();
    const DeviceIdentity identity = context.ControllerIdentity();
    const std::string key = TravelLimits::KeyFor(identity.serial, identity.port);
    const std::string name = context.ControllerName();
    if (key.empty()) {
        throw CommandFailure{"limits: the " + name +
                             " tells neither a serial number nor a USB port to keep them by"};
    }
    SettingsFile settings(context.SettingsPath());
    std::optional<TravelLimits> limits =
        TravelLimits::Parse(settings.ReadString(TravelLimits::Section, key, std::string()));
    std::ostream& out = context.Out();
    const std::string where =
        " (kept on this PC in " + settings.Path() + ", not in the controller)";
    try {
        if (a.clearLimits) {
            settings.WriteString(TravelLimits::Section, key, std::string());
            out << "travel limits of the " << name << " cleared" << where << "\n";
            return;
        }
        if (change) {
            if (!limits && (!a.limitMin || !a.limitMax)) {
                throw UsageError{"limits: the first limits need both --min and --max"};
            }
            TravelLimits next = limits.value_or(TravelLimits{});
            next.min = a.limitMin.value_or(next.min);
            next.max = a.limitMax.value_or(next.max);
            if (a.limitVmax) {
                next.vmax = a.limitVmax;
            }
            if (next.min > next.max) {
                throw UsageError{"limits: min " + std::to_string(next.min) + " is above max " +
                                 std::to_string(next.max)};
            }
            settings.WriteString(TravelLimits::Section, key, next.Text());
            limits = next;
        }
    } catch (const std::runtime_error& error) {
        throw CommandFailure{std::string("limits: ") + error.what()};
    }
    if (!limits) {
        out << "no travel limits for the " << name << where << "\n";
        return;
    }
    out << "travel limits of the " << name << ": " << Describe(*limits) << where << "\n";
}
