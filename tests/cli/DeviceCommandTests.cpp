// kxrd4-cli against the emulated KX-RD4 on the simulated HID back end: program
// transfers with verification, run and stop, parameters, status and watch;
// and the failures: no controller, a query-only one, no answer, unplugging
// in the middle of a transfer, replies meant for the window.

#include <climits>
#include <cstdio>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "MessageLetter.h"
#include "ProgramSet.h"

namespace {

using Report = std::vector<std::uint8_t>;

std::string RandomPrograms(unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(ProgramSetBytes, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random() % 256);
    }
    return bytes;
}

class CliDevice : public ::testing::Test, protected CliRig {
protected:
    // The emulator answers each write; before each reply, noise can be
    // queued (replies the window's own requests would get).
    // unplugAtLine: the device goes when that line is written; corruptLine:
    // the controller stores that line with its last byte changed.
    void Attach(bool noise = false, int unplugAtLine = -1, int corruptLine = -1) {
        device = backend->Plug(KxRd4());
        backend->SetPeer(device, [this, noise, unplugAtLine, corruptLine](
                                     SimulatedHidBackend::DeviceId id, const Report& sent) {
            Report report = sent;
            if (report.size() > 11 && report[1] == LetterByte(MessageLetter::LineWrite) &&
                report[3] == corruptLine) {
                report[11] ^= 1;
            }
            if (unplugAtLine >= 0 && report.size() > 3 &&
                report[1] == LetterByte(MessageLetter::LineWrite) && report[3] == unplugAtLine) {
                backend->Unplug(id);
                return;
            }
            if (noise) {
                Report poll(65, 0), line(65, 0), value(65, 0);
                poll[0] = line[0] = value[0] = 1;
                poll[1] = LetterByte(MessageLetter::StatusPoll);
                poll[2] = 0x77;
                line[1] = report[1];
                line[2] = 9; // another program's transfer
                value[1] = report[1];
                backend->InjectReport(id, poll);
                if (report[1] == LetterByte(MessageLetter::LineWrite) ||
                    report[1] == LetterByte(MessageLetter::LineRead)) {
                    backend->InjectReport(id, line);
                }
            }
            for (auto& reply : emulator.HandleRequest(report.data(), report.size(), Now())) {
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

TEST_F(CliDevice, SendVerifyReadRunAndStopThroughTheEmulator) {
    for (const bool noise : {false, true}) {
        SCOPED_TRACE(noise ? "with the window's replies in between" : "alone");
        Attach(noise);
        const std::string file = RandomPrograms(noise ? 2 : 1);
        WriteFile("send.kxp", file);
        const CliResult sent = Tool({"send", Path("send.kxp"), "-p", "3", "--verify", "--force"});
        ASSERT_EQ(sent.status, 0) << sent.err;
        EXPECT_NE(sent.out.find("P3 verified"), std::string::npos) << sent.out;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(emulator.Programs().LineBytes(3, 0)),
                              ProgramBytes),
                  ProgramOf(file, 3));

        // read into an existing file keeps its other programs.
        const std::string other = RandomPrograms(7);
        WriteFile("read.kxp", other);
        const CliResult read = Tool({"read", "-p", "3", "-o", Path("read.kxp")});
        ASSERT_EQ(read.status, 0) << read.err;
        const std::string back = ReadFile("read.kxp");
        for (int p = 0; p < ProgramCount; ++p) {
            EXPECT_EQ(ProgramOf(back, p), ProgramOf(p == 3 ? file : other, p)) << "P" << p;
        }
        backend->Unplug(device);
    }
    // read into a new file: the other programs are empty.
    Attach();
    ASSERT_EQ(Tool({"read", "-p", "3", "-o", Path("new.kxp")}).status, 0);
    EXPECT_EQ(ReadFile("new.kxp").size(), 2000u);

    // run and stop a program: END at line 1 after a wait keeps it running a while.
    WriteFile("prog.txt", "P4\n[00]  W_TIM  5000\n[01]  END\n");
    ASSERT_EQ(Tool({"build", Path("prog.txt"), "-o", Path("p4.kxp")}).status, 0);
    ASSERT_EQ(Tool({"send", Path("p4.kxp"), "-p", "4"}).status, 0);
    const CliResult run = Tool({"run", "-p", "4"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "P4 started\n");
    EXPECT_TRUE(emulator.ProgramRunning());
    const CliResult stop = Tool({"stop", "-p", "4"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(stop.out, "P4 stopped\n");
}

TEST_F(CliDevice, CheckFindsFaultsAndSendRefusesProgramsWithErrorsUnlessForced) {
    WriteFile("clean.txt", "P0\n[00]  M_EN\n[01]  X_DST  +0001000\n[02]  END\n");
    WriteFile("jump.txt", "P0\n[00]  M_EN\n[01]  J_LIN  22\nP1\n[00]  END\n");
    WriteFile("wait.txt", "P0\n[00]  W_INP  0  on\n[01]  END\n");
    WriteFile("bad.txt", "P0\n[00]  J_LIN  XX\n");
    ASSERT_EQ(Tool({"build", Path("jump.txt"), "-o", Path("jump.kxp")}).status, 0);
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out; // expected in stdout (or stderr for status 2)
    };
    const std::vector<Row> rows = {
        {{"check", Path("clean.txt")}, 0, "programs: no findings\n"},
        {{"check", Path("jump.txt")}, 1, "P0 [01] error: jump to empty line 22\n"},
        {{"check", Path("jump.kxp")}, 1, "P0 [24] error: no END: the program runs past line 24"},
        {{"check", Path("jump.kxp"), "-p", "1"}, 0, "P1: no findings"},
        {{"check", Path("wait.txt")}, 0, "P0 [00] warning: waits for input 0"},
        {{"check", Path("wait.txt"), "--warnings-as-errors"}, 1, "0 errors, 1 warning"},
        {{"check", Path("jump.txt"), "--format", "json"},
         1,
         "{\"program\":0,\"line\":1,\"grade\":\"error\",\"code\":\"jump-to-empty-line\","
         "\"text\":\"jump to empty line 22\"}"},
        {{"check", Path("missing.txt")}, 2, "no such file; nothing was checked"},
        {{"check", Path("bad.txt")}, 2, "bad.txt:2:"},
        {{"check"}, 2, "usage: kxrd4-cli check FILE"},
        {{"check", Path("clean.txt"), "--force"}, 2, "check does not take --force"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.back());
        const CliResult r = Tool(row.args);
        EXPECT_EQ(r.status, row.status) << r.out << r.err;
        EXPECT_NE((row.status == 2 ? r.err : r.out).find(row.out), std::string::npos)
            << r.out << r.err;
    }

    // build writes the file and names the findings on stderr.
    const CliResult built = Tool({"build", Path("jump.txt"), "-o", Path("jump.kxp")});
    EXPECT_EQ(built.status, 0);
    EXPECT_NE(built.err.find("kxrd4-cli: P0 [01] error: jump to empty line 22"), std::string::npos)
        << built.err;

    // send refuses it without a word to the controller; --force sends it.
    Attach();
    CliResult r = Tool({"send", Path("jump.kxp"), "-p", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("P0 [01] error: jump to empty line 22"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("send: P0 has errors (above); nothing was sent (--force sends it anyway)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(emulator.Programs().Line(0, 0), ProgramLine{});
    r = Tool({"send", Path("jump.kxp"), "-p", "0", "--force", "--verify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("P0 verified"), std::string::npos) << r.out;
    EXPECT_EQ(emulator.Programs().Line(0, 0)[0], static_cast<std::uint8_t>(CommandCode::M_EN));
    // A clean program goes without a word on stderr.
    ASSERT_EQ(Tool({"build", Path("clean.txt"), "-o", Path("clean.kxp")}).err, "");
    r = Tool({"send", Path("clean.kxp"), "-p", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(CliDevice, ParametersStatusAndWatch) {
    Attach();
    struct Case {
        std::vector<std::string> set;
        const char* err; // clamping note, or ""
        std::vector<std::string> get;
        const char* value;
    } cases[] = {
        {{"set", "vmax", "40000"},
         "40000 is outside 0 to 29999, 29999 is sent",
         {"get", "vmax"},
         "29999\n"},
        {{"set", "vmin", "-5"}, "", {"get", "vmin"}, "0\n"},
        {{"set", "amax", "$10"}, "", {"get", "amax"}, "16\n"},
        {{"set", "xdef", "-9999999"}, "", {"get", "xdef"}, "-9999999\n"},
        {{"set", "vdef", "30000"}, "29999 is sent", {"get", "vdef"}, "29999\n"},
        {{"set", "wdef", "123456"}, "99999 is sent", {"get", "wdef"}, "99999\n"},
        {{"set", "home", "-200", "NC"}, "", {"get", "home"}, "-200 NC\n"},
    };
    for (const Case& c : cases) {
        const CliResult set = Tool(c.set);
        EXPECT_EQ(set.status, 0) << c.set[1] << ": " << set.err;
        EXPECT_NE(set.err.find(c.err), std::string::npos) << set.err;
        const CliResult get = Tool(c.get);
        EXPECT_EQ(get.status, 0) << c.get[1] << ": " << get.err;
        EXPECT_EQ(get.out, c.value) << c.get[1];
    }
    for (const auto& args : std::vector<std::vector<std::string>>{{"set", "modbus-address", "247"},
                                                                  {"set", "modbus-baud", "115200"},
                                                                  {"set", "input-filter", "25"},
                                                                  {"stop-motor"},
                                                                  {"brake"}}) {
        const CliResult r = Tool(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        EXPECT_FALSE(r.out.empty());
    }
    EXPECT_EQ(Tool({"set", "modbus-address", "247"}).out, "MODBUS address set to 247\n");

    // Move at a set velocity; status and watch see it.
    ASSERT_EQ(Tool({"set", "amax", "20000"}).status, 0);
    ASSERT_EQ(Tool({"enable", "on"}).status, 0);
    EXPECT_TRUE(emulator.Enabled());
    ASSERT_EQ(Tool({"set", "vdst", "5000"}).status, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const CliResult status = Tool({"status"});
    ASSERT_EQ(status.status, 0) << status.err;
    EXPECT_EQ(status.out.rfind("position ", 0), 0u) << status.out;
    EXPECT_NE(status.out.find("\nvelocity "), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("position 0\n"), 0u) << "the axis moves";

    const CliResult watch = Tool({"watch", "--seconds", "0.3"});
    ASSERT_EQ(watch.status, 0) << watch.err;
    std::istringstream lines(watch.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "ms,position,velocity");
    int samples = 0;
    long long lastMs = -1, lastPosition = LLONG_MIN;
    while (std::getline(lines, line)) {
        long long ms = 0, position = 0, velocity = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lld,%lld,%lld", &ms, &position, &velocity), 3)
            << line;
        EXPECT_GE(ms, lastMs);
        EXPECT_GE(position, lastPosition);
        EXPECT_GT(velocity, 0);
        lastMs = ms;
        lastPosition = position;
        ++samples;
    }
    // 40 polls a second for 0.3 s, with room for a slow machine.
    EXPECT_GE(samples, 2);
    EXPECT_LE(samples, 13);
    ASSERT_EQ(Tool({"enable", "off"}).status, 0);
}

TEST_F(CliDevice, FailuresEndWithStatusOneAndTheirCause) {
    // No KX-RD4, only another device.
    SimulatedHidBackend::DeviceSpec mouse;
    mouse.ProductString = u"USB Mouse";
    mouse.QueryOnly = true;
    backend->Plug(mouse);
    CliResult r = Tool({"status"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no KX-RD4 is connected"), std::string::npos) << r.err;
    r = Tool({"devices"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("1A2B:000C  query-only  USB Mouse"), std::string::npos) << r.out;

    // A KX-RD4 that may only be queried.
    SimulatedHidBackend::DeviceSpec locked = KxRd4();
    locked.QueryOnly = true;
    const auto lockedId = backend->Plug(locked);
    r = Tool({"get", "vmin"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("can only be queried"), std::string::npos) << r.err;
    backend->Unplug(lockedId);

    // A KX-RD4 that never answers.
    const auto silent = backend->Plug(KxRd4());
    r = Tool({"get", "vmin", "--timeout", "100"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no answer from the KX-RD4 within 100 ms"), std::string::npos) << r.err;
    r = Tool({"devices"});
    EXPECT_NE(
        r.out.find("* " + backend->PathOf(silent) + "  1A2B:000C  read-write  KX-RD4  (selected)"),
        std::string::npos)
        << r.out;
    backend->Unplug(silent);

    // Unplugged at line 10 of a transfer.
    Attach(false, 10);
    WriteFile("p.kxp", std::string(2000, '\0'));
    r = Tool({"send", Path("p.kxp"), "-p", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("disconnected at line 10 of P5 (lines 00 to 09 were confirmed)"),
              std::string::npos)
        << r.err;
    // A line the controller stored wrongly is named by the verification.
    Attach(false, -1, 7);
    r = Tool({"send", Path("p.kxp"), "-p", "3", "--verify"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("verify: line 07 of P3 differs: sent \"[07]  *****  \" (00 00 00 00 00 00 "
                         "00 00), read back \"[07]  *****  \" (00 00 00 00 00 00 00 01)"),
              std::string::npos)
        << r.err;
    backend->Unplug(device);

    // A read that gets no answer leaves the file as it was.
    backend->Plug(KxRd4());
    WriteFile("keep.kxp", std::string(2000, '\x22'));
    r = Tool({"read", "-p", "1", "-o", Path("keep.kxp"), "--timeout", "50"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no answer from the KX-RD4 within 50 ms at line 00 of P1"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile("keep.kxp"), std::string(2000, '\x22'));
}

} // namespace
