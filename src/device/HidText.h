#pragma once
// Conversions of device strings between UTF-8 and UTF-16. Invalid sequences
// and unpaired surrogates become U+FFFD, so a text never breaks a caller.

#include <string>
#include <string_view>

class HidText {
public:
    static std::u16string Utf8ToUtf16(std::string_view text);
    static std::string Utf16ToUtf8(std::u16string_view text);
    // Appends the UTF-8 bytes of one code point (at most U+10FFFF).
    static void AppendUtf8(std::string& out, char32_t codePoint);
};
