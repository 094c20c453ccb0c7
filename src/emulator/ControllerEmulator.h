#pragma once
// A model of one KX-RD4 controller: its ten stored programs, its motion
// parameters, one axis with a 1 ms integer step, two inputs and two outputs,
// and the program interpreter. Plain C++ with no threads or timers: time is
// injected in milliseconds (steady), and the emulator advances lazily to the
// time of each request, so tests run it faster than real time and
// deterministically.
//
// The single entry point is HandleRequest: "a report was written to me at
// time t; here are the reports I send back". A request that is too short, has
// an unknown letter, or names a program or line out of range is ignored (no
// reply); any bytes are accepted without reading outside them.
//
// The clock starts at 0. What the axis, the home switch and each program line
// do is described in this folder's README.md.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EmulatedAxis.h"
#include "ProgramSet.h"

class ControllerEmulator {
public:
    using Report = std::vector<std::uint8_t>;

    // What made a running program end abnormally, for front ends that word
    // it in their own language.
    enum class FaultCause {
        UnknownCommand,
        BadDigit,
        BadIo,
        BadJump,
        BadProgram,
        MoveDisabled,
        MoveNoLimits,
        HomingVelocityZero,
        PastLastLine,
        NoWait,
        MoveInterrupted,
        TravelLimit,
    };

    // Why a running program ended abnormally.
    struct Fault {
        std::int64_t TimeMs = 0;
        int Program = 0;
        int Line = 0;
        std::string Reason; // English, for logs and front ends
        FaultCause Cause = FaultCause::UnknownCommand;
    };

    // Told (time, program, line) each time the program starts executing a
    // line: once per line run, not again while it waits.
    using LineObserver = std::function<void(std::int64_t, int, int)>;

    // replyLength: the length of every reply, report identifier included
    // (65 for the KX-RD4's 64-byte reports); at least 12, the longest reply.
    explicit ControllerEmulator(std::size_t replyLength = 65);
    ~ControllerEmulator();
    ControllerEmulator(ControllerEmulator&&) noexcept;
    ControllerEmulator& operator=(ControllerEmulator&&) noexcept;

    // A report written to the controller at nowMs (byte 0 the report
    // identifier, byte 1 the message letter, then the payload). Advances to
    // nowMs first. Returns the replies in order, each replyLength bytes with
    // byte 0 = 1 and byte 1 = the letter.
    std::vector<Report> HandleRequest(const std::uint8_t* data, std::size_t size,
                                      std::int64_t nowMs);
    // An axis that lags behind its profile or loses steps (see EmulatedAxis);
    // exact by default.
    void SetImperfection(const EmulatedAxis::Imperfection& imperfection);
    EmulatedAxis::Imperfection Imperfection() const;
    // A muted controller stays plugged but takes no request and answers none
    // (a hung firmware); the axis and a running program go on.
    void SetMuted(bool muted);
    bool Muted() const;

    // Runs the axis and the program up to nowMs (never backwards).
    void AdvanceTo(std::int64_t nowMs);
    // The same, but it stops at the first millisecond that finds the axis
    // outside low..high (steps) or faster than maxSpeed (steps/s, either
    // sign; 0: any speed): true then, with Now() that millisecond.
    bool AdvanceWithin(std::int64_t nowMs, std::int64_t low, std::int64_t high,
                       std::int64_t maxSpeed = 0);
    // The axis, at rest, set down at position (steps) as if it had moved
    // there (the dry run's start); the home switch stays where it is.
    void PlaceAxis(std::int32_t position);
    std::int64_t Now() const;

    // Axis and I/O.
    std::int32_t Position() const;
    std::int32_t Velocity() const;
    bool Enabled() const;
    bool Moving() const;
    void SetInput(int io, bool on); // io 0 or 1; others ignored
    bool Input(int io) const;
    bool Output(int io) const;

    // Programs.
    const ProgramSet& Programs() const;
    ProgramSet& Programs();
    bool ProgramRunning() const;
    int RunningProgram() const; // NoIndex when none
    int CurrentLine() const;    // of the running program
    // Faults recorded since the last call, oldest first.
    std::vector<Fault> TakeFaults();
    // The observer of executed lines (empty: none).
    void SetLineObserver(LineObserver observer);

    // The most lines a program runs in one 1 ms step without waiting; one
    // more ends it with a fault.
    static constexpr int MaxLinesPerStep = 1000;
    // Unread faults kept; older ones are dropped first.
    static constexpr std::size_t MaxKeptFaults = 256;

private:
    struct State;
    std::unique_ptr<State> state_;
};
