#include "MotionCommand.h"

#include <optional>
#include <ostream>

#include "AxisMotion.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandReport.h"
#include "IntegerText.h"
#include "UsageError.h"

namespace {

void Simple(CommandContext& context, MessageLetter letter) {
    context.Ask([&](ControllerSession& s, ControllerSession::Reply& r, std::string& e) {
        return s.Request(letter, r, e);
    });
    context.Out() << CommandReport::Done(letter) << "\n";
}

} // namespace

void MotionCommand::Enable(CommandContext& context) {
    const std::string& state = context.Arguments().positional[0];
    if (state != "on" && state != "off") {
        throw UsageError{"enable takes on or off, not \"" + state + "\""};
    }
    Simple(context, state == "on" ? MessageLetter::EnableOn : MessageLetter::EnableOff);
}

void MotionCommand::StopMotor(CommandContext& context) {
    Simple(context, MessageLetter::MotorStop);
}

void MotionCommand::Brake(CommandContext& context) {
    Simple(context, MessageLetter::MotorBrake);
}

void MotionCommand::Jog(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& what = a.positional[0];
    const std::string& sign = a.positional[1];
    if ((what != "position" && what != "velocity") || (sign != "+" && sign != "-")) {
        throw UsageError{"usage: kxrd4-cli jog position|velocity +|- [STEP]"};
    }
    std::int32_t step = 500; // the window's default step
    if (a.positional.size() == 3) {
        const auto parsed = IntegerText::Parse(a.positional[2]);
        if (!parsed || *parsed < 1 || *parsed > 1000) {
            throw UsageError{"jog: the step is 1 to 1000, not \"" + a.positional[2] + "\""};
        }
        step = *parsed;
    }
    const bool up = sign == "+";
    const MessageLetter letter =
        what == "position" ? (up ? MessageLetter::PositionUp : MessageLetter::PositionDown)
                           : (up ? MessageLetter::VelocityUp : MessageLetter::VelocityDown);
    ControllerSession& s = context.Controller();
    ControllerSession::Reply reply;
    std::string error;
    const std::optional<TravelLimits> limits = context.Limits();
    if (limits) {
        CheckJog(s, *limits, what == "position", up ? step : -step);
    }
    if (!s.Value(letter, step, reply, error)) {
        context.StopWhenInterrupted();
        throw CommandFailure{"jog: " + error};
    }
    context.Out() << CommandReport::Done(letter, step) << "\n";
    context.StopWhenInterrupted();
    // A position jog ends at its target, within the limits; a velocity jog
    // runs on until something stops it.
    if (limits && what == "velocity") {
        FollowVelocity(context, s, *limits);
    }
}

void MotionCommand::FollowVelocity(CommandContext& context, ControllerSession& s,
                                   const TravelLimits& limits) {
    std::ostream& out = context.Out();
    out.flush();
    context.Err() << "kxrd4-cli: jog: watching the axis against the travel limits "
                  << limits.Range() << " until it is at rest (Ctrl+C stops it)\n";
    std::optional<std::int32_t> last;
    bool rest = false;
    bool leaving = false;
    std::int32_t position = 0;
    std::int32_t velocity = 0;
    std::string error;
    const bool ok = s.Watch(
        CommandContext::PollPeriod, 0,
        [&](std::int64_t, std::int32_t p, std::int32_t v) {
            position = p;
            velocity = v;
            leaving = limits.LeavingAt(p, v);
            // (A velocity of 0 is also seen in the first ms of a ramp.)
            rest = v == 0 && last == p;
            last = p;
            return !leaving && !rest;
        },
        error);
    context.StopWhenInterrupted();
    if (leaving) {
        context.StopBeyondLimits(position, velocity);
    }
    if (!ok) {
        throw CommandFailure{"jog: " + error + " while watching the axis: it may still be moving"};
    }
    out << "at rest at position " << position << "\n";
}

void MotionCommand::Move(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const auto parsed = IntegerText::Parse(a.positional[0]);
    if (!parsed || *parsed < -9999999 || *parsed > 9999999) {
        throw UsageError{"move: the position is -9999999 to 9999999, not \"" + a.positional[0] +
                         "\""};
    }
    const std::int32_t target = *parsed;
    CheckSeconds(context);
    ControllerSession& s = context.Controller();
    if (const std::optional<TravelLimits> limits = context.Limits();
        limits && limits->Position(target) != TravelLimits::Breach::None) {
        throw CommandFailure{"move: " + std::to_string(target) + " is beyond the travel limits " +
                             std::to_string(limits->min) + ".." + std::to_string(limits->max) +
                             " of the " + context.ControllerName() + "; nothing was sent"};
    }
    ControllerSession::Reply reply;
    std::string error;
    if (!s.Value(MessageLetter::XdstSet, target, reply, error)) {
        context.StopWhenInterrupted();
        throw CommandFailure{"move: " + error};
    }
    context.Out() << CommandReport::Done(MessageLetter::XdstSet, target) << "\n";
    if (a.wait) {
        WaitAtRest(context, s, target, std::nullopt);
    }
}

void MotionCommand::Home(CommandContext& context) {
    CheckSeconds(context);
    ControllerSession& s = context.Controller();
    std::int32_t velocity = 0;
    std::optional<std::int32_t> before;
    std::string error;
    if (!AxisMotion::StartHoming(s, context.Arguments().wait, velocity, before, error)) {
        context.StopWhenInterrupted();
        throw CommandFailure{"home: " + error};
    }
    context.Out() << CommandReport::Done(MessageLetter::HomeStart, velocity) << "\n";
    if (context.Arguments().wait) {
        WaitAtRest(context, s, 0, before); // homing ends at position 0
    }
}

void MotionCommand::CheckJog(ControllerSession& s, const TravelLimits& limits, bool position,
                             std::int32_t step) {
    std::int32_t at = 0;
    std::int32_t velocity = 0;
    std::string error;
    if (!s.Status(at, velocity, error)) {
        throw CommandFailure{"jog: " + error};
    }
    const std::string beyond = "jog: refused, nothing was sent: ";
    if (!position) {
        if (limits.Velocity(static_cast<std::int64_t>(velocity) + step) !=
            TravelLimits::Breach::None) {
            throw CommandFailure{beyond + "the velocity would reach " +
                                 std::to_string(static_cast<std::int64_t>(velocity) + step) +
                                 ", above the limit " + std::to_string(*limits.vmax)};
        }
        return;
    }
    // A jog moves the target of the running move: X dst while moving, else
    // the position.
    std::int32_t from = at;
    if (velocity != 0) {
        ControllerSession::Reply reply;
        if (!s.Request(MessageLetter::XdstRead, reply, error)) {
            throw CommandFailure{"jog: " + error};
        }
        from = reply.value.value_or(at);
    }
    if (limits.Jog(from, step) != TravelLimits::Breach::None) {
        throw CommandFailure{beyond + "the target would be " +
                             std::to_string(static_cast<std::int64_t>(from) + step) +
                             ", beyond the travel limits " + std::to_string(limits.min) + ".." +
                             std::to_string(limits.max)};
    }
}

void MotionCommand::CheckSeconds(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    if (a.seconds && !a.wait) {
        throw UsageError{a.command + ": --seconds limits --wait"};
    }
}

void MotionCommand::WaitAtRest(CommandContext& context, ControllerSession& s, std::int32_t goal,
                               std::optional<std::int32_t> homedFrom) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    out.flush();
    AxisMotion::Hooks hooks;
    hooks.polled = [&context](std::int32_t position, std::int32_t velocity) {
        context.StopBeyondLimits(position, velocity);
    };
    hooks.between = [&context] { context.StopWhenInterrupted(); };
    std::int32_t position = 0;
    std::string error;
    const AxisMotion::End end = AxisMotion::WaitAtRest(
        s, goal, homedFrom, std::chrono::duration<double>(a.seconds.value_or(60)), hooks, position,
        error);
    if (end == AxisMotion::End::AtRest) {
        out << "at rest at position " << position << "\n";
        return;
    }
    if (end == AxisMotion::End::Failed) {
        context.StopWhenInterrupted();
    }
    throw CommandFailure{a.command + " --wait: " + error};
}
