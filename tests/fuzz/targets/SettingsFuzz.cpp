// Any bytes as config.ini: every key reads without harm, and writing one key
// keeps every other byte of the file. Input: byte 0 picks the key, byte 1 the
// length of the value that follows; the rest is the file.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <strings.h>
#include <unistd.h>

#include "FuzzTargets.h"
#include "SettingsFile.h"

namespace {

struct Key {
    const char* section;
    const char* key;
};

constexpr Key Keys[] = {
    {"Options", "AutoLoad"},        {"Options", "AutoLoadFile"}, {"Screen", "ScreenLeft"},
    {"Screen", "ScreenTop"},        {"screen", "SCREENLEFT"},    {"Other", "AutoLoad"},
    {"Options", "Key with blanks"}, {"Zażółć", "gęślą"},
};
constexpr std::size_t KeyCount = sizeof Keys / sizeof Keys[0];

std::string Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Trimmed(std::string text) {
    text = text.substr(0, text.find_first_of(std::string("\r\n\0", 3)));
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.erase(text.begin());
    }
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    return text;
}

} // namespace

int FuzzSettings(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static const FuzzScratchFolder folder("ini");
    static const std::string path = folder.File("config.ini");
    const Key& chosen = Keys[data[0] % KeyCount];
    const std::size_t valueLength = std::min<std::size_t>(data[1], size - 2);
    const std::string value(reinterpret_cast<const char*>(data) + 2, valueLength);
    const std::string text(reinterpret_cast<const char*>(data) + 2 + valueLength,
                           size - 2 - valueLength);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    SettingsFile file(path);
    std::string before[KeyCount];
    for (std::size_t k = 0; k < KeyCount; ++k) {
        before[k] = file.ReadString(Keys[k].section, Keys[k].key, "\x01missing");
        FUZZ_CHECK(before[k].size() <= 4 * SettingsFile::MaxTextLength);
        (void)file.ReadInteger(Keys[k].section, Keys[k].key, 10);
    }

    bool written = true;
    try {
        file.WriteString(chosen.section, chosen.key, value);
    } catch (const std::runtime_error&) {
        written = false;
    }
    const std::string after = Load(path);
    if (!written) {
        FUZZ_CHECK(after == text); // a refused write leaves the file alone
        return 0;
    }

    // The key reads back as written (one line, blanks around it dropped).
    const std::string expected = Trimmed(value);
    if (expected.size() <= SettingsFile::MaxTextLength) {
        FUZZ_CHECK(file.ReadString(chosen.section, chosen.key, "\x01missing") == expected);
    }

    // Every other byte is kept: what was taken out of the old text is at most
    // the rest of one line, and what was put in is the entry with line ends and
    // perhaps a section header.
    std::size_t prefix = 0;
    while (prefix < text.size() && prefix < after.size() && text[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < after.size() - prefix &&
           text[text.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string removed = text.substr(prefix, text.size() - prefix - suffix);
    FUZZ_CHECK(removed.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(after.size() - prefix - suffix <= removed.size() + value.size() + 64 +
                                                     std::string(chosen.key).size() +
                                                     std::string(chosen.section).size());

    // Other keys read as before, unless they are the same key under the
    // reader's case-blind names.
    for (std::size_t k = 0; k < KeyCount; ++k) {
        const bool sameKey = strcasecmp(Keys[k].section, chosen.section) == 0 &&
                             strcasecmp(Keys[k].key, chosen.key) == 0;
        if (!sameKey) {
            FUZZ_CHECK(file.ReadString(Keys[k].section, Keys[k].key, "\x01missing") == before[k]);
        }
    }
    return 0;
}
