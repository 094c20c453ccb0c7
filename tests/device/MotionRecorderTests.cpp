// The recording poll on a clock of the test's own: one poll outstanding, the
// next on each reply, the end of a program, the time limit, lost replies.

#include <gtest/gtest.h>

#include "MotionRecorder.h"

namespace {

struct Rig {
    double clock = 100; // seconds; not 0 at the start
    int polls = 0;
    MotionRecorder recorder;
    explicit Rig(MotionRecorder::Options options = {})
        : recorder([this] { return ++polls, true; }, [this] { return clock; }, options) {}
    // Replies after dt seconds with the position and velocity.
    void Reply(double dt, std::int32_t position, std::int32_t velocity) {
        clock += dt;
        recorder.OnStatus(position, velocity);
    }
};

TEST(MotionRecorder, KeepsOnePollOutstandingAndStampsEachSample) {
    MotionRecorder::Options options;
    options.minIntervalS = 0.002;
    Rig rig(options);
    rig.recorder.OnStatus(6, 100); // not recording: ignored
    rig.recorder.Start();
    EXPECT_EQ(rig.polls, 1);
    rig.Reply(0.003, 5, 100);
    EXPECT_EQ(rig.polls, 2) << "the next poll on the reply";
    rig.Reply(0.001, 7, 100); // too soon after its poll: the next waits for Tick
    EXPECT_EQ(rig.polls, 2);
    rig.recorder.Tick();
    EXPECT_EQ(rig.polls, 2);
    rig.clock += 0.001;
    rig.recorder.Tick();
    EXPECT_EQ(rig.polls, 3);
    rig.recorder.OnStatus(8, 100); // the reply to poll 3
    rig.recorder.OnStatus(9, 100); // none outstanding after the first: someone else's
    const auto& samples = rig.recorder.Recording().samples;
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_DOUBLE_EQ(samples[0].sentS, 0);
    EXPECT_NEAR(samples[0].receivedS, 0.003, 1e-9);
    EXPECT_NEAR(samples[0].TimeS(), 0.0015, 1e-9);
    EXPECT_EQ(samples[1].position, 7);
    rig.recorder.OnInputChange(1, true);
    ASSERT_EQ(rig.recorder.Recording().inputs.size(), 1u);
    EXPECT_NEAR(rig.recorder.Recording().inputs[0].timeS, 0.005, 1e-9);
    EXPECT_EQ(samples[2].position, 8);
}

// How each recording ends.
TEST(MotionRecorder, EndsAtTheProgramsEndTheLimitAStopOrNoAnswer) {
    using End = MotionRecording::End;
    struct Case {
        const char* name;
        std::optional<double> programEnd; // from the run start
        bool markStart;
        bool stopAt1s;
        bool silentAfter1s; // no reply after 1 s
        End end;
        double endS; // about
    };
    // The axis moves from 0.2 s to 2 s and then stands; 5 s limit, 0.25 s
    // settle, replies every 10 ms.
    const Case cases[] = {
        {"end predicted at 2 s", 2.0, true, false, false, End::ProgramEnded, 2.25},
        {"end predicted at 3 s (a wait after the motion)", 3.0, true, false, false,
         End::ProgramEnded, 3.1},
        {"no end predicted", std::nullopt, true, false, false, End::TimeLimit, 5.0},
        {"no run start", 2.0, false, false, false, End::TimeLimit, 5.0},
        {"stopped by the operator", 2.0, true, true, false, End::Stopped, 1.0},
        {"replies stop", 2.0, true, false, true, End::NoAnswer, 1.0 + 3 * 0.5},
    };
    for (const Case& c : cases) {
        MotionRecorder::Options options;
        options.limitS = 5;
        options.replyTimeoutS = 0.5;
        Rig rig(options);
        rig.recorder.Start();
        if (c.markStart) {
            rig.recorder.MarkRunStart(rig.clock + 0.1, rig.clock + 0.102);
        }
        rig.recorder.SetProgramEnd(c.programEnd);
        std::int32_t position = 0;
        while (rig.recorder.Running() && rig.clock < 120) {
            const double t = rig.recorder.Now();
            if (c.stopAt1s && t >= 1.0) {
                rig.recorder.Stop();
                break;
            }
            if (c.silentAfter1s && t >= 1.0) {
                rig.clock += 0.01;
                rig.recorder.Tick();
                continue;
            }
            const bool moving = t >= 0.2 && t < 2.0;
            position += moving ? 10 : 0;
            rig.Reply(0.01, position, moving ? 1000 : 0);
            rig.recorder.Tick();
        }
        EXPECT_EQ(rig.recorder.Recording().end, c.end) << c.name;
        EXPECT_NEAR(rig.recorder.Recording().endS, c.endS, 0.05) << c.name;
        EXPECT_FALSE(rig.recorder.Running()) << c.name;
    }
}

} // namespace
