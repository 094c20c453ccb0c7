#pragma once
// The language of the window: Polish or English. The operator's choice kept in
// the settings ("pl" or "en") wins; without one the system's user-interface
// language decides: English when it is set and is not Polish, Polish otherwise
// (also for the C and POSIX locales, which name no language).

#include <optional>
#include <string>

enum class Language { Polish, English };

class LanguageChoice {
public:
    // "pl" or "en" (any case, blanks around ignored); nothing for any other text.
    static std::optional<Language> FromSetting(const std::string& value);
    // The text kept in the settings: "pl" or "en".
    static std::string SettingValue(Language language);
    // setting: the stored text, if any; systemLanguage: the system's first
    // user-interface language as a BCP 47 tag or locale name ("en-US",
    // "pl_PL.UTF-8", "C", "" when none is set).
    static Language Choose(const std::optional<std::string>& setting,
                           const std::string& systemLanguage);
};
