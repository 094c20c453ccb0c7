// kxrd4-sim's command line and its commands on standard input, against a
// plain emulator (the uhid device itself is exercised by the kernel test).

#include <gtest/gtest.h>

#include "SimulatorConsole.h"
#include "SimulatorOptions.h"

namespace {

TEST(SimulatorOptions, ParsesTheCommandLine) {
    struct Case {
        std::vector<std::string> args;
        bool verbose;
        bool help;
        const char* error;
        const char* serial = "";
    };
    const Case cases[] = {
        {{}, false, false, ""},
        {{"-v"}, true, false, ""},
        {{"--verbose", "--help"}, true, true, ""},
        {{"-h"}, false, true, ""},
        {{"-vv"}, false, false, "unknown option '-vv'"},
        {{"--demo"}, false, false, "unknown option '--demo'"},
        {{"status"}, false, false, "unexpected argument 'status'"},
        {{"--serial", "A-17", "-v"}, true, false, "", "A-17"},
        {{"--serial"}, false, false, "--serial needs a serial number of 1 to 63 characters"},
        {{"--serial", ""}, false, false, "--serial needs a serial number of 1 to 63 characters"},
        {{"--serial", std::string(64, 'x')},
         false,
         false,
         "--serial needs a serial number of 1 to 63 characters"},
    };
    for (const Case& c : cases) {
        const SimulatorOptions options = SimulatorOptions::Parse(c.args);
        const std::string name = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(options.verbose, c.verbose) << name;
        EXPECT_EQ(options.help, c.help) << name;
        EXPECT_EQ(options.error, c.error) << name;
        EXPECT_EQ(options.serial, c.error[0] == '\0' ? c.serial : "") << name;
    }
    EXPECT_TRUE(SimulatorOptions::Parse({"--version"}).version);
    // The imperfect axis.
    struct Imperfect {
        std::vector<std::string> args;
        EmulatedAxis::Imperfection axis;
        bool ok;
    };
    const Imperfect imperfect[] = {
        {{"--lag", "120"}, {120, 0}, true}, {{"--lose-steps", "5", "--lag", "0"}, {0, 5}, true},
        {{"--lag", "10001"}, {}, false},    {{"--lag", "-1"}, {}, false},
        {{"--lag", "1.5"}, {}, false},      {{"--lose-steps"}, {}, false},
    };
    for (const Imperfect& c : imperfect) {
        const SimulatorOptions options = SimulatorOptions::Parse(c.args);
        EXPECT_EQ(options.error.empty(), c.ok) << c.args[0] << " " << options.error;
        if (c.ok) {
            EXPECT_EQ(options.axis, c.axis) << c.args[0];
        }
    }
    EXPECT_NE(SimulatorOptions::Usage().find("/dev/uhid"), std::string::npos);
}

class Console : public ::testing::Test {
protected:
    ControllerEmulator emulator;
    SimulatorConsole console{
        [this](const std::function<void(ControllerEmulator&)>& f) { f(emulator); }};
};

TEST_F(Console, CommandsSetInputsReportStatusAndQuit) {
    struct Case {
        const char* line;
        const char* answer; // the start of the answer
        bool quit;
        bool input0;
        bool input1;
    };
    const Case cases[] = {
        {"", "", false, false, false},
        {"   ", "", false, false, false},
        {"in 0 on", "input 0 on", false, true, false},
        {"  in   1   on  ", "input 1 on", false, true, true},
        {"in 0 off\r", "input 0 off", false, false, true},
        {"in 2 on", "usage: in N on|off", false, false, true},
        {"in 1", "usage: in N on|off", false, false, true},
        {"in 1 ON", "usage: in N on|off", false, false, true},
        {"in 1 off extra", "usage: in N on|off", false, false, true},
        {"status",
         "position 0, velocity 0, ENABLE off, standing, no program running, "
         "inputs off/on, outputs off/off",
         false, false, true},
        {"status now", "usage: status", false, false, true},
        {"mute on", "muted: requests are not answered", false, false, true},
        {"mute", "usage: mute on|off", false, false, true},
        {"help", SimulatorConsole::Commands, false, false, true},
        {"jog 5", "unknown command 'jog'; commands:", false, false, true},
        {"quit", "", true, false, true},
    };
    for (const Case& c : cases) {
        const SimulatorConsole::Result result = console.Execute(c.line);
        EXPECT_EQ(result.text.rfind(c.answer, 0), 0u) << c.line << " -> " << result.text;
        EXPECT_EQ(result.quit, c.quit) << c.line;
        EXPECT_EQ(emulator.Input(0), c.input0) << c.line;
        EXPECT_EQ(emulator.Input(1), c.input1) << c.line;
    }
    // Muted by the console above: a request is neither acted on nor answered.
    const std::uint8_t enable[] = {1, 0x75};
    EXPECT_TRUE(emulator.HandleRequest(enable, sizeof enable, 10).empty());
    EXPECT_FALSE(emulator.Enabled());
    EXPECT_EQ(console.Execute("mute off").text, "answering again");
    EXPECT_EQ(emulator.HandleRequest(enable, sizeof enable, 20).size(), 1u);
    EXPECT_TRUE(emulator.Enabled());
}

} // namespace
