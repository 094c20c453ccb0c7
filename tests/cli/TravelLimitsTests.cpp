// The travel limits kept on this PC for a controller (kxrd4-cli limits) and
// the motion commands that keep to them against the emulated KX-RD4: a move
// or jog beyond them is refused with nothing sent; a position seen beyond
// them while waiting stops the axis.

#include <algorithm>
#include <limits>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "MessageLetter.h"

namespace {

using Report = std::vector<std::uint8_t>;

class CliLimits : public ::testing::Test, protected CliRig {
protected:
    void SetUp() override {
        SimulatedHidBackend::DeviceSpec setup;
        setup.ProductString = u"KX-RD4";
        setup.SerialNumber = u"A-17";
        device = backend->Plug(setup);
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
        });
    }
    // A controller at power-on: at rest at 0.
    void Fresh() {
        const std::lock_guard<std::mutex> lock(mutex);
        emulator = ControllerEmulator();
    }
    std::int64_t Now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    }
    CliResult Run(std::vector<std::string> args) {
        args.insert(args.end(), {"--settings", Path("config.ini")});
        return Tool(args);
    }
    std::vector<std::uint8_t> Sent() {
        const std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::uint8_t> letters = sent;
        sent.clear();
        return letters;
    }
    static bool Moves(std::uint8_t letter) {
        for (MessageLetter m :
             {MessageLetter::XdstSet, MessageLetter::PositionUp, MessageLetter::PositionDown,
              MessageLetter::VelocityUp, MessageLetter::VelocityDown}) {
            if (letter == LetterByte(m)) {
                return true;
            }
        }
        return false;
    }

    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ControllerEmulator emulator;
    SimulatedHidBackend::DeviceId device = 0;
    std::mutex mutex;
    std::vector<std::uint8_t> sent;
};

TEST_F(CliLimits, LimitsAreShownSetKeptBySerialAndCleared) {
    CliResult r = Run({"limits"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("no travel limits for the KX-RD4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("not in the controller"), std::string::npos);
    EXPECT_EQ(Run({"limits", "--max", "5"}).status, 2) << "the first limits need both";
    EXPECT_EQ(Run({"limits", "--min", "10", "--max", "5"}).status, 2);
    EXPECT_EQ(Run({"limits", "--vmax", "0"}).status, 2);
    r = Run({"limits", "--min", "-100", "--max", "50000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(": min -100, max 50000 (kept on this PC in"), std::string::npos) << r.out;
    r = Run({"limits", "--vmax", "800"});
    EXPECT_NE(r.out.find("min -100, max 50000, vmax 800"), std::string::npos) << r.out;
    const std::string ini = ReadFile("config.ini");
    EXPECT_NE(ini.find("[TravelLimits]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SN A-17=-100 50000 800"), std::string::npos) << ini;
    r = Run({"limits", "--clear"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(Run({"limits"}).out.find("no travel limits"), std::string::npos);
    EXPECT_TRUE(std::none_of(Sent().begin(), Sent().end(), Moves));
}

TEST_F(CliLimits, EachMotionCommandInsideAtAndBeyondTheLimits) {
    ASSERT_EQ(Run({"limits", "--min", "0", "--max", "1000", "--vmax", "300"}).status, 0);
    struct Case {
        std::vector<std::string> args;
        bool allowed;
        const char* refusal;
    };
    // The axis stands at 0 with velocity 0 before each. (A velocity jog
    // within the limits is followed until the axis passes max, then stopped:
    // CliLimits.WatchAndAVelocityJogStopTheAxisLeavingTheLimits.)
    const Case cases[] = {
        {{"move", "500"}, true, ""},
        {{"move", "1000"}, true, ""},
        {{"move", "0"}, true, ""},
        {{"move", "1001"}, false, "move: 1001 is beyond the travel limits 0..1000 of the"},
        {{"move", "-1"}, false, "move: -1 is beyond the travel limits 0..1000"},
        {{"jog", "position", "+", "700"}, true, ""},
        {{"jog", "position", "-", "1"}, false, "the target would be -1, beyond the travel"},
        {{"jog", "velocity", "+", "301"}, false, "the velocity would reach 301, above the limit"},
        {{"jog", "velocity", "-", "301"}, false, "the velocity would reach -301, above"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + (c.args.size() > 2 ? c.args[2] : ""));
        Fresh(); // at rest at 0, ENABLE on
        ASSERT_EQ(Run({"enable", "on"}).status, 0);
        Sent();
        const CliResult r = Run(c.args);
        const std::vector<std::uint8_t> letters = Sent();
        const bool moved = std::any_of(letters.begin(), letters.end(), Moves);
        EXPECT_EQ(r.status, c.allowed ? 0 : 1) << r.err;
        EXPECT_EQ(moved, c.allowed) << "nothing is sent when refused";
        if (!c.allowed) {
            EXPECT_NE(r.err.find(c.refusal), std::string::npos) << r.err;
        }
    }
}

TEST_F(CliLimits, APositionSeenBeyondTheLimitsWhileWaitingStopsTheAxis) {
    ASSERT_EQ(Run({"enable", "on"}).status, 0);
    // Homing runs down from 0 towards the switch 1000 steps below and passes
    // the limit -10 on its way.
    ASSERT_EQ(Run({"limits", "--min", "-10", "--max", "50"}).status, 0);
    Sent();
    const CliResult r = Run({"home", "--wait", "--seconds", "20"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("home: the axis reached -"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(", beyond the travel limits -10..50; the motor sent to a stop"),
              std::string::npos)
        << r.err;
    const std::vector<std::uint8_t> letters = Sent();
    ASSERT_FALSE(letters.empty());
    EXPECT_EQ(letters.back(), LetterByte(MessageLetter::MotorStop));
    EXPECT_GT(emulator.Position(), -1000) << "stopped short of the switch";
}

TEST_F(CliLimits, WatchAndAVelocityJogStopTheAxisLeavingTheLimits) {
    ASSERT_EQ(Run({"enable", "on"}).status, 0);
    ASSERT_EQ(Run({"limits", "--min", "-10", "--max", "50", "--vmax", "300"}).status, 0);
    const auto stoppedLast = [this] {
        const std::vector<std::uint8_t> letters = Sent();
        return !letters.empty() && letters.back() == LetterByte(MessageLetter::MotorStop);
    };
    const auto atRest = [this] {
        for (int i = 0; i < 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const std::lock_guard<std::mutex> lock(mutex);
            emulator.AdvanceTo(Now());
            if (!emulator.Moving()) {
                return emulator.Position();
            }
        }
        return std::numeric_limits<std::int32_t>::min();
    };
    Sent();
    // Up from 0: followed until beyond 50, then stopped.
    CliResult r = Run({"jog", "velocity", "+", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("jog: watching the axis against the travel limits -10..50 until it is "
                         "at rest"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("jog: the axis reached 5"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(", beyond the travel limits -10..50; the motor sent to a stop"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(stoppedLast());
    const std::int32_t above = atRest();
    EXPECT_GT(above, 50);
    EXPECT_LT(above, 150) << "stopped soon after";

    // Down from beyond max: back towards the travel is let be, below min
    // it is stopped.
    r = Run({"jog", "velocity", "-", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("jog: the axis reached -1"), std::string::npos) << r.err;
    EXPECT_TRUE(stoppedLast());
    EXPECT_LT(atRest(), -10);

    // A velocity jog that brings the axis to rest ends the follow there.
    {
        const std::lock_guard<std::mutex> lock(mutex);
        emulator = ControllerEmulator();
    }
    ASSERT_EQ(Run({"enable", "on"}).status, 0);
    CliResult follow;
    // (-5 steps/s from 0 would cross -10 after 2 s.)
    std::thread jog([&] { follow = Run({"jog", "velocity", "-", "5"}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(Run({"stop-motor"}).status, 0);
    jog.join();
    EXPECT_EQ(follow.status, 0) << follow.err;
    EXPECT_NE(follow.out.find("at rest at position "), std::string::npos) << follow.out;

    // watch: an axis running out, seen beyond the limits, is stopped.
    ASSERT_EQ(Run({"limits", "--clear"}).status, 0);
    ASSERT_EQ(Run({"jog", "velocity", "+", "250"}).status, 0) << "no limits: not followed";
    ASSERT_EQ(Run({"limits", "--min", "-10", "--max", "60"}).status, 0);
    Sent();
    r = Run({"watch", "--seconds", "10"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("watch: the axis reached 6"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("ms,position,velocity\n"), std::string::npos);
    EXPECT_TRUE(stoppedLast());
    EXPECT_LT(atRest(), 160);
    // Standing beyond the limits, it is watched to the end of its time.
    r = Run({"watch", "--seconds", "0.2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(stoppedLast());
}

TEST_F(CliLimits, SendRefusesAProgramLeavingTheLimitsFromWhereTheAxisStands) {
    WriteFile("by.txt", "P0\n[00]  M_EN\n[01]  X_DF+\n[02]  END\n"); // by DEF 1000
    ASSERT_EQ(Run({"build", Path("by.txt"), "-o", Path("by.kxp")}).status, 0);
    ASSERT_EQ(Run({"limits", "--min", "0", "--max", "3500"}).status, 0);
    const auto lineWrites = [this] {
        const std::vector<std::uint8_t> letters = Sent();
        return std::count(letters.begin(), letters.end(), LetterByte(MessageLetter::LineWrite));
    };
    struct Case {
        std::int32_t at; // where the axis stands
        bool force;
        int status;
        long lines; // written
    };
    for (const Case c : {Case{0, false, 0, 25}, Case{2500, false, 0, 25}, Case{2501, false, 1, 0},
                         Case{3000, true, 0, 25}}) {
        SCOPED_TRACE(c.at);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            emulator = ControllerEmulator();
            emulator.PlaceAxis(c.at);
        }
        Sent();
        std::vector<std::string> args = {"send", Path("by.kxp"), "-p", "0"};
        if (c.force) {
            args.push_back("--force");
        }
        const CliResult r = Run(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(lineWrites(), c.lines);
        if (c.at > 2500) {
            EXPECT_NE(r.err.find("P0 [01] error: the axis leaves the travel limits 0..3500: "
                                 "position 3501 after"),
                      std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find("(starting at position " + std::to_string(c.at) + ")"),
                      std::string::npos)
                << r.err;
        }
        if (c.status != 0) {
            EXPECT_NE(r.err.find("send: P0 leaves the travel limits of the KX-RD4 at "),
                      std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find("nothing was sent (--force sends it anyway)"), std::string::npos);
        }
    }
}

TEST_F(CliLimits, CheckAndSimulateTakeTheLimitsAsOptionsWithoutAController) {
    WriteFile("two.txt", "P0\n[00]  M_EN\n[01]  X_DST  +0005000\n[02]  END\n"
                         "P1\n[00]  M_EN\n[01]  X_DF-\n[02]  END\n");
    ASSERT_EQ(Run({"build", Path("two.txt"), "-o", Path("two.kxp")}).status, 0);
    const std::string file = Path("two.kxp");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says; // in stdout or stderr
    };
    const Case cases[] = {
        {{"check", file, "-p", "0", "--min", "0", "--max", "6000"}, 0, "P0: no findings"},
        {{"check", file, "-p", "0", "--min", "0", "--max", "5000"}, 0, "P0: no findings"},
        {{"check", file, "-p", "0", "--min", "0", "--max", "4999"},
         1,
         "P0 [01] error: the axis leaves the travel limits 0..4999: position 5000 after"},
        {{"check", file, "--min", "0", "--max", "5000"},
         1,
         "P1 [01] error: the axis leaves the travel limits 0..5000: position -1 after"},
        {{"check", file, "-p", "1", "--min", "-1000", "--max", "0"}, 0, "P1: no findings"},
        {{"check", file, "-p", "0", "--min", "0", "--max", "5000", "--start", "4000"},
         0,
         "no findings"},
        {{"check", file, "-p", "1", "--min", "0", "--max", "5000", "--start", "4000"},
         0,
         "no findings"},
        {{"check", file, "-p", "1", "--min", "0", "--max", "5000", "--start", "900"},
         1,
         "(starting at position 900)"},
        {{"check", file, "-p", "0", "--min", "0", "--max", "6000", "--vmax", "999"},
         1,
         "the velocity reaches 1000, above the travel limits' vmax 999"},
        {{"check", file, "-p", "0", "--min", "0", "--max", "4999", "--format", "json"},
         1,
         "\"code\":\"leaves-travel\""},
        {{"check", file, "--max", "10"}, 2, "check: the travel limits need both --min and --max"},
        {{"check", file, "--vmax", "5"}, 2, "check: --vmax goes with the travel limits"},
        {{"check", file, "--start", "5"}, 2, "check: --start goes with the travel limits"},
        {{"check", file, "--min", "5", "--max", "1"}, 2, "check: --min 5 is above --max 1"},
        {{"simulate", file, "-p", "0", "--min", "0", "--max", "4999"},
         1,
         "the axis leaves the travel limits 0..4999 after"},
        {{"simulate", file, "-p", "0", "--min", "0", "--max", "5000"}, 0, "(cycle time)"},
        {{"simulate", file, "-p", "0", "--min", "0", "--max", "5000", "--start", "5000"},
         0,
         "starting at position 5000, within the travel limits 0..5000"},
        {{"simulate", file, "-p", "0", "--start", "100"}, 0, "(cycle time)"},
        {{"simulate", file, "-p", "0", "--min", "0", "--max", "4999", "--format", "json"},
         1,
         "\"travel\":{\"timeMs\":"},
        {{"send", file, "-p", "0", "--min", "0", "--max", "1"}, 2, "send does not take --m"},
    };
    Sent();
    for (const Case& c : cases) {
        std::string name;
        for (const auto& a : c.args) {
            name += a == file ? "FILE " : a + " ";
        }
        SCOPED_TRACE(name);
        const CliResult r = Tool(c.args);
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << r.out << r.err;
    }
    EXPECT_TRUE(Sent().empty()) << "no controller needed";
}

TEST_F(CliLimits, BackupsCarryTheLimitsInASectionOfTheirOwnAndRestoreKeepsThem) {
    ASSERT_EQ(Run({"limits", "--min", "-5", "--max", "7000", "--vmax", "900"}).status, 0);
    CliResult r = Run({"backup", "-o", Path("a.kxb")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = ReadFile("a.kxb");
    EXPECT_NE(file.find("\n[limits]\n# the travel limits kept on the PC, not in the "
                        "controller\nmin = -5\nmax = 7000\nvmax = 900\n\n[programs]\n"),
              std::string::npos)
        << file;
    ASSERT_EQ(Run({"limits", "--clear"}).status, 0);
    r = Run({"restore", Path("a.kxb")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("travel limits -5..7000, vmax 900 kept on this PC for the KX-RD4"),
              std::string::npos)
        << r.out;
    EXPECT_NE(Run({"limits"}).out.find("min -5, max 7000, vmax 900"), std::string::npos);
    // Only the programs: the limits are left as they are.
    ASSERT_EQ(Run({"limits", "--clear"}).status, 0);
    EXPECT_EQ(Run({"restore", Path("a.kxb"), "--programs", "0"}).status, 0);
    EXPECT_NE(Run({"limits"}).out.find("no travel limits"), std::string::npos);

    // A file without the section stays valid; a damaged section is refused
    // with its line before anything is written.
    const struct {
        const char* text;
        int status;
        const char* error;
    } files[] = {
        {"[parameters]\nvmax = 1000\n", 0, ""},
        {"[parameters]\nvmax = 1000\n[limits]\nmin = 0\nmax = 10\n", 0, ""},
        {"[parameters]\n[limits]\nmin = 0\n", 1, ":2: [limits] needs min and max"},
        {"[parameters]\n[limits]\nmin = 9\nmax = 1\n", 1, ":2: [limits] needs min and max"},
        {"[parameters]\n[limits]\nmin = 0\nmax = 1\nspeed = 3\n", 1,
         ":5: unknown key \"speed\" in [limits]"},
        {"[parameters]\n[limits]\nmin = 0\nmax = 1\nvmax = 0\n", 1,
         ":5: vmax: \"0\" is not a velocity above 0"},
        {"[limits]\nmin = 0\nmax = 1\n[parameters]\n", 1, ":1: [limits] must come after"},
    };
    for (const auto& f : files) {
        WriteFile("f.kxb", f.text);
        Sent();
        r = Run({"restore", Path("f.kxb"), "--dry-run"});
        EXPECT_EQ(r.status, f.status) << f.text << r.err;
        EXPECT_NE(r.err.find(f.error), std::string::npos) << r.err;
        if (f.status != 0) {
            EXPECT_TRUE(Sent().empty()) << f.text;
        }
    }
}

} // namespace
