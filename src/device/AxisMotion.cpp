#include "AxisMotion.h"

#include <thread>

#include "ControllerSession.h"

bool AxisMotion::StartHoming(ControllerSession& session, bool wait, std::int32_t& velocity,
                             std::optional<std::int32_t>& homedFrom, std::string& error) {
    ControllerSession::Reply reply;
    if (!session.Request(MessageLetter::HomeRead, reply, error)) {
        return false;
    }
    velocity = reply.value.value_or(0);
    homedFrom.reset();
    if (wait) {
        std::int32_t position = 0;
        std::int32_t moving = 0;
        if (!session.Status(position, moving, error)) {
            return false;
        }
        homedFrom = position;
    }
    const auto contact = static_cast<std::uint8_t>(reply.contactType.value_or(0));
    return session.Homing(velocity, contact, reply, error);
}

AxisMotion::End AxisMotion::WaitAtRest(ControllerSession& session, std::int32_t goal,
                                       std::optional<std::int32_t> homedFrom,
                                       std::chrono::duration<double> limit, const Hooks& hooks,
                                       std::int32_t& position, std::string& error) {
    using Clock = std::chrono::steady_clock;
    const bool homing = homedFrom.has_value();
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    std::optional<std::int32_t> last;
    // Since when the axis has stood short of its goal (when standing).
    bool standing = false;
    Clock::time_point stillSince{};
    bool homed = !homing;
    for (;;) {
        std::int32_t velocity = 0;
        if (!session.Status(position, velocity, error)) {
            return End::Failed;
        }
        homed = homed || velocity != 0 || position != *homedFrom;
        if (hooks.polled) {
            hooks.polled(position, velocity);
        }
        const bool still = velocity == 0 && last == position;
        if (still && position == goal && homed) {
            return End::AtRest;
        }
        const auto now = Clock::now();
        if (!still) {
            standing = false;
        } else if (!standing) {
            standing = true;
            stillSince = now;
        } else if (now - stillSince >= RefusedAfter) {
            error = "the axis stands at " + std::to_string(position) +
                    (position == goal ? ", where it stood before, and never moved"
                                      : ", not at " + std::to_string(goal)) +
                    ": the KX-RD4 did not carry out the " + (homing ? "homing" : "move") +
                    " (is ENABLE on, are V max and A max above 0?)";
            return End::NotCarriedOut;
        }
        last = position;
        if (hooks.between) {
            hooks.between();
        }
        if (Clock::now() >= deadline) {
            error = "the axis was not at rest" +
                    (homing ? std::string() : " at " + std::to_string(goal)) +
                    " within the time-out (position " + std::to_string(position) + ", velocity " +
                    std::to_string(velocity) + ")";
            return End::TimedOut;
        }
        std::this_thread::sleep_for(PollPeriod);
    }
}
