#include "MotionRecorder.h"

#include <utility>

MotionRecorder::MotionRecorder(SendPoll send, Clock clock, Options options)
    : send_(std::move(send)), clock_(std::move(clock)), options_(options) {}

double MotionRecorder::Now() const {
    return clock_() - startClock_;
}

void MotionRecorder::Start() {
    startClock_ = clock_();
    recording_ = MotionRecording{};
    running_ = true;
    outstanding_ = false;
    pollDue_ = false;
    lostInRow_ = 0;
    programEnd_.reset();
    restSince_.reset();
    startAtMotion_.reset();
    SendNow();
}

void MotionRecorder::SendNow() {
    pollDue_ = false;
    outstanding_ = true;
    lastSentS_ = Now();
    // A failed write counts as a poll whose reply is lost.
    send_();
}

void MotionRecorder::MarkRunStart(double sentClockS, double repliedClockS) {
    recording_.runStart =
        MotionRecording::RunStart{sentClockS - startClock_, repliedClockS - startClock_};
    restSince_.reset();
}

void MotionRecorder::SetStartAtMotion(double predictedFirstMotionS) {
    startAtMotion_ = predictedFirstMotionS;
}

void MotionRecorder::SetProgramEnd(std::optional<double> predictedEndS) {
    programEnd_ = predictedEndS;
}

bool MotionRecorder::ProgramOver(double now) const {
    return programEnd_ && recording_.runStart && restSince_ &&
           now - recording_.runStart->sentS >= *programEnd_ &&
           now - *restSince_ >= options_.settleS;
}

void MotionRecorder::OnStatus(std::int32_t position, std::int32_t velocity) {
    if (!running_ || !outstanding_) {
        return;
    }
    const double now = Now();
    outstanding_ = false;
    lostInRow_ = 0;
    const MotionRecording::Sample sample{lastSentS_, now, position, velocity};
    const bool still = velocity == 0 && !recording_.samples.empty() &&
                       recording_.samples.back().position == position;
    const bool moved = velocity != 0 || (!recording_.samples.empty() &&
                                         recording_.samples.back().position != position);
    if (moved && startAtMotion_ && !recording_.runStart && !recording_.samples.empty()) {
        const double before = recording_.samples.back().TimeS();
        recording_.runStart = MotionRecording::RunStart{before - *startAtMotion_,
                                                        sample.TimeS() - *startAtMotion_, true};
    }
    if (!still) {
        restSince_.reset();
    } else if (!restSince_) {
        restSince_ = recording_.samples.back().TimeS();
    }
    recording_.samples.push_back(sample);
    if (observer_) {
        observer_(sample);
    }
    if (now >= options_.limitS) {
        Finish(MotionRecording::End::TimeLimit);
    } else if (ProgramOver(now)) {
        Finish(MotionRecording::End::ProgramEnded);
    } else if (now - lastSentS_ >= options_.minIntervalS) {
        SendNow();
    } else {
        pollDue_ = true;
    }
}

void MotionRecorder::OnInputChange(int input, bool on) {
    if (running_) {
        recording_.inputs.push_back(MotionRecording::InputChange{Now(), input, on});
    }
}

void MotionRecorder::Stop(MotionRecording::End why) {
    if (running_) {
        Finish(why);
    }
}

void MotionRecorder::Finish(MotionRecording::End why) {
    running_ = false;
    pollDue_ = false;
    recording_.end = why;
    recording_.endS = Now();
}

void MotionRecorder::Tick() {
    if (!running_) {
        return;
    }
    const double now = Now();
    if (now >= options_.limitS) {
        Finish(MotionRecording::End::TimeLimit);
        return;
    }
    if (pollDue_ && now - lastSentS_ >= options_.minIntervalS) {
        SendNow();
    } else if (outstanding_ && now - lastSentS_ >= options_.replyTimeoutS) {
        if (++lostInRow_ >= options_.lostRepliesToFail) {
            Finish(MotionRecording::End::NoAnswer);
            return;
        }
        SendNow();
    }
}
