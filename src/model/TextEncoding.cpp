#include "TextEncoding.h"

#include <cstdint>

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool Utf16ToUtf8(std::string_view units, bool bigEndian, std::string& out, std::string& error) {
    if (units.size() % 2 != 0) {
        error = "odd number of bytes in UTF-16 text";
        return false;
    }
    auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<std::uint8_t>(units[i]);
        const auto b = static_cast<std::uint8_t>(units[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); i += 2) {
        std::uint32_t code = unitAt(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < units.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            // +2: the byte order mark, which the caller has taken off.
            error = "unpaired surrogate in UTF-16 text at byte " + std::to_string(i + 2);
            return false;
        }
        AppendUtf8(code, out);
    }
    return true;
}

} // namespace

TextEncoding::Kind TextEncoding::Detect(std::string_view bytes) {
    if (bytes.starts_with(Utf8Mark)) {
        return Kind::Utf8Bom;
    }
    if (bytes.starts_with(Utf16LeMark)) {
        return Kind::Utf16Le;
    }
    if (bytes.starts_with(Utf16BeMark)) {
        return Kind::Utf16Be;
    }
    return Kind::Plain;
}

bool TextEncoding::ToUtf8(std::string_view bytes, std::string& utf8, std::string& error) {
    std::string out;
    switch (Detect(bytes)) {
    case Kind::Plain:
        out.assign(bytes);
        break;
    case Kind::Utf8Bom:
        out.assign(bytes.substr(Utf8Mark.size()));
        break;
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        if (!Utf16ToUtf8(bytes.substr(2), Detect(bytes) == Kind::Utf16Be, out, error)) {
            return false;
        }
        break;
    }
    utf8 = std::move(out);
    return true;
}
