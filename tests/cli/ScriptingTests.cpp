// kxrd4-cli as scripts use it: every device command exits 3 without a KX-RD4
// and 4 with several and none chosen (diff too: above 1 is trouble there),
// answers in English against the built-in emulator, and --help documents the
// exit codes.

#include <gtest/gtest.h>

#include "CliRig.h"
#include "ProgramSet.h"

namespace {

SimulatedHidBackend::DeviceSpec KxRd4() {
    SimulatedHidBackend::DeviceSpec device;
    device.ProductString = u"KX-RD4";
    return device;
}

bool Ascii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 0x7E || (c < 0x20 && c != '\n')) {
            return false;
        }
    }
    return true;
}

class CliScripting : public ::testing::Test, protected CliRig {
protected:
    void SetUp() override {
        WriteFile("p.kxp", std::string(ProgramSetBytes, '\0'));
        WriteFile("a.kxb", "[parameters]\nvmax = 1200\n[programs]\nP3\n[00]  W_TIM  250\n");
    }
    // Every command that talks to the KX-RD4, with what the emulator
    // answers it with: status and a piece of stdout.
    struct Case {
        std::vector<std::string> args;
        int emulated;
        const char* out;
    };
    std::vector<Case> DeviceCommands() const {
        return {
            {{"send", Path("p.kxp"), "-p", "1", "--verify"}, 0, "P1 verified"},
            {{"read", "-p", "1", "-o", Path("r.kxp")}, 0, "P1 read into"},
            {{"run", "-p", "1"}, 0, "P1 started\n"},
            {{"stop", "-p", "1"}, 0, "P1 stopped\n"},
            {{"get", "vmax"}, 0, "1000\n"},
            {{"get", "home", "--format", "json"}, 0, "\"contactType\":\"NO\""},
            {{"set", "wdef", "250"}, 0, "DEF time set to 250 ms\n"},
            {{"set", "modbus-baud", "57600"}, 0, "MODBUS rate set to 57600 baud\n"},
            {{"enable", "on"}, 0, "ENABLE on\n"},
            {{"stop-motor"}, 0, "motor decelerating to a stop\n"},
            {{"brake"}, 0, "motor stopped at once\n"},
            {{"jog", "velocity", "+", "7"}, 0, "velocity raised by 7\n"},
            {{"move", "5", "--wait", "--seconds", "5"}, 1, "target position set to 5\n"},
            // (ENABLE is off at power-on: no homing can have run.)
            {{"home", "--wait", "--seconds", "5"}, 1, "homing started at velocity -200\n"},
            {{"status"}, 0, "position 0\nvelocity 0\n"},
            {{"watch", "--seconds", "0.05"}, 0, "ms,position,velocity\n"},
            {{"backup"}, 0, "\n[parameters]\nvmin = 100\n"},
            {{"restore", Path("a.kxb"), "--dry-run"}, 0, "vmax        DIFFERS  1200"},
            {{"restore", Path("a.kxb")}, 0, "every item written was read back and verified"},
            {{"diff", Path("a.kxb")}, 1, "-vmax = 1000\n+vmax = 1200\n"},
            {{"diff", Path("a.kxb"), "--format", "json"}, 1, "\"same\":false"},
        };
    }
};

TEST_F(CliScripting, EveryDeviceCommandExitsThreeWithoutAndFourWithSeveralControllers) {
    for (const Case& c : DeviceCommands()) {
        const CliResult none = Tool(c.args);
        EXPECT_EQ(none.status, Cli::NoDevice) << c.args[0] << ": " << none.err;
        EXPECT_NE(none.err.find("no KX-RD4 is connected"), std::string::npos) << none.err;
        EXPECT_EQ(none.out, "") << c.args[0];
    }
    backend->Plug(KxRd4());
    backend->Plug(KxRd4());
    for (const Case& c : DeviceCommands()) {
        const CliResult several = Tool(c.args);
        EXPECT_EQ(several.status, Cli::SeveralDevices) << c.args[0] << ": " << several.err;
        EXPECT_NE(several.err.find("2 KX-RD4 controllers are connected; choose one with --device"),
                  std::string::npos)
            << several.err;
        std::vector<std::string> named = c.args;
        named.insert(named.end(), {"--device", "nothing-such"});
        EXPECT_EQ(Tool(named).status, Cli::NoDevice) << c.args[0];
    }
}

TEST_F(CliScripting, TheEmulatorAnswersEveryDeviceCommandInEnglish) {
    for (const Case& c : DeviceCommands()) {
        std::vector<std::string> args = c.args;
        args.push_back("--emulator");
        const CliResult r = Tool(args);
        EXPECT_EQ(r.status, c.emulated) << c.args[0] << ": " << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << c.args[0] << ": " << r.out;
        EXPECT_TRUE(Ascii(r.out) && Ascii(r.err)) << c.args[0] << ": " << r.out << r.err;
    }
    // (move: ENABLE is off at power-on, so the axis stays; the reason is named.)
    const CliResult move = Tool({"--emulator", "move", "5", "--wait"});
    EXPECT_NE(move.err.find("did not carry out the move (is ENABLE on"), std::string::npos);

    const std::string help = Tool({"--help"}).out;
    const auto codes = help.find("Exit status:\n");
    ASSERT_NE(codes, std::string::npos);
    for (const char* code : {"\n  0  done", "\n  1  failed", "\n  2  usage error",
                             "\n  3  no KX-RD4", "\n  4  several KX-RD4s"}) {
        EXPECT_NE(help.find(code, codes), std::string::npos) << code;
    }
}

} // namespace
