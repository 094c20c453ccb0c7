// The command line of kxrd4-pc.

#include <gtest/gtest.h>

#include "StartOptions.h"

namespace {

struct Case {
    std::vector<std::string> args;
    StartOptions::Action action;
    bool demo;
    const char* error; // part of the message, or "" when none
};

TEST(StartOptions, ParsesTheCommandLine) {
    using A = StartOptions::Action;
    const Case cases[] = {
        {{}, A::Run, false, ""},
        {{"--demo"}, A::Run, true, ""},
        {{"--demo", "--demo"}, A::Run, true, ""},
        {{"--help"}, A::Help, false, ""},
        {{"-h", "--demo"}, A::Help, true, ""},
        {{"--version"}, A::Version, false, ""},
        // The help wins over the version, whichever comes first.
        {{"--version", "--help"}, A::Help, false, ""},
        {{"--help", "--version"}, A::Help, false, ""},
        {{"--demo", "--verbose"}, A::Error, true, "unknown option '--verbose'"},
        {{"-demo"}, A::Error, false, "unknown option '-demo'"},
        {{"--Demo"}, A::Error, false, "unknown option '--Demo'"},
        {{"program.kxp"}, A::Error, false, "unexpected argument 'program.kxp'"},
        {{""}, A::Error, false, "unexpected argument ''"},
        // An error wins over a help asked for later.
        {{"--x", "--help"}, A::Error, false, "unknown option '--x'"},
        // The imperfect demo axis implies the demo.
        {{"--demo-lag", "150"}, A::Run, true, ""},
        {{"--demo-lose-steps", "3", "--demo"}, A::Run, true, ""},
        {{"--demo-lag", "10001"},
         A::Error,
         false,
         "--demo-lag needs a whole number from 0 to 10000"},
        {{"--demo-lose-steps"}, A::Error, false, "--demo-lose-steps needs a whole number"},
        {{"--demo-lag", "5ms"}, A::Error, false, "--demo-lag needs a whole number"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args)
            joined += "[" + a + "]";
        const StartOptions options = StartOptions::Parse(c.args);
        EXPECT_EQ(options.action, c.action) << joined;
        EXPECT_EQ(options.demo, c.demo) << joined;
        EXPECT_EQ(options.error.substr(0, std::string(c.error).size()), c.error) << joined;
    }
}

TEST(StartOptions, ImperfectDemoAxisAmounts) {
    const StartOptions options =
        StartOptions::Parse({"--demo-lag", "150", "--demo-lose-steps", "4"});
    EXPECT_EQ(options.demoLagMs, 150);
    EXPECT_EQ(options.demoLostSteps, 4);
}

TEST(StartOptions, UsageNamesEveryOption) {
    const std::string usage = StartOptions::Usage();
    EXPECT_EQ(usage.rfind("usage: kxrd4-pc", 0), 0u);
    for (const char* option :
         {"--demo", "--demo-lag", "--demo-lose-steps", "--help", "-h", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
