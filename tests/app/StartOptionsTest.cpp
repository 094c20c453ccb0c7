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
        {{"--demo", "--verbose"}, A::Error, true, "unknown option '--verbose'"},
        {{"-demo"}, A::Error, false, "unknown option '-demo'"},
        {{"--Demo"}, A::Error, false, "unknown option '--Demo'"},
        {{"program.kxp"}, A::Error, false, "unexpected argument 'program.kxp'"},
        {{""}, A::Error, false, "unexpected argument ''"},
        // An error wins over a help asked for later.
        {{"--x", "--help"}, A::Error, false, "unknown option '--x'"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args)
            joined += "[" + a + "]";
        const StartOptions options = StartOptions::Parse(c.args);
        EXPECT_EQ(options.action, c.action) << joined;
        EXPECT_EQ(options.demo, c.demo) << joined;
        EXPECT_EQ(options.error, c.error) << joined;
    }
}

TEST(StartOptions, UsageNamesEveryOption) {
    const std::string usage = StartOptions::Usage();
    EXPECT_EQ(usage.rfind("usage: kxrd4-pc", 0), 0u);
    for (const char* option : {"--demo", "--help", "-h"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
