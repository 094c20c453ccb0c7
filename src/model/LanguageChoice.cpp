#include "LanguageChoice.h"

#include <cctype>

#include "TextTrim.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The language part of a tag or locale name: "en" of "en-US", "en_GB.UTF-8",
// "en@euro".
std::string LanguagePart(const std::string& name) {
    const std::string lower = Lower(name);
    return lower.substr(0, lower.find_first_of("-_.@"));
}

} // namespace

std::optional<Language> LanguageChoice::FromSetting(const std::string& value) {
    const std::string text = Lower(std::string(TextTrim::Both(value)));
    if (text == "pl")
        return Language::Polish;
    if (text == "en")
        return Language::English;
    return std::nullopt;
}

std::string LanguageChoice::SettingValue(Language language) {
    return language == Language::English ? "en" : "pl";
}

Language LanguageChoice::Choose(const std::optional<std::string>& setting,
                                const std::string& systemLanguage) {
    if (setting) {
        if (const auto chosen = FromSetting(*setting))
            return *chosen;
    }
    const std::string part = LanguagePart(std::string(TextTrim::Both(systemLanguage)));
    if (part.empty() || part == "c" || part == "posix" || part == "pl")
        return Language::Polish;
    return Language::English;
}
