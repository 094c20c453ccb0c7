#pragma once
// Records the axis as fast as the controller answers: one StatusPoll is kept
// outstanding and the next is written as each reply is handled (never two
// closer than MinInterval, the controller's own 1 ms clock), every sample
// stamped with the host's steady clock. The owner hands it the replies
// (OnStatus) and calls Tick every few ms for what is due without a reply: a
// poll held back by the interval, a reply lost (the poll is written anew
// after the reply time-out; NoAnswer after several in a row) and the time
// limit.
//
// The protocol tells no more about a running program than the axis's motion,
// so the end of a program is taken as: the run has passed the program's
// predicted end (SetProgramEnd, from the dry run) and the axis has then been
// at rest (velocity 0, position unchanged) for the settle time. Without a
// predicted end the recording ends only by Stop or the time limit.
//
// Plain C++ with no threads: every call comes from one thread.

#include <cstdint>
#include <functional>
#include <optional>

#include "MotionRecording.h"

class MotionRecorder {
public:
    // Seconds of a steady clock; only differences matter.
    using Clock = std::function<double()>;
    // Writes one StatusPoll; false when it could not be written.
    using SendPoll = std::function<bool()>;
    using SampleObserver = std::function<void(const MotionRecording::Sample&)>;

    struct Options {
        double limitS = 60;
        double settleS = 0.25;
        double replyTimeoutS = 1.0;
        double minIntervalS = 0.001;
        int lostRepliesToFail = 3;
    };

    MotionRecorder(SendPoll send, Clock clock, Options options);
    MotionRecorder(SendPoll send, Clock clock) : MotionRecorder(send, clock, Options{}) {}

    // Starts a new recording (time 0 now) and writes the first poll.
    void Start();
    bool Running() const { return running_; }
    // A poll held back by MinInterval waits for the next Tick.
    bool PollDue() const { return pollDue_; }
    // Seconds since Start.
    double Now() const;
    // The program was started: its ProgramStart written and answered at these
    // clock times (Clock's seconds, not since Start).
    void MarkRunStart(double sentClockS, double repliedClockS);
    // A program started elsewhere: its run is taken to start this long
    // (predicted) before the first motion seen, which sets the run start.
    void SetStartAtMotion(double predictedFirstMotionS);
    // The program's end as predicted, in seconds from the run's start;
    // nullopt: none (the recording does not end by itself).
    void SetProgramEnd(std::optional<double> predictedEndS);
    void SetSampleObserver(SampleObserver observer) { observer_ = std::move(observer); }

    // A StatusPoll reply. Ignored while nothing is outstanding (a reply to
    // someone else's poll) or when not running.
    void OnStatus(std::int32_t position, std::int32_t velocity);
    void OnInputChange(int input, bool on);
    void Stop(MotionRecording::End why = MotionRecording::End::Stopped);
    void Tick();

    const MotionRecording& Recording() const { return recording_; }
    const Options& CurrentOptions() const { return options_; }

private:
    void SendNow();
    void Finish(MotionRecording::End why);
    bool ProgramOver(double now) const;

    SendPoll send_;
    Clock clock_;
    Options options_;
    SampleObserver observer_;
    MotionRecording recording_;
    bool running_ = false;
    double startClock_ = 0;
    bool outstanding_ = false;
    bool pollDue_ = false;
    double lastSentS_ = 0;
    int lostInRow_ = 0;
    std::optional<double> programEnd_;
    std::optional<double> restSince_;
    std::optional<double> startAtMotion_;
};
