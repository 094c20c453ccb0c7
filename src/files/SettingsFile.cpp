#include "SettingsFile.h"

#include <SimpleIni.h>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "FileAccess.h"

namespace {

// A settings file larger than this is treated as unreadable (and never
// rewritten): config.ini holds four short keys.
constexpr std::size_t MaxSettingsFileBytes = 16 * 1024 * 1024;

constexpr std::string_view Utf8Signature = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Section and key names compare without regard to ASCII case, as the reader does.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Values are single lines: a value is stored up to its first line break.
std::string SingleLine(const std::string& value) {
    return value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
}

// At most `limit` UTF-8 characters; a character is never split.
std::string CutToCharacters(const std::string& text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && ++characters > limit) {
            return text.substr(0, i);
        }
    }
    return text;
}

// ---- The reader: SimpleIni over the whole text ----------------------------

std::optional<std::string> ValueInText(const std::string& text, const std::string& section,
                                       const std::string& key) {
    // UTF-8 store, duplicate keys kept (the first one counts), no multi-line values.
    CSimpleIniA ini(true, true, false);
    if (ini.LoadData(text) < 0) {
        return std::nullopt;
    }
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// ---- The writer: changes one line and keeps every other byte --------------
//
// SimpleIni rebuilds the whole file when it saves and drops what it cannot
// parse (stray text, broken section lines, duplicate keys, the original line
// ends). A hand-edited config.ini must survive a write unchanged apart from the
// one key, so writes patch the text line by line, locating sections and keys by
// the same rules as the reader.

struct TextLine {
    std::size_t begin; // first byte of the content
    std::size_t end;   // one past the content (the line end starts here)
    std::size_t next;  // first byte of the following line
};

// The lines the reader sees: it stops at the first zero byte.
std::size_t VisibleEnd(const std::string& text) {
    return std::min(text.find('\0'), text.size());
}

std::vector<TextLine> SplitLines(const std::string& text) {
    std::vector<TextLine> lines;
    const std::size_t limit = VisibleEnd(text);
    std::size_t i = text.starts_with(Utf8Signature) ? Utf8Signature.size() : 0;
    while (i < limit) {
        const std::size_t end = std::min(text.find_first_of("\r\n", i), limit);
        if (end == limit) {
            lines.push_back({i, limit, limit});
            break;
        }
        const std::size_t next =
            (text[end] == '\r' && end + 1 < limit && text[end + 1] == '\n') ? end + 2 : end + 1;
        lines.push_back({i, end, next});
        i = next;
    }
    return lines;
}

enum class LineKind { Other, Section, BrokenSection, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name; // section or key name
};

std::string_view Content(const std::string& text, const TextLine& line) {
    return std::string_view(text).substr(line.begin, line.end - line.begin);
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Parses line i. A "[" followed by nothing but blanks continues on the next
// non-blank line, as the reader takes it; i then moves to that line.
ParsedLine ParseLine(const std::string& text, const std::vector<TextLine>& lines, std::size_t& i) {
    std::string_view rest = SkipBlanks(Content(text, lines[i]));
    if (rest.empty() || rest.front() == ';' || rest.front() == '#') {
        return {};
    }
    if (rest.front() == '[') {
        rest = SkipBlanks(rest.substr(1));
        while (rest.empty() && i + 1 < lines.size()) {
            rest = SkipBlanks(Content(text, lines[++i]));
        }
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) {
            // The reader then files the following keys under a section of a
            // garbled name, which is none of ours.
            return {LineKind::BrokenSection, {}};
        }
        return {LineKind::Section, Trim(rest.substr(0, close))};
    }
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return {};
    }
    return {LineKind::Key, Trim(rest.substr(0, equals))};
}

std::string_view LineEndOf(const std::string& text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string::npos) {
        return FileAccess::NativeLineEnd();
    }
    if (text[end] == '\r') {
        return (end + 1 < text.size() && text[end + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\n";
}

std::string WithKey(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value) {
    const std::string entry = key + "=" + value;
    const std::string_view lineEnd = LineEndOf(text);
    const std::vector<TextLine> lines = SplitLines(text);

    bool inSection = false;
    bool inFirstBlock = false;
    std::optional<std::size_t> insertAfter; // last key line (or header) of the first block
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(text, lines, i);
        const TextLine& line = lines[i];
        switch (parsed.kind) {
        case LineKind::Section:
        case LineKind::BrokenSection:
            inSection = parsed.kind == LineKind::Section && SameName(parsed.name, section);
            inFirstBlock = inSection && !insertAfter;
            if (inFirstBlock) {
                insertAfter = i;
            }
            break;
        case LineKind::Key:
            if (inSection && SameName(parsed.name, key)) {
                // The first occurrence is the one the reader sees: replace it.
                return text.substr(0, line.begin) + entry + text.substr(line.end);
            }
            if (inFirstBlock) {
                insertAfter = i;
            }
            break;
        case LineKind::Other:
            break;
        }
    }

    if (insertAfter) {
        const TextLine& line = lines[*insertAfter];
        if (line.next == line.end) { // the last visible line, without a line end
            return text.substr(0, line.end) + std::string(lineEnd) + entry + text.substr(line.end);
        }
        return text.substr(0, line.next) + entry + std::string(lineEnd) + text.substr(line.next);
    }

    // A new section goes after the last line the reader sees.
    const std::size_t end = VisibleEnd(text);
    std::string result = text.substr(0, end);
    const bool hasContent = !lines.empty();
    if (hasContent && lines.back().next == lines.back().end) {
        result += lineEnd;
    }
    if (hasContent) {
        result += lineEnd;
    }
    result += "[" + section + "]" + std::string(lineEnd) + entry + std::string(lineEnd);
    return result + text.substr(end);
}

[[noreturn]] void ThrowUnableToWrite(const std::string& path) {
    throw std::runtime_error("Unable to write to " + path);
}

} // namespace

std::string SettingsPath(const std::string& directory) {
    return FileAccess::JoinPath(directory, "config.ini");
}

bool SettingsFile::Exists() const {
    return FileAccess::IsRegularFile(path_);
}

bool SettingsFile::CreateIfMissing() {
    if (Exists()) {
        return false;
    }
    WriteBool(OptionsSection, AutoLoadKey, DefaultAutoLoad);
    WriteString(OptionsSection, AutoLoadFileKey, DefaultAutoLoadFile);
    WriteInteger(ScreenSection, ScreenLeftKey, DefaultScreenLeft);
    WriteInteger(ScreenSection, ScreenTopKey, DefaultScreenTop);
    return true;
}

bool SettingsFile::ReadAutoLoad() const {
    return ReadBool(OptionsSection, AutoLoadKey, DefaultAutoLoad);
}

std::string SettingsFile::ReadAutoLoadFile() const {
    return ReadString(OptionsSection, AutoLoadFileKey, DefaultAutoLoadFile);
}

int SettingsFile::ReadScreenLeft() const {
    return ReadInteger(ScreenSection, ScreenLeftKey, DefaultScreenLeft);
}

int SettingsFile::ReadScreenTop() const {
    return ReadInteger(ScreenSection, ScreenTopKey, DefaultScreenTop);
}

int SettingsFile::ReadReplyTimeout() const {
    return std::clamp(ReadInteger(OptionsSection, ReplyTimeoutKey, DefaultReplyTimeout),
                      MinReplyTimeout, MaxReplyTimeout);
}

std::optional<std::string> SettingsFile::ReadLanguage() const {
    return RawValue(OptionsSection, LanguageKey);
}

void SettingsFile::WriteLanguage(const std::string& value) {
    WriteString(OptionsSection, LanguageKey, value);
}

void SettingsFile::WriteAutoLoad(bool value) {
    WriteBool(OptionsSection, AutoLoadKey, value);
}

void SettingsFile::WriteAutoLoadFile(const std::string& value) {
    WriteString(OptionsSection, AutoLoadFileKey, value);
}

void SettingsFile::WriteScreenLeft(int value) {
    WriteInteger(ScreenSection, ScreenLeftKey, value);
}

void SettingsFile::WriteScreenTop(int value) {
    WriteInteger(ScreenSection, ScreenTopKey, value);
}

std::optional<std::string> SettingsFile::RawValue(const std::string& section,
                                                  const std::string& key) const {
    std::string text;
    if (FileAccess::ReadWhole(path_, MaxSettingsFileBytes, text) != FileAccess::ReadStatus::Ok) {
        return std::nullopt;
    }
    return ValueInText(text, section, key);
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key,
                              int defaultValue) const {
    const std::optional<std::string> text = RawValue(section, key);
    if (!text) {
        return defaultValue;
    }
    return ParseInteger(CutToCharacters(*text, MaxTextLength)).value_or(defaultValue);
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key,
                            bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
    const std::optional<std::string> text = RawValue(section, key);
    return text ? CutToCharacters(*text, MaxTextLength) : defaultValue;
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
    std::string text;
    switch (FileAccess::ReadWhole(path_, MaxSettingsFileBytes, text)) {
    case FileAccess::ReadStatus::Ok:
        break;
    case FileAccess::ReadStatus::Missing:
        text.clear();
        break;
    case FileAccess::ReadStatus::Failed:
        // Never replace a file whose content could not be read.
        ThrowUnableToWrite(path_);
    }
    const std::string stored = SingleLine(value);
    const std::string updated = WithKey(text, section, key, stored);
    // The reader must find exactly this value; a file so garbled that it would
    // not is left alone rather than rewritten.
    if (ValueInText(updated, section, key) != std::string(Trim(stored))) {
        ThrowUnableToWrite(path_);
    }
    if (!FileAccess::WriteAtomically(path_, updated.data(), updated.size())) {
        ThrowUnableToWrite(path_);
    }
}

std::optional<int> SettingsFile::ParseInteger(const std::string& text) {
    const bool hex = text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::size_t i = hex ? 2 : 0;
    bool negative = false;
    if (!hex && i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    const long long base = hex ? 16 : 10;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
