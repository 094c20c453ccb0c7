// kxrd4-cli backup, diff and restore against the emulated KX-RD4: a round
// trip through a changed controller, a restore whose read-back differs,
// malformed backup files, and the exit codes for no and several controllers.

#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "MessageLetter.h"
#include "ProgramSet.h"

namespace {

using Report = std::vector<std::uint8_t>;

class CliBackup : public ::testing::Test, protected CliRig {
protected:
    // corruptLine: the controller stores that line of every program with its
    // last byte changed; silentStore: it never reports a program stored.
    void Attach(int corruptLine = -1, bool silentStore = false) {
        device = backend->Plug(KxRd4());
        backend->SetPeer(device, [this, corruptLine, silentStore](SimulatedHidBackend::DeviceId id,
                                                                  const Report& sent) {
            Report report = sent;
            if (report.size() > 11 && report[1] == LetterByte(MessageLetter::LineWrite) &&
                report[3] == corruptLine) {
                report[11] ^= 1;
            }
            for (auto& reply : emulator.HandleRequest(report.data(), report.size(), Now())) {
                if (silentStore && reply.size() > 1 &&
                    reply[1] == LetterByte(MessageLetter::ProgramStored)) {
                    continue;
                }
                backend->InjectReport(id, std::move(reply));
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
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ControllerEmulator emulator;
    SimulatedHidBackend::DeviceId device = 0;
};

TEST_F(CliBackup, BackupChangeDiffRestoreDiffIsEmpty) {
    Attach();
    WriteFile("p.txt", "P2\n[00]  W_TIM  250\n[01]  J_LIN  00\n");
    ASSERT_EQ(Tool({"build", Path("p.txt"), "-o", Path("p.kxp")}).status, 0);
    ASSERT_EQ(Tool({"send", Path("p.kxp"), "-p", "2"}).status, 0);
    ASSERT_EQ(Tool({"set", "xdef", "-4321"}).status, 0);
    const CliResult backup = Tool({"backup", "-o", Path("a.kxb")});
    ASSERT_EQ(backup.status, 0) << backup.err;
    const std::string file = ReadFile("a.kxb");
    EXPECT_NE(file.find("\n[parameters]\nvmin = 100\nvmax = 1000\namax = 500\nxdef = -4321\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("home = -200 NO\nvdst = 0\nxdst = 0\n\n[programs]\nP0\n"),
              std::string::npos);
    EXPECT_NE(file.find("P2\n[00]  W_TIM  00250 | 12 00 00 02 05 00 00 00\n"), std::string::npos);
    EXPECT_EQ(Tool({"diff", Path("a.kxb")}).status, 0);

    // Two lines and a parameter change on the controller.
    ProgramLine changed{};
    changed[0] = 0x12;
    changed[3] = 9;
    emulator.Programs().SetLine(2, 0, changed);
    emulator.Programs().SetLine(7, 24, changed);
    ASSERT_EQ(Tool({"set", "vmax", "2000"}).status, 0);
    const CliResult diff = Tool({"diff", Path("a.kxb")});
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.out, "--- KX-RD4 at " + backend->PathOf(device) + "\n+++ " + Path("a.kxb") +
                            "\n@@ parameters @@\n-vmax = 2000\n+vmax = 1000\n"
                            "@@ P2 @@\n-[00]  W_TIM  00900 | 12 00 00 09 00 00 00 00\n"
                            "+[00]  W_TIM  00250 | 12 00 00 02 05 00 00 00\n"
                            "@@ P7 @@\n-[24]  W_TIM  00900 | 12 00 00 09 00 00 00 00\n"
                            "+[24]  ***** | 00 00 00 00 00 00 00 00\n");
    EXPECT_NE(diff.err.find("3 differences"), std::string::npos) << diff.err;

    // Only P7: the rest stays as it is.
    CliResult r = Tool({"restore", Path("a.kxb"), "--programs", "7"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("P7    verified"), std::string::npos) << r.out;
    EXPECT_EQ(Tool({"diff", Path("a.kxb")}).status, 1);

    r = Tool({"restore", Path("a.kxb"), "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("vmax        DIFFERS  1000"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("P2 line 00  DIFFERS"), std::string::npos) << r.out;
    EXPECT_EQ(emulator.Programs().Line(2, 0), changed) << "a dry run writes nothing";

    r = Tool({"restore", Path("a.kxb")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("home  not restored  -200 NO"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("every item written was read back and verified"), std::string::npos);
    r = Tool({"diff", Path("a.kxb")});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");

    // A program file compares with its ten programs.
    WriteFile("c.kxp", std::string(ProgramSetBytes, '\0'));
    r = Tool({"diff", Path("c.kxp"), Path("a.kxb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("@@ parameters @@"), std::string::npos) << "a .kxp has none";
    EXPECT_NE(r.out.find("@@ P2 @@"), std::string::npos) << r.out;
}

TEST_F(CliBackup, CloneOfAnyProgramBytesOntoASecondController) {
    Attach();
    std::uint32_t seed = 12345;
    for (int i = 0; i < ProgramSetBytes; ++i) {
        seed = seed * 1103515245u + 12345u;
        emulator.Programs().Data()[i] = static_cast<std::uint8_t>(seed >> 16);
    }
    const ProgramSet original = emulator.Programs();
    ASSERT_EQ(Tool({"set", "vdef", "-77"}).status, 0);
    ASSERT_EQ(Tool({"backup", "-o", Path("one.kxb")}).status, 0);
    backend->Unplug(device);

    emulator = ControllerEmulator();
    Attach();
    const CliResult r = Tool({"restore", Path("one.kxb")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Tool({"diff", Path("one.kxb")}).out, "");
    EXPECT_TRUE(
        std::equal(original.Data(), original.Data() + ProgramSetBytes, emulator.Programs().Data()));
    EXPECT_NE(r.out.find("vdef  verified      -77"), std::string::npos) << r.out;
}

TEST_F(CliBackup, ARestoreWhoseReadBackDiffersFailsAndNamesTheLine) {
    Attach(7);
    WriteFile("m.kxb", "[parameters]\nvmin = 5\nmodbus-baud = 57600 # by hand\n[programs]\nP4\n");
    const CliResult r = Tool({"restore", Path("m.kxb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("vmin         verified"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("modbus-baud  unverified  57600 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  written; cannot be read back\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("P4 line 07   DIFFERS     [07]  ***** | 00 00 00 00 00 00 00 00  "
                         "[07]  ***** | 00 00 00 00 00 00 00 01"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("is not complete"), std::string::npos) << r.err;
}

TEST_F(CliBackup, AnInterruptedRestoreWritesNothingMoreAndFails) {
    Attach();
    int sent = 0;
    backend->SetPeer(device, [&sent](SimulatedHidBackend::DeviceId, const Report&) { ++sent; });
    WriteFile("m.kxb", "[parameters]\nvmin = 5\n[programs]\nP4\n");
    const std::atomic<bool> interrupted{true}; // Ctrl+C before the first exchange
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(
        {"restore", Path("m.kxb")}, [this] { return backend; }, out, err, &interrupted);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(sent, 0) << "nothing may be written after the interruption";
    EXPECT_NE(err.str().find("interrupted"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("P4 "), std::string::npos) << out.str();
}

TEST_F(CliBackup, ARestoreWhileAProgramMovesTheAxisIsRefusedAndWritesNothing) {
    Attach();
    WriteFile("run.txt", "P1\n[00]  M_EN\n[01]  X_DST  +9000000\n[02]  END\n");
    ASSERT_EQ(Tool({"build", Path("run.txt"), "-o", Path("run.kxp")}).status, 0);
    ASSERT_EQ(Tool({"send", Path("run.kxp"), "-p", "1"}).status, 0);
    ASSERT_EQ(Tool({"run", "-p", "1"}).status, 0);
    WriteFile("m.kxb", "[parameters]\nvmax = 1200\n[programs]\nP4\n[00]  W_TIM  250\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto before = backend->Written(device).size();
    const CliResult r = Tool({"restore", Path("m.kxb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("not written: the axis is moving (velocity "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("is a program running?): stop it first"), std::string::npos) << r.out;
    const auto written = backend->Written(device);
    for (auto it = written.begin() + static_cast<std::ptrdiff_t>(before); it != written.end(); ++it)
        EXPECT_TRUE((*it)[1] == 'y') << "only the status was asked, not " << (*it)[1];
    // Stopped, it goes.
    ASSERT_EQ(Tool({"stop", "-p", "1"}).status, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(Tool({"restore", Path("m.kxb")}).status, 0);
}

TEST_F(CliBackup, SendFailsWhenTheProgramIsNotReportedStored) {
    Attach(-1, true);
    WriteFile("p.kxp", std::string(ProgramSetBytes, '\0'));
    const CliResult r = Tool({"send", Path("p.kxp"), "-p", "1", "--timeout", "100"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("all 25 lines of P1 were answered, but the KX-RD4 did not report the "
                         "program stored within 100 ms"),
              std::string::npos)
        << r.err;
}

TEST_F(CliBackup, MalformedBackupsNameTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"vmax = 1\n", ":1: \"vmax = 1\" comes before the [parameters]"},
        {"[parameters]\n# c\nspeed = 3\n", ":3: unknown key \"speed\""},
        {"[parameters]\nvmax = 30000\n", ":2: vmax: 30000 is outside 0 to 29999"},
        {"[parameters]\nvmax = 1\nvmax = 2\n", ":3: vmax is given twice"},
        {"[parameters]\nvmax 1\n", ":2: \"vmax 1\" is not \"key = value\""},
        {"[parameters]\nvmax = 1a\n", ":2: vmax: \"1a\" is not a whole number"},
        {"[parameters]\nhome = -200\n", ":2: home: \"-200\" is not a velocity followed by"},
        {"[parameters]\nmodbus-baud = 9600\n", ":2: modbus-baud: 9600 is outside the rates"},
        {"[parameters]\n[parameters]\n", ":2: [parameters] is given twice"},
        {"[programs]\nP1\n[03]  BOGUS\n", ":3: P1 line 03"},
        {"[programs]\nP1\n[03]  ***** | 00\n", ":3: P1 line 03"},
        {"# only a comment\n", ":1: no [parameters] or [programs] section"},
    };
    for (const auto& c : cases) {
        WriteFile("bad.kxb", c.text);
        WriteFile("good.kxb", "[parameters]\n");
        const CliResult r = Tool({"diff", Path("bad.kxb"), Path("good.kxb")});
        EXPECT_EQ(r.status, 2) << c.text;
        EXPECT_NE(r.err.find(Path("bad.kxb") + c.error), std::string::npos) << c.text << "\n"
                                                                            << r.err;
    }
}

TEST_F(CliBackup, NoControllerIsThreeSeveralAreFour) {
    CliResult r = Tool({"backup"});
    EXPECT_EQ(r.status, 3) << r.err;
    Attach();
    const auto second = backend->Plug(KxRd4());
    r = Tool({"status"});
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("2 KX-RD4 controllers are connected"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(backend->PathOf(second)), std::string::npos) << r.err;
    backend->Unplug(second);
    EXPECT_EQ(Tool({"status"}).status, 0);
    // The built-in emulator needs no device at all.
    r = Tool({"--emulator", "backup"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("vmax = 1000\n"), std::string::npos);
}

TEST_F(CliBackup, JogMoveAndHomeWaitForTheAxisAtRest) {
    Attach();
    ASSERT_EQ(Tool({"set", "amax", "29999"}).status, 0);
    ASSERT_EQ(Tool({"set", "vmax", "29999"}).status, 0);
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    // The home switch closes 1000 steps below the power-on position.
    CliResult r = Tool({"move", "-500", "--wait", "--seconds", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "target position set to -500\nat rest at position -500\n");
    r = Tool({"jog", "position", "-", "300"});
    EXPECT_EQ(r.out, "position moved down by 300\n");
    r = Tool({"home", "--wait", "--seconds", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "homing started at velocity -200\nat rest at position 0\n");
    // A move still under way when the time-out ends fails with the time-out.
    r = Tool({"move", "20000", "--wait", "--seconds", "0.2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not at rest at 20000 within the time-out (position"), std::string::npos)
        << r.err;
    ASSERT_EQ(Tool({"stop-motor"}).status, 0);
    // A move or homing the controller refuses (ENABLE off) fails as soon as
    // the axis is seen standing short of its goal, not after the time-out.
    ASSERT_EQ(Tool({"enable", "off"}).status, 0);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"move", "10", "--wait", "--seconds", "20"},
          std::vector<std::string>{"home", "--wait", "--seconds", "20"}}) {
        r = Tool(command);
        EXPECT_EQ(r.status, 1) << command[0];
        EXPECT_NE(r.err.find("the KX-RD4 did not carry out the"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Tool({"jog", "speed", "+"}).status, 2);
    EXPECT_EQ(Tool({"jog", "velocity", "+", "1001"}).status, 2);
}

} // namespace
