#pragma once
// The motions that are awaited: a homing at the controller's own homing
// velocity and contact type, and the wait until the axis rests at its goal
// (the target of a move, or 0 after a homing), polled at 40 Hz as the
// window's chart polls. The KX-RD4 reports neither ENABLE nor the end of a
// homing (its status reply is the position and the velocity only), so a
// homing counts only once the axis was seen moving or its position changed,
// and an axis that stands still short of its goal for RefusedAfter did not
// take the motion. Shared by the command-line tool and the library.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class ControllerSession;

class AxisMotion {
public:
    static constexpr std::chrono::milliseconds PollPeriod{25};
    // An axis standing short of its goal this long did not take the motion.
    static constexpr std::chrono::milliseconds RefusedAfter{500};

    enum class End {
        AtRest,        // at rest at the goal
        Failed,        // a status poll failed (the session's LastFailure says why)
        NotCarriedOut, // standing elsewhere, or a homing that never moved
        TimedOut,      // not at rest within the limit
    };

    // Called while waiting: polled with each position and velocity seen (may
    // throw to end the wait, as the command-line tool does for an axis moving
    // out beyond the travel limits), and
    // between with nothing before each pause (an interruption).
    struct Hooks {
        std::function<void(std::int32_t position, std::int32_t velocity)> polled;
        std::function<void()> between;
    };

    // Reads the homing velocity and contact type the controller holds and
    // starts a homing with them; with wait, first reads the position
    // (homedFrom, for WaitAtRest). False with the reason.
    static bool StartHoming(ControllerSession& session, bool wait, std::int32_t& velocity,
                            std::optional<std::int32_t>& homedFrom, std::string& error);

    // Polls until the axis is at rest at goal (AtRest, position set), or
    // stands elsewhere, or the limit passes; for a homing (homedFrom set)
    // only once it moved. error tells what happened otherwise, in English,
    // with homing naming the motion.
    static End WaitAtRest(ControllerSession& session, std::int32_t goal,
                          std::optional<std::int32_t> homedFrom,
                          std::chrono::duration<double> limit, const Hooks& hooks,
                          std::int32_t& position, std::string& error);
};
