// The emulated controller through its request entry point with injected time.

#include <algorithm>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ControllerEmulator.h"
#include "EmulatorTestKit.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;
using L = MessageLetter;

class Emulator : public ::testing::Test {
protected:
    std::vector<ControllerEmulator::Report> Send(const Bytes& request, std::int64_t t = -1) {
        return emu.HandleRequest(request.data(), request.size(), t < 0 ? emu.Now() : t);
    }
    // The one reply to a request (an empty report when there is none or more).
    Bytes Reply(const Bytes& request, std::int64_t t = -1) {
        auto replies = Send(request, t);
        return replies.size() == 1 ? replies[0] : Bytes{};
    }
    std::int32_t ReadValue(L letter) { return WireInt32::Read(Reply(Request(letter)).data() + 2); }
    void Run(const std::vector<ProgramLine>& lines, int program = 0) {
        Store(emu.Programs(), program, lines);
        ASSERT_EQ(Send(Request(L::ProgramStart, {static_cast<std::uint8_t>(program)})).size(), 1u);
    }

    ControllerEmulator emu;
};

Bytes LetterAlone(L letter) {
    return Request(letter);
}

struct ValueCase {
    L write;
    L read;
    std::int32_t powerOn;
    std::int32_t written;
};

class StoredValues : public Emulator, public ::testing::WithParamInterface<ValueCase> {};

// Power-on value, write (answered by the letter alone), read back. ENABLE is
// off, so the targets are stored without moving anything.
TEST_P(StoredValues, WriteIsStoredAndReadBack) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(ReadValue(c.read), c.powerOn);
    EXPECT_EQ(Reply(ValueRequest(c.write, c.written)), LetterAlone(c.write));
    const Bytes reply = Reply(Request(c.read));
    ASSERT_EQ(reply.size(), 65u);
    EXPECT_EQ(reply[1], LetterByte(c.read));
    EXPECT_EQ(WireInt32::Read(reply.data() + 2), c.written);
    EXPECT_EQ(emu.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Parameters, StoredValues,
                         ::testing::Values(ValueCase{L::VminWrite, L::VminRead, 100, 250},
                                           ValueCase{L::VmaxWrite, L::VmaxRead, 1000, 29999},
                                           ValueCase{L::AmaxWrite, L::AmaxRead, 500, -1},
                                           ValueCase{L::VdstSet, L::VdstRead, 0, -1200},
                                           ValueCase{L::XdstSet, L::XdstRead, 0, -123456789},
                                           ValueCase{L::XdefWrite, L::XdefRead, 1000, 2147483647},
                                           ValueCase{L::VdefWrite, L::VdefRead, 100, 7},
                                           ValueCase{L::WdefWrite, L::WdefRead, 500, 0},
                                           ValueCase{L::HomeStart, L::HomeRead, -200, 350}));

TEST_F(Emulator, RepliesCarryWhatTheToolReads) {
    // Homing parameters: contact type at byte 6.
    EXPECT_EQ(Reply(Request(L::HomeRead))[6], 0);
    Send(ValueRequest(L::HomeStart, -300, 1));
    EXPECT_EQ(Reply(Request(L::HomeRead)), ValueRequest(L::HomeRead, -300, 1));

    // A line written is echoed, read back with its program and line, and the
    // write of line 24 is followed by ProgramStored.
    const Bytes write = {1, LetterByte(L::LineWrite), 3, 5, 1, 0, 0, 5, 0, 0, 0, 9};
    EXPECT_EQ(Reply(write), Request(L::LineWrite, {3, 5}));
    EXPECT_EQ(Reply(Request(L::LineRead, {3, 5})),
              Request(L::LineRead, {3, 5, 1, 0, 0, 5, 0, 0, 0, 9}));
    const auto last = Send(Request(L::LineWrite, {9, 24, 20}));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0], Request(L::LineWrite, {9, 24}));
    EXPECT_EQ(last[1], LetterAlone(L::ProgramStored));
    EXPECT_EQ(emu.Programs().Line(9, 24), Line(C::END));

    // Letters whose reply has no payload.
    for (L letter : {L::EnableOn, L::EnableOff, L::MotorStop, L::MotorBrake, L::ProgramHalt,
                     L::ModbusAddress, L::ModbusBaud, L::InputFilter, L::VelocityUp,
                     L::VelocityDown, L::PositionUp, L::PositionDown}) {
        EXPECT_EQ(Reply(ValueRequest(letter, 1)), LetterAlone(letter)) << int(LetterByte(letter));
    }
    // Status at power-on: position and velocity 0.
    EXPECT_EQ(Reply(Request(L::StatusPoll)), LetterAlone(L::StatusPoll));
}

TEST_F(Emulator, MalformedRequestsGetNoReplyAndChangeNothing) {
    const std::vector<Bytes> ignored = {
        {},
        {1},
        Request(static_cast<L>(0x63)),
        Request(static_cast<L>(0x87)),
        Request(L::ProgramStored),
        {1, LetterByte(L::LineWrite), 0, 0, 1, 0, 0, 5, 0, 0, 0}, // 11 bytes
        Request(L::LineWrite, {10, 0, 1}),
        Request(L::LineWrite, {0, 25, 1}),
        Request(L::LineRead, {255, 0}),
        {1, LetterByte(L::LineRead), 0},
        Request(L::ProgramStart, {10}),
        {1, LetterByte(L::ProgramStart)},
        {1, LetterByte(L::VminWrite), 44, 1, 0},
        {1, LetterByte(L::HomeStart), 44, 1, 0, 0},
        {1, LetterByte(L::ModbusAddress)},
    };
    for (const Bytes& request : ignored) {
        EXPECT_TRUE(Send(request).empty()) << request.size();
    }
    EXPECT_TRUE(emu.HandleRequest(nullptr, 0, 0).empty());
    EXPECT_EQ(ReadValue(L::VminRead), 100);
    EXPECT_EQ(ReadValue(L::HomeRead), -200);
    EXPECT_FALSE(emu.ProgramRunning());
    EXPECT_EQ(std::count(emu.Programs().Data(), emu.Programs().Data() + ProgramSetBytes, 0),
              ProgramSetBytes);

    // Random requests of every length up to 16 bytes (exact-size buffers, so
    // the address sanitizer sees any read past them): every reply is a
    // well-formed report of the letter asked, or ProgramStored after it.
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        Bytes request(static_cast<std::size_t>(random() % 17));
        for (auto& b : request) {
            b = static_cast<std::uint8_t>(random());
        }
        if (request.size() > 1 && i % 2 == 0) {
            request[1] = static_cast<std::uint8_t>(0x62 + random() % 0x27);
        }
        for (const Bytes& reply : Send(request, i)) {
            ASSERT_EQ(reply.size(), 65u);
            EXPECT_EQ(reply[0], 1);
            EXPECT_TRUE(reply[1] == request[1] || reply[1] == LetterByte(L::ProgramStored));
        }
    }
}

TEST_F(Emulator, OutAndBackProgramFollowsTheProfileAndEndsAtZero) {
    ControllerEmulator jumping; // the same program in one jump to the end
    Run(OutAndBackThreeTimes());
    Store(jumping.Programs(), 0, OutAndBackThreeTimes());
    const Bytes start = Request(L::ProgramStart, {0});
    jumping.HandleRequest(start.data(), start.size(), 0);

    // Each move: 2000 ms accelerating, 8000 ms at 1000 steps/s, 2000 ms braking.
    emu.AdvanceTo(1000);
    EXPECT_EQ(Reply(Request(L::StatusPoll)), Request(L::StatusPoll, {250, 0, 0, 0, 0xF4, 1}));
    emu.AdvanceTo(6000);
    EXPECT_EQ(emu.Position(), 5000);
    EXPECT_EQ(emu.Velocity(), 1000);

    std::vector<std::int64_t> expected;
    for (std::int64_t start = 0, i = 0; i < 6; ++i) {
        expected.push_back(start + 12000);
        start += 12000 + (i % 2 == 0 ? 200 : 0);
    }
    std::vector<std::int64_t> arrivals;
    bool moving = true;
    for (std::int64_t t = 6001; t <= 73000; ++t) {
        emu.AdvanceTo(t);
        if (moving && !emu.Moving()) {
            arrivals.push_back(t);
            EXPECT_EQ(emu.Position(), arrivals.size() % 2 == 1 ? 10000 : 0) << t;
        }
        moving = emu.Moving();
    }
    ASSERT_EQ(arrivals.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(arrivals[i], expected[i], 1) << "move " << i;
    }
    EXPECT_FALSE(emu.ProgramRunning());
    EXPECT_EQ(emu.Position(), 0);
    EXPECT_TRUE(emu.TakeFaults().empty());

    jumping.AdvanceTo(73000);
    EXPECT_EQ(jumping.Now(), 73000);
    EXPECT_FALSE(jumping.ProgramRunning());
    EXPECT_EQ(jumping.Position(), 0);
}

// The imperfect axis: the program's moves end late by the lag (the cycle with
// them), and lost steps leave the reported position short of each target and
// add up; the profile itself (and a default axis) stays exact.
TEST_F(Emulator, ImperfectAxisLagsAndLosesSteps) {
    struct Case {
        int lagMs;
        int lostSteps;
        std::int32_t midPosition;  // reported at 1000 ms
        std::int32_t firstArrival; // reported when the first move has ended
    };
    // Out to 2000 (3 s: 1 s up, 1 s at 1000, 1 s down) and back to 0, where
    // the losses of the two ways cancel.
    const Case cases[] = {
        {0, 0, 500, 2000},
        {250, 0, 281, 2000},
        {0, 7, 500, 1993},
        {100, 7, 405, 1993},
    };
    for (const Case& c : cases) {
        ControllerEmulator e;
        e.SetImperfection({c.lagMs, c.lostSteps});
        EXPECT_EQ(e.Imperfection().Exact(), c.lagMs == 0 && c.lostSteps == 0);
        std::int64_t endMs = -1;
        e.SetLineObserver([&](std::int64_t ms, int, int line) {
            if (line == 5) {
                endMs = ms;
            }
        });
        Store(e.Programs(), 0,
              {Line(C::V_MAX, 1000), Line(C::A_MAX, 1000), Line(C::M_EN), Line(C::X_DST, 2000),
               Line(C::X_DST, 0), Line(C::END)});
        const Bytes start = Request(L::ProgramStart, {0});
        e.HandleRequest(start.data(), start.size(), 0);
        e.AdvanceTo(1000);
        EXPECT_NEAR(e.Position(), c.midPosition, 2) << c.lagMs;
        std::int64_t t = 1000;
        while (e.Moving() && t < 20000) {
            e.AdvanceTo(++t);
        }
        EXPECT_NEAR(t, 3000 + c.lagMs, 2) << c.lagMs;
        EXPECT_EQ(e.Position(), c.firstArrival) << c.lagMs;
        e.AdvanceTo(20000);
        EXPECT_FALSE(e.ProgramRunning());
        EXPECT_NEAR(endMs, 6000 + 2 * c.lagMs, 3) << c.lagMs;
        EXPECT_EQ(e.Position(), 0) << c.lagMs;
        EXPECT_TRUE(e.TakeFaults().empty());
    }
    ControllerEmulator clamped;
    clamped.SetImperfection({-5, 2'000'000});
    EXPECT_EQ(clamped.Imperfection(), (EmulatedAxis::Imperfection{0, 1'000'000}));
}

TEST_F(Emulator, ManualMotionRampsStopsAndObeysEnable) {
    // With ENABLE off nothing moves.
    Send(ValueRequest(L::VdstSet, 1000));
    Send(ValueRequest(L::PositionUp, 500));
    emu.AdvanceTo(1000);
    EXPECT_FALSE(emu.Moving());
    EXPECT_EQ(emu.Position(), 0);

    Send(Request(L::EnableOn));
    Send(ValueRequest(L::VdstSet, 5000)); // limited to V max 1000
    emu.AdvanceTo(2000);
    EXPECT_EQ(emu.Velocity(), 500);
    emu.AdvanceTo(4000);
    EXPECT_EQ(emu.Velocity(), 1000);
    EXPECT_EQ(emu.Position(), 2000);
    Send(ValueRequest(L::VelocityDown, 600));
    EXPECT_EQ(ReadValue(L::VdstRead), 400);
    emu.AdvanceTo(6000);
    EXPECT_EQ(emu.Velocity(), 400);
    Send(Request(L::MotorStop));
    emu.AdvanceTo(6400);
    EXPECT_EQ(emu.Velocity(), 200);
    emu.AdvanceTo(6801);
    EXPECT_FALSE(emu.Moving());
    const std::int32_t stopped = emu.Position();

    // A relative move lands exactly; EnableOff during a move brakes at once.
    Send(ValueRequest(L::PositionUp, 40));
    emu.AdvanceTo(8000);
    EXPECT_EQ(emu.Position(), stopped + 40);
    EXPECT_EQ(ReadValue(L::XdstRead), stopped + 40);
    Send(ValueRequest(L::XdstSet, -100000));
    emu.AdvanceTo(9000);
    Send(Request(L::EnableOff));
    EXPECT_EQ(emu.Velocity(), 0);
    EXPECT_FALSE(emu.Moving());
}

TEST_F(Emulator, HomingStopsAtTheSwitchAndSetsZero) {
    // The switch closes 1000 steps below the power-on position; homing from
    // 3000 at -200 steps/s reaches it after a 400 ms ramp and 19800 ms at speed.
    Send(Request(L::EnableOn));
    Send(ValueRequest(L::XdstSet, 3000));
    emu.AdvanceTo(10000);
    Send(ValueRequest(L::HomeStart, -200, 0));
    emu.AdvanceTo(10000 + 400 + 19800 - 10);
    EXPECT_TRUE(emu.Moving());
    emu.AdvanceTo(10000 + 400 + 19800 + 10);
    EXPECT_FALSE(emu.Moving());
    EXPECT_EQ(emu.Position(), 0);

    // From a program; with NC the (normally open) switch reads active at once.
    Run({Line(C::CLR_P), Line(C::V_DST, 300), Line(C::W_TIM, 2000), Line(C::HOME, -500),
         Line(C::X_DST, 100), Line(C::HOME, 0), Line(C::END)});
    emu.AdvanceTo(emu.Now() + 10000);
    EXPECT_EQ(emu.Position(), 100);
    ASSERT_FALSE(emu.ProgramRunning());
    const auto faults = emu.TakeFaults();
    ASSERT_EQ(faults.size(), 1u); // the HOME line with velocity 0
    EXPECT_EQ(faults[0].Line, 5);
    Send(ValueRequest(L::HomeStart, 200, 1));
    emu.AdvanceTo(emu.Now() + 2);
    EXPECT_EQ(emu.Position(), 0);
}

TEST_F(Emulator, InputsOutputsJumpsAndProgramChaining) {
    Run({Operands(C::S_OUT, {0, 1}), Operands(C::W_INP, {1, 1}), Line(C::W_TIM, 100),
         Operands(C::J_INP, {5, 1, 0}), Operands(C::PROG, {1}), Line(C::END)});
    Store(emu.Programs(), 1, {Operands(C::S_OUT, {1, 1}), Line(C::END)});
    emu.AdvanceTo(50);
    EXPECT_TRUE(emu.Output(0));
    EXPECT_EQ(emu.CurrentLine(), 1);
    emu.SetInput(1, true);
    emu.AdvanceTo(150);
    EXPECT_EQ(emu.CurrentLine(), 2);
    EXPECT_FALSE(emu.Output(1));
    emu.AdvanceTo(152);
    EXPECT_TRUE(emu.Output(1));
    EXPECT_FALSE(emu.ProgramRunning());
    EXPECT_EQ(emu.RunningProgram(), NoIndex);
    EXPECT_TRUE(emu.TakeFaults().empty());
}

struct FaultCase {
    const char* name;
    std::vector<ProgramLine> lines;
    int line;
    std::string reason;
};

class ProgramFaults : public Emulator, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ProgramFaults, EndTheProgramWithARecordedFault) {
    const FaultCase& c = GetParam();
    Run(c.lines, 4);
    emu.AdvanceTo(10);
    EXPECT_FALSE(emu.ProgramRunning());
    const auto faults = emu.TakeFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].Program, 4);
    EXPECT_EQ(faults[0].Line, c.line);
    EXPECT_EQ(faults[0].TimeMs, 0);
    EXPECT_NE(faults[0].Reason.find(c.reason), std::string::npos) << faults[0].Reason;
    EXPECT_TRUE(emu.TakeFaults().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgramFaults,
    ::testing::Values(
        FaultCase{"EndlessJumpLoop", {Line(C::S_CNT, 5), Operands(C::J_LIN, {1})}, 1, "1000 lines"},
        FaultCase{"EmptyProgramRunsPastLine24", {}, 24, "past the last line"},
        FaultCase{"UnknownCommand", {Line(C::M_EN), Raw(42, {})}, 1, "command byte 42"},
        FaultCase{"MoveWithEnableOff", {Line(C::X_DST, 100)}, 0, "ENABLE off"},
        FaultCase{"DigitByteOutOfRange", {Raw(1, {0, 12, 0, 0, 0})}, 0, "digit"},
        FaultCase{"JumpBeyondLine24", {Operands(C::J_INP, {25, 0, 0})}, 0, "line 25"},
        FaultCase{"UntakenJumpBeyondLine24", {Operands(C::J_CNT, {30})}, 0, "line 30"},
        FaultCase{"NoSuchOutput", {Operands(C::S_OUT, {2, 1})}, 0, "I/O number 2"},
        FaultCase{"NoSuchProgram", {Operands(C::PROG, {10})}, 0, "program 10"}),
    [](const auto& info) { return info.param.name; });

} // namespace
