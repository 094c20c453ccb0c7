// Where config.ini goes: the decision from given facts, as a table.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "SettingsLocation.h"

namespace {

struct Case {
    const char* name;
    bool writable;
    std::optional<std::string> xdg;
    std::optional<std::string> home;
    SettingsLocation::Choice expected;
};

const SettingsLocation::Choice Beside{"/usr/bin/config.ini", ""};
const SettingsLocation::Choice InXdg{"/x/cfg/kxrd4-pc/config.ini", "/x/cfg/kxrd4-pc"};
const SettingsLocation::Choice InHome{"/home/ola/.config/kxrd4-pc/config.ini",
                                      "/home/ola/.config/kxrd4-pc"};

TEST(SettingsLocationTest, ChoiceFromTheFacts) {
    const Case cases[] = {
        {"writable folder wins over XDG", true, "/x/cfg", "/home/ola", Beside},
        {"writable folder, no home", true, std::nullopt, std::nullopt, Beside},
        {"XDG_CONFIG_HOME set", false, "/x/cfg", "/home/ola", InXdg},
        {"XDG_CONFIG_HOME with trailing slashes", false, "/x/cfg//", "/home/ola", InXdg},
        {"XDG_CONFIG_HOME without HOME", false, "/x/cfg", std::nullopt, InXdg},
        {"XDG_CONFIG_HOME unset", false, std::nullopt, "/home/ola", InHome},
        {"XDG_CONFIG_HOME empty", false, "", "/home/ola/", InHome},
        {"XDG_CONFIG_HOME relative", false, "cfg", "/home/ola", InHome},
        {"XDG_CONFIG_HOME is the root",
         false,
         "/",
         "/home/ola",
         {"/kxrd4-pc/config.ini", "/kxrd4-pc"}},
        {"HOME missing", false, std::nullopt, std::nullopt, Beside},
        {"HOME relative, XDG relative", false, "cfg", "ola", Beside},
        {"HOME empty", false, "", "", Beside},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SettingsLocation::Choose({"/usr/bin", c.writable, c.xdg, c.home}), c.expected);
    }
}

} // namespace
