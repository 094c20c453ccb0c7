#pragma once
// kxrd4-cli enable, stop-motor, brake, jog, move and home: the axis driven as
// from the "Sterowanie" page. move and home with --wait return once the axis is
// at rest (at the target, or at 0 after homing), polled at 40 Hz; an axis that
// stands elsewhere, or is not at rest within --seconds, fails the command.
// Ctrl+C or SIGTERM during jog, move --wait or home --wait sends MotorStop
// and fails the command. With travel limits kept for the controller (limits),
// a move or jog beyond them is refused before anything is sent, a velocity
// jog is watched at 40 Hz until the axis is at rest, and a position seen
// beyond them (moving further out) while waiting or watching stops the axis
// and fails.

#include <cstdint>
#include <optional>
#include <string>

#include "TravelLimits.h"

class CommandContext;
class ControllerSession;

class MotionCommand {
public:
    // enable on|off
    static void Enable(CommandContext& context);
    // stop-motor: decelerate to a stop.
    static void StopMotor(CommandContext& context);
    // brake: stop at once.
    static void Brake(CommandContext& context);
    // jog position|velocity +|- [STEP] (STEP 1..1000, default 500)
    static void Jog(CommandContext& context);
    // move X [--wait [--seconds S]]
    static void Move(CommandContext& context);
    // home [--wait [--seconds S]]: at the controller's own homing velocity and
    // contact type.
    static void Home(CommandContext& context);

private:
    // The --wait of move and home: polls until the axis rests at goal; for a
    // homing (homedFrom: the position before it) only once the axis moved or
    // its position changed, as the KX-RD4 reports no end of a homing.
    // Ctrl+C or SIGTERM stops the axis and fails.
    static void WaitAtRest(CommandContext& context, ControllerSession& session, std::int32_t goal,
                           std::optional<std::int32_t> homedFrom);
    static void CheckSeconds(CommandContext& context);
    // After a velocity jog with limits kept: polls until the axis is at rest;
    // beyond the limits and moving out it is stopped (and fails), as it is
    // on Ctrl+C or SIGTERM.
    static void FollowVelocity(CommandContext& context, ControllerSession& session,
                               const TravelLimits& limits);
    // Throws the refusal of a jog by step that would leave the limits.
    static void CheckJog(ControllerSession& session, const TravelLimits& limits, bool position,
                         std::int32_t step);
};
