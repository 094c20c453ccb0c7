// The window's language: config.ini's choice against the system's language.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "LanguageChoice.h"

namespace {

constexpr Language PL = Language::Polish;
constexpr Language EN = Language::English;

TEST(LanguageChoice, SettingAndSystemLanguageTable) {
    struct Case {
        std::optional<std::string> setting;
        std::string system;
        Language expected;
    };
    const Case cases[] = {
        // No choice: the system decides; C, POSIX and nothing count as no language.
        {std::nullopt, "en-US", EN},
        {std::nullopt, "en_GB.UTF-8", EN},
        {std::nullopt, "de-DE", EN},
        {std::nullopt, "fr", EN},
        {std::nullopt, "pl-PL", PL},
        {std::nullopt, "pl_PL.UTF-8", PL},
        {std::nullopt, "PL", PL},
        {std::nullopt, "C", PL},
        {std::nullopt, "C.UTF-8", PL},
        {std::nullopt, "POSIX", PL},
        {std::nullopt, "", PL},
        {std::nullopt, "  ", PL},
        // The choice overrides the system either way.
        {"pl", "en-US", PL},
        {"en", "pl-PL", EN},
        {"en", "C", EN},
        {" EN ", "", EN},
        {"Pl", "de-DE", PL},
        // Anything else stored is no choice.
        {"", "en-US", EN},
        {"english", "pl-PL", PL},
        {"de", "en-US", EN},
        {"de", "C", PL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageChoice::Choose(c.setting, c.system), c.expected)
            << "setting " << c.setting.value_or("(none)") << ", system \"" << c.system << "\"";
    }
}

TEST(LanguageChoice, SettingValuesReadBack) {
    for (const Language language : {PL, EN})
        EXPECT_EQ(LanguageChoice::FromSetting(LanguageChoice::SettingValue(language)), language);
    EXPECT_EQ(LanguageChoice::SettingValue(PL), "pl");
    EXPECT_EQ(LanguageChoice::SettingValue(EN), "en");
    EXPECT_EQ(LanguageChoice::FromSetting("plx"), std::nullopt);
}

} // namespace
