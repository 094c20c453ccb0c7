#include "MotionCommand.h"

#include <optional>
#include <ostream>
#include <thread>

#include "CommandContext.h"
#include "CommandFailure.h"
#include "CommandReport.h"
#include "IntegerText.h"
#include "UsageError.h"

namespace {

// move --wait: an axis standing short of its goal this long did not take the
// move.
constexpr std::chrono::milliseconds RefusedAfter{500};

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
    ControllerSession::Reply reply;
    std::string error;
    // Homing at the controller's own homing velocity and contact type.
    if (!s.Request(MessageLetter::HomeRead, reply, error)) {
        throw CommandFailure{"home: " + error};
    }
    const std::int32_t velocity = reply.value.value_or(0);
    // The position before: the KX-RD4 reports neither ENABLE nor the end of
    // a homing, so only a change of the axis tells that the homing ran.
    std::optional<std::int32_t> before;
    if (context.Arguments().wait) {
        std::int32_t position = 0;
        std::int32_t moving = 0;
        if (!s.Status(position, moving, error)) {
            throw CommandFailure{"home: " + error};
        }
        before = position;
    }
    if (!s.Homing(velocity, static_cast<std::uint8_t>(reply.contactType.value_or(0)), reply,
                  error)) {
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
    const bool home = a.command == "home";
    std::ostream& out = context.Out();
    out.flush();
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(a.seconds.value_or(60)));
    std::string error;
    std::optional<std::int32_t> last;
    // Since when the axis has stood short of its goal (when standing).
    bool standing = false;
    std::chrono::steady_clock::time_point stillSince{};
    // A homing counts once the axis was seen moving or its position changed.
    bool homed = !homedFrom;
    for (;;) {
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        if (!s.Status(position, velocity, error)) {
            context.StopWhenInterrupted();
            throw CommandFailure{a.command + " --wait: " + error};
        }
        homed = homed || velocity != 0 || position != *homedFrom;
        context.StopBeyondLimits(position, velocity);
        const bool still = velocity == 0 && last == position;
        if (still && position == goal && homed) {
            out << "at rest at position " << position << "\n";
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!still) {
            standing = false;
        } else if (!standing) {
            standing = true;
            stillSince = now;
        } else if (now - stillSince >= RefusedAfter) {
            throw CommandFailure{
                a.command + " --wait: the axis stands at " + std::to_string(position) +
                (position == goal ? ", where it stood before, and never moved"
                                  : ", not at " + std::to_string(goal)) +
                ": the KX-RD4 did not carry out the " + (home ? "homing" : "move") +
                " (is ENABLE on, are V max and A max above 0?)"};
        }
        last = position;
        context.StopWhenInterrupted();
        if (std::chrono::steady_clock::now() >= deadline) {
            throw CommandFailure{a.command + " --wait: the axis was not at rest" +
                                 (home ? std::string() : " at " + std::to_string(goal)) +
                                 " within the time-out (position " + std::to_string(position) +
                                 ", velocity " + std::to_string(velocity) + ")"};
        }
        std::this_thread::sleep_for(CommandContext::PollPeriod);
    }
}
