// kxrd4-cli and the axis it set moving: Ctrl+C or SIGTERM during jog, run,
// watch, move --wait and home --wait stops the axis and fails the command
// (it once ended the wait as a time-out and left the axis running), and
// home --wait succeeds only when the axis really homed.

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "MessageLetter.h"

namespace {

using Report = std::vector<std::uint8_t>;

class CliMotionStop : public ::testing::Test, protected CliRig {
protected:
    // The emulated KX-RD4; Ctrl+C comes after the reply to the letter
    // trigger names (none: never).
    void Attach() {
        device = backend->Plug(KxRd4());
        backend->SetPeer(device, [this](SimulatedHidBackend::DeviceId id, const Report& report) {
            // The tool writes from more than one thread (a stop while a wait
            // polls): the emulator answers one report at a time.
            std::vector<Report> replies;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                sent.push_back(report[1]);
                replies = emulator.HandleRequest(report.data(), report.size(), Now());
            }
            for (auto& reply : replies) {
                backend->InjectReport(id, std::move(reply));
            }
            if (trigger && report[1] == LetterByte(*trigger)) {
                trigger.reset();
                interrupted.store(true);
            }
        });
    }
    static SimulatedHidBackend::DeviceSpec KxRd4() {
        SimulatedHidBackend::DeviceSpec setup;
        setup.ProductString = u"KX-RD4";
        return setup;
    }
    std::int64_t Now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    }
    CliResult Interruptible(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CliResult r;
        r.status = RunCli(
            args, [this] { return backend; }, out, err, &interrupted);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    std::vector<std::uint8_t> Sent() {
        const std::lock_guard<std::mutex> lock(mutex);
        return sent;
    }
    void Forget() {
        const std::lock_guard<std::mutex> lock(mutex);
        sent.clear();
    }

    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ControllerEmulator emulator;
    SimulatedHidBackend::DeviceId device = 0;
    std::atomic<bool> interrupted{false};
    std::optional<MessageLetter> trigger; // written only while no command runs
    std::mutex mutex;
    std::vector<std::uint8_t> sent;
};

TEST_F(CliMotionStop, CtrlCAfterEachMotionCommandSendsTheStopAndFails) {
    struct Case {
        std::vector<std::string> args;
        MessageLetter trigger;               // Ctrl+C after this was answered
        std::vector<MessageLetter> stopping; // what follows it, in order
    };
    const std::vector<Case> cases = {
        {{"jog", "position", "+", "100"}, MessageLetter::PositionUp, {MessageLetter::MotorStop}},
        {{"jog", "velocity", "-", "5"}, MessageLetter::VelocityDown, {MessageLetter::MotorStop}},
        {{"run", "-p", "3"},
         MessageLetter::ProgramStart,
         {MessageLetter::ProgramHalt, MessageLetter::MotorStop}},
        {{"move", "20000", "--wait"}, MessageLetter::XdstSet, {MessageLetter::MotorStop}},
        {{"home", "--wait"}, MessageLetter::HomeStart, {MessageLetter::MotorStop}},
        {{"watch"}, MessageLetter::StatusPoll, {MessageLetter::MotorStop}},
    };
    Attach();
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        interrupted.store(false);
        trigger = c.trigger;
        Forget();
        const CliResult r = Interruptible(c.args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(c.args[0] + ": interrupted; "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("the motor sent to a stop"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("time-out"), std::string::npos) << r.err;
        const std::vector<std::uint8_t> letters = Sent();
        ASSERT_GE(letters.size(), c.stopping.size() + 1);
        const std::size_t tail = letters.size() - c.stopping.size();
        // (move and home poll the status after the trigger.)
        EXPECT_NE(std::find(letters.begin(), letters.begin() + static_cast<std::ptrdiff_t>(tail),
                            LetterByte(c.trigger)),
                  letters.begin() + static_cast<std::ptrdiff_t>(tail));
        for (std::size_t i = 0; i < c.stopping.size(); ++i) {
            EXPECT_EQ(letters[tail + i], LetterByte(c.stopping[i])) << i;
        }
    }
    // Without Ctrl+C a jog sends no stop.
    interrupted.store(false);
    trigger.reset();
    Forget();
    EXPECT_EQ(Interruptible({"jog", "position", "+", "100"}).status, 0);
    EXPECT_EQ(Sent(), std::vector<std::uint8_t>{LetterByte(MessageLetter::PositionUp)});
}

TEST_F(CliMotionStop, CtrlCDuringMoveWaitLeavesTheAxisAtRestShortOfItsTarget) {
    Attach();
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    std::thread press([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted.store(true);
    });
    const auto began = std::chrono::steady_clock::now();
    const CliResult r = Interruptible({"move", "20000", "--wait"});
    press.join();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("move: interrupted; the motor sent to a stop"), std::string::npos)
        << r.err;
    // The deceleration at A max 500 from at most 150 steps/s takes 0.3 s.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const CliResult first = Tool({"status"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const CliResult second = Tool({"status"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("\nvelocity 0\n"), std::string::npos) << first.out;
    EXPECT_EQ(first.out, second.out) << "the axis is at rest";
    EXPECT_EQ(first.out.find("position 20000"), std::string::npos) << first.out;
    EXPECT_EQ(first.out.find("position 0\n"), std::string::npos) << "it had moved";
}

TEST_F(CliMotionStop, CtrlCDuringWatchStopsTheAxisItFollows) {
    Attach();
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    ASSERT_EQ(Tool({"jog", "velocity", "+", "150"}).status, 0); // runs on
    std::thread press([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted.store(true);
    });
    const CliResult r = Interruptible({"watch"});
    press.join();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("watch: interrupted; the motor sent to a stop"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("ms,position,velocity\n"), std::string::npos);
    // The deceleration at A max 500 from 150 steps/s takes 0.3 s.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const CliResult first = Tool({"status"});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const CliResult second = Tool({"status"});
    EXPECT_NE(first.out.find("\nvelocity 0\n"), std::string::npos) << first.out;
    EXPECT_EQ(first.out, second.out) << "the axis is at rest";
}

TEST_F(CliMotionStop, HomeWaitFailsWhenTheAxisNeverMovedAndSucceedsWhenItHomed) {
    Attach();
    // ENABLE off (power-on), the axis at 0: no homing can run, and the axis
    // already stands where a homing ends.
    CliResult r = Tool({"home", "--wait", "--seconds", "20"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out, "homing started at velocity -200\n");
    EXPECT_NE(r.err.find("the axis stands at 0, where it stood before, and never moved: the "
                         "KX-RD4 did not carry out the homing (is ENABLE on"),
              std::string::npos)
        << r.err;
    // ENABLE on: the axis runs down to the switch 1000 steps below and
    // homes there.
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    ASSERT_EQ(Tool({"set", "home", "-20000", "NO"}).status, 0);
    r = Tool({"home", "--wait", "--seconds", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "homing started at velocity -20000\nat rest at position 0\n");
}

} // namespace
