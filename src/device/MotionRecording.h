#pragma once
// What a recording of the axis holds: position and velocity samples with the
// host's steady-clock time of the poll that asked for each and of its reply,
// the input changes made during it, where the program run started and why
// the recording ended. Times are seconds from the recording's start.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct MotionRecording {
    struct Sample {
        double sentS = 0;     // the StatusPoll written
        double receivedS = 0; // its reply handled
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        // The controller took the values somewhere between the two.
        double TimeS() const { return (sentS + receivedS) / 2; }
    };

    struct InputChange {
        double timeS = 0;
        int input = 0; // 0 or 1
        bool on = false;
    };

    enum class End {
        Running,
        ProgramEnded, // at rest after the program's predicted end
        Stopped,      // by the operator (or Ctrl+C)
        TimeLimit,
        NoAnswer, // the controller stopped answering, or went
    };

    // The program start: the ProgramStart written (the run's time 0) and its
    // reply handled (the start happened in between).
    // For a program started elsewhere (an input, another tool), the start
    // is put where the first motion puts it (atMotion).
    struct RunStart {
        double sentS = 0;
        double repliedS = 0;
        bool atMotion = false;
    };

    std::vector<Sample> samples;
    std::vector<InputChange> inputs;
    std::optional<RunStart> runStart;
    End end = End::Running;
    double endS = 0;

    // Samples per second over the whole recording (0 with fewer than two).
    double Rate() const;
    // The longest time between two consecutive replies (0 with fewer than two).
    double LongestGapS() const;
    // "program ended", "stopped", "time limit", "no answer", "running".
    static const char* EndText(End end);
};
