#pragma once
// Decoding of the tool's Polish code page (Windows-1250) for the text log.

#include <cstddef>
#include <cstdint>
#include <string>

class Windows1250 {
public:
    // The bytes as UTF-8 text. Every byte gives one character; the five bytes
    // that the code page leaves unassigned (0x81, 0x83, 0x88, 0x90, 0x98) give
    // the control character of the same value, as the Windows conversion does.
    static std::string ToUtf8(const std::uint8_t* bytes, std::size_t size);
    // The Unicode code point of one byte.
    static char32_t CodePoint(std::uint8_t byte);
};
