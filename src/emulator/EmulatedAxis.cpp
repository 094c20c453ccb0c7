#include "EmulatedAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t MaxPosition =
    std::int64_t{std::numeric_limits<std::int32_t>::max()} * EmulatedAxis::MicroPerStep;
constexpr std::int64_t MinPosition =
    std::int64_t{std::numeric_limits<std::int32_t>::min()} * EmulatedAxis::MicroPerStep;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

} // namespace

void EmulatedAxis::SetLimits(std::int64_t vmax, std::int64_t amax) {
    vmax_ = std::clamp<std::int64_t>(vmax, 1, MaxVelocity) * UnitsPerStepPerSecond;
    amax_ = std::clamp<std::int64_t>(amax, 1, MaxAcceleration);
}

void EmulatedAxis::Begin(Mode mode) {
    mode_ = mode;
    outcome_ = Outcome::None;
    ++serial_;
}

void EmulatedAxis::Finish(Outcome outcome) {
    if (outcome == Outcome::Reached && imperfection_.lostSteps > 0) {
        const std::int64_t lost = std::int64_t{imperfection_.lostSteps} * MicroPerStep;
        const std::int64_t travel = position_ - moveStart_;
        lostOffset_ += travel > 0 ? -lost : travel < 0 ? lost : 0;
    }
    mode_ = Mode::Idle;
    outcome_ = outcome;
    velocity_ = 0;
}

void EmulatedAxis::MoveTo(std::int32_t target) {
    target_ = target;
    moveStart_ = position_;
    Begin(Mode::Position);
}

void EmulatedAxis::RunAt(std::int64_t velocity) {
    velocityTarget_ = std::clamp(velocity, -MaxVelocity, MaxVelocity) * UnitsPerStepPerSecond;
    Begin(Mode::Velocity);
}

void EmulatedAxis::Home(std::int64_t velocity, bool normallyClosed) {
    velocityTarget_ = std::clamp(velocity, -MaxVelocity, MaxVelocity) * UnitsPerStepPerSecond;
    normallyClosed_ = normallyClosed;
    Begin(Mode::Homing);
}

void EmulatedAxis::Stop() {
    if (mode_ != Mode::Idle) {
        Begin(Mode::Stopping);
    }
}

void EmulatedAxis::Brake() {
    if (mode_ != Mode::Idle) {
        ++serial_;
        Finish(Outcome::Braked);
    }
}

void EmulatedAxis::ClearPosition() {
    for (auto& entry : history_) {
        entry.first -= position_;
    }
    moveStart_ -= position_;
    origin_ += position_;
    position_ = 0;
    lostOffset_ = 0;
}

void EmulatedAxis::SetImperfection(const Imperfection& imperfection) {
    imperfection_.lagMs = std::clamp(imperfection.lagMs, 0, Imperfection::MaxLagMs);
    imperfection_.lostSteps = std::clamp(imperfection.lostSteps, 0, Imperfection::MaxLostSteps);
    history_.assign(static_cast<std::size_t>(imperfection_.lagMs) + 1, {position_, velocity_});
    unchangedSteps_ = imperfection_.lagMs;
}

void EmulatedAxis::RecordLag() {
    if (imperfection_.lagMs == 0) {
        return;
    }
    const std::pair<std::int64_t, std::int64_t> now{position_, velocity_};
    unchangedSteps_ = now == history_.back() ? unchangedSteps_ + 1 : 0;
    history_.push_back(now);
    history_.pop_front();
}

bool EmulatedAxis::LagSettled() const {
    return imperfection_.lagMs == 0 || unchangedSteps_ >= imperfection_.lagMs;
}

bool EmulatedAxis::AtRest() const {
    return mode_ == Mode::Idle && LagSettled();
}

std::int64_t EmulatedAxis::ClampedVelocityTarget() const {
    return std::clamp(velocityTarget_, -vmax_, vmax_);
}

void EmulatedAxis::Approach(std::int64_t velocity) {
    const std::int64_t next = velocity_ + std::clamp(velocity - velocity_, -amax_, amax_);
    position_ += (velocity_ + next) / 2;
    velocity_ = next;
}

// The velocity towards the target for the next step is the highest one that
// is within A max of the present one, at most V max, and still lets the axis
// stop at the target decelerating at A max. Decelerating from u (units per ms)
// to 0 covers exactly u²/(2A), so that velocity u' is the largest with
// (u + u')/2 + u'²/(2A) <= remaining distance.
void EmulatedAxis::StepPosition() {
    const std::int64_t distance = std::int64_t{target_} * MicroPerStep - position_;
    const std::int64_t sign = distance > 0 ? 1 : distance < 0 ? -1 : (velocity_ > 0 ? -1 : 1);
    const std::int64_t u = velocity_ * sign;        // towards the target
    const std::int64_t remaining = distance * sign; // >= 0
    const std::int64_t a = amax_;
    if (u >= 0 && u <= a && remaining <= (u + a) / 2) {
        position_ = std::int64_t{target_} * MicroPerStep;
        Finish(Outcome::Reached);
        return;
    }
    const double disc = static_cast<double>(a) * static_cast<double>(a) / 4.0 +
                        2.0 * static_cast<double>(a) *
                            (static_cast<double>(remaining) - static_cast<double>(u) / 2.0);
    std::int64_t next = std::min(u + a, vmax_);
    if (disc < 0.0) {
        next = u - a;
    } else {
        const double allowed = std::floor(-static_cast<double>(a) / 2.0 + std::sqrt(disc));
        if (allowed < static_cast<double>(next)) {
            next = static_cast<std::int64_t>(allowed);
        }
    }
    next = std::max(next, u - a);
    position_ += sign * ((u + next) / 2);
    velocity_ = sign * next;
}

void EmulatedAxis::KeepWithinLimit() {
    if (position_ > MaxPosition) {
        position_ = MaxPosition;
        Finish(Outcome::Limit);
    } else if (position_ < MinPosition) {
        position_ = MinPosition;
        Finish(Outcome::Limit);
    }
}

bool EmulatedAxis::HomeSwitchClosed() const {
    return position_ + origin_ <= std::int64_t{HomeSwitchEdge} * MicroPerStep;
}

bool EmulatedAxis::HomeSignal() const {
    return HomeSwitchClosed() != normallyClosed_;
}

void EmulatedAxis::Step() {
    StepProfile();
    RecordLag();
}

void EmulatedAxis::StepProfile() {
    switch (mode_) {
    case Mode::Idle:
        return;
    case Mode::Position:
        StepPosition();
        break;
    case Mode::Velocity:
        Approach(ClampedVelocityTarget());
        break;
    case Mode::Stopping:
        Approach(0);
        if (velocity_ == 0) {
            Finish(Outcome::Stopped);
        }
        break;
    case Mode::Homing:
        if (!HomeSignal()) {
            Approach(ClampedVelocityTarget());
        }
        if (HomeSignal()) {
            ClearPosition();
            Finish(Outcome::Homed);
        }
        break;
    }
    KeepWithinLimit();
}

std::int64_t EmulatedAxis::StepsToLimit() const {
    if (velocity_ > 0) {
        return (MaxPosition - position_) / velocity_;
    }
    if (velocity_ < 0) {
        return (position_ - MinPosition) / -velocity_;
    }
    return Forever;
}

std::int64_t EmulatedAxis::StepsToSwitchChange() const {
    const std::int64_t machine = position_ + origin_;
    const std::int64_t edge = std::int64_t{HomeSwitchEdge} * MicroPerStep;
    if (velocity_ < 0 && machine > edge) {
        // The first step j that closes it has machine + v j <= edge.
        return (machine - edge + (-velocity_) - 1) / -velocity_ - 1;
    }
    if (velocity_ > 0 && machine <= edge) {
        return (edge - machine) / velocity_;
    }
    return Forever;
}

std::int64_t EmulatedAxis::SteadySteps() const {
    // A lagging axis is stepped one ms at a time until its lag has caught up
    // with a profile at rest.
    if (imperfection_.lagMs > 0 && !(mode_ == Mode::Idle && LagSettled())) {
        return 0;
    }
    switch (mode_) {
    case Mode::Idle:
        return Forever;
    case Mode::Stopping:
        return 0;
    case Mode::Velocity:
        return velocity_ == ClampedVelocityTarget() ? StepsToLimit() : 0;
    case Mode::Homing:
        if (velocity_ != ClampedVelocityTarget() || HomeSignal()) {
            return 0;
        }
        return std::min(StepsToLimit(), StepsToSwitchChange());
    case Mode::Position: {
        // Cruising at V max towards the target: every step stays a cruise step
        // while the distance left keeps a margin over the braking distance.
        const std::int64_t distance = std::int64_t{target_} * MicroPerStep - position_;
        const std::int64_t sign = distance > 0 ? 1 : -1;
        if (distance == 0 || velocity_ * sign != vmax_) {
            return 0;
        }
        const std::int64_t v = vmax_;
        const std::int64_t threshold =
            std::max(v * v / (2 * amax_) + 2 * v + 1, (v + amax_) / 2 + 1);
        const std::int64_t remaining = distance * sign;
        return remaining >= threshold ? (remaining - threshold) / v + 1 : 0;
    }
    }
    return 0;
}

void EmulatedAxis::PlaceAt(std::int32_t position) {
    if (!AtRest() || mode_ != Mode::Idle) {
        return;
    }
    position_ = std::int64_t{position} * MicroPerStep;
    // A lagging axis has stood there all along.
    for (auto& entry : history_) {
        entry.first = position_;
    }
}

std::int64_t EmulatedAxis::StepsWithin(std::int64_t low, std::int64_t high) const {
    // Position() rounds half up: it stays within low..high while the raw
    // position is within low - 1/2 .. high + 1/2 (exclusive).
    const std::int64_t lowest = low * MicroPerStep - MicroPerStep / 2;
    const std::int64_t highest = high * MicroPerStep + MicroPerStep / 2 - 1;
    if (position_ < lowest || position_ > highest) {
        return 0;
    }
    if (velocity_ > 0) {
        return (highest - position_) / velocity_;
    }
    if (velocity_ < 0) {
        return (position_ - lowest) / -velocity_;
    }
    return Forever;
}

void EmulatedAxis::Skip(std::int64_t steps) {
    if (steps > 0 && velocity_ != 0) {
        position_ += velocity_ * steps;
    }
}

std::int32_t EmulatedAxis::Position() const {
    const std::int64_t profile = imperfection_.lagMs > 0 ? history_.front().first : position_;
    const std::int64_t reported = std::clamp(profile + lostOffset_, MinPosition, MaxPosition);
    return static_cast<std::int32_t>(FloorDiv(reported + MicroPerStep / 2, MicroPerStep));
}

std::int32_t EmulatedAxis::ProfilePosition() const {
    return static_cast<std::int32_t>(FloorDiv(position_ + MicroPerStep / 2, MicroPerStep));
}

std::int32_t EmulatedAxis::Velocity() const {
    const std::int64_t velocity = imperfection_.lagMs > 0 ? history_.front().second : velocity_;
    return static_cast<std::int32_t>(velocity / UnitsPerStepPerSecond);
}
