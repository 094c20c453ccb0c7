#pragma once
// The emulated motor axis: position, velocity and the motion generator, moved
// on by whole 1 ms steps.
//
// Units inside: positions in micro-steps (1e-6 step) and velocities in
// micro-steps per ms (= milli-steps per second), so one step at A steps/s²
// changes the velocity by exactly A units and a constant acceleration adds an
// exact trapezoid to the position: profiles come out as the formulas predict.
// Outside (parameters, targets, Position, Velocity): steps, steps/s, steps/s².
//
// The home switch is fixed on the machine, HomeSwitchEdge steps below the
// power-on position, and is closed while the axis stands at or below that
// edge; its contact is normally open. Homing runs at the homing velocity until
// the switch signal, read as the contact type says (NO: active while closed,
// NC: active while open), is active; the axis then stops at once and its
// position becomes 0. The switch stays where it is when the position is
// cleared or set by homing.
//
// The reported position is kept within the 32-bit range: an axis that would
// leave it stops at the limit (outcome Limit).
//
// An imperfect axis (SetImperfection) follows its profile late or loses steps,
// so that what a recording measures can differ from what the profile
// predicts: with a lag the reported position and velocity are those of the
// profile that many ms earlier, and the axis counts as at rest (a program's
// move ends) only when that lagging motion has come to rest; with lost steps
// every position move ends that many steps short of its target in the
// reported position, the shortfall adding up until the position is cleared
// or homed. Without it (the default) the axis is exact.

#include <cstdint>
#include <deque>
#include <utility>

class EmulatedAxis {
public:
    static constexpr std::int64_t MicroPerStep = 1'000'000;
    // Velocity unit per step/s: micro-steps per ms.
    static constexpr std::int64_t UnitsPerStepPerSecond = 1'000;
    // The limits are used within 1 .. these (a parameter of 0 or less acts as 1).
    static constexpr std::int64_t MaxVelocity = 1'000'000;      // steps/s
    static constexpr std::int64_t MaxAcceleration = 10'000'000; // steps/s²
    static constexpr std::int32_t HomeSwitchEdge = -1000;       // steps, machine
    static constexpr std::int64_t Forever = INT64_MAX;

    enum class Mode { Idle, Position, Velocity, Stopping, Homing };

    struct Imperfection {
        static constexpr int MaxLagMs = 10'000;
        static constexpr int MaxLostSteps = 1'000'000;
        int lagMs = 0;     // 0..MaxLagMs
        int lostSteps = 0; // per position move, 0..MaxLostSteps
        bool Exact() const { return lagMs == 0 && lostSteps == 0; }
        bool operator==(const Imperfection&) const = default;
    };
    // Values are kept within their ranges; the lag starts from the present
    // state.
    void SetImperfection(const Imperfection& imperfection);
    const Imperfection& CurrentImperfection() const { return imperfection_; }
    // How the last motion command ended (None while it runs).
    enum class Outcome { None, Reached, Homed, Stopped, Braked, Limit };

    // V max (steps/s) and A max (steps/s²) used from the next step on.
    void SetLimits(std::int64_t vmax, std::int64_t amax);

    // Motion commands; each one replaces the running one and counts as a new
    // command (Serial).
    void MoveTo(std::int32_t target);  // absolute, trapezoidal profile
    void RunAt(std::int64_t velocity); // steps/s, ramped at A max
    void Home(std::int64_t velocity, bool normallyClosed);
    // Both do nothing to an axis at rest.
    void Stop();  // decelerate at A max
    void Brake(); // stop at once
    // position := 0, keeping the fraction of nothing; a running move keeps its
    // target in the new coordinates.
    void ClearPosition();
    // An axis at rest set down at position (steps), as if it had moved there:
    // the home switch stays where it is on the machine. Nothing while moving.
    void PlaceAt(std::int32_t position);

    // One 1 ms step.
    void Step();
    // Steps from now during which the axis only keeps a constant velocity
    // (Forever when at rest); Skip may cover up to that many at once.
    std::int64_t SteadySteps() const;
    void Skip(std::int64_t steps);
    // Steps from now at the present velocity that keep Position() within
    // low..high (steps); Forever at rest, 0 once outside.
    std::int64_t StepsWithin(std::int64_t low, std::int64_t high) const;

    std::int32_t Position() const; // steps, rounded to the nearest (as reported)
    // Where the profile stands (the controller's own count; Position without
    // the imperfection).
    std::int32_t ProfilePosition() const;
    std::int32_t Velocity() const; // steps/s, rounded towards zero
    std::int64_t RawPosition() const { return position_; }
    Mode CurrentMode() const { return mode_; }
    Outcome LastOutcome() const { return outcome_; }
    std::uint64_t Serial() const { return serial_; }
    // The profile has ended and the (lagging) motion has come to rest.
    bool AtRest() const;
    // The target of a position move, or of the velocity mode (steps/s).
    std::int32_t PositionTarget() const { return target_; }
    std::int64_t VelocityTarget() const { return velocityTarget_ / UnitsPerStepPerSecond; }
    bool HomeSwitchClosed() const;

private:
    void Begin(Mode mode);
    void Finish(Outcome outcome);
    void Approach(std::int64_t velocity);
    void StepPosition();
    bool HomeSignal() const;
    std::int64_t ClampedVelocityTarget() const;
    std::int64_t StepsToLimit() const;
    std::int64_t StepsToSwitchChange() const;
    void KeepWithinLimit();
    void StepProfile();
    void RecordLag();
    bool LagSettled() const;

    std::int64_t position_ = 0; // micro-steps
    std::int64_t origin_ = 0;   // machine position of position 0, micro-steps
    std::int64_t velocity_ = 0; // micro-steps per ms
    std::int64_t vmax_ = 1000 * UnitsPerStepPerSecond;
    std::int64_t amax_ = 500; // micro-steps per ms per ms (= steps/s²)
    Mode mode_ = Mode::Idle;
    Outcome outcome_ = Outcome::None;
    std::uint64_t serial_ = 0;
    std::int32_t target_ = 0;
    std::int64_t velocityTarget_ = 0; // micro-steps per ms
    bool normallyClosed_ = false;

    Imperfection imperfection_;
    std::int64_t moveStart_ = 0;  // micro-steps, where the running position move began
    std::int64_t lostOffset_ = 0; // micro-steps added to the reported position
    // The profile's (position, velocity) of the last lagMs + 1 steps, oldest
    // first; the number of the last entries equal to their predecessor.
    std::deque<std::pair<std::int64_t, std::int64_t>> history_;
    std::int64_t unchangedSteps_ = 0;
};
