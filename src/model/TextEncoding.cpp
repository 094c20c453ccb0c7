#include "TextEncoding.h"

#include <algorithm>
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

namespace {

// Why bytes without a mark are no text; empty when they may be.
std::string NotText(std::string_view bytes) {
    std::size_t first = std::string_view::npos;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') {
            first = i;
            break;
        }
    }
    if (first == std::string_view::npos) {
        return {};
    }
    // UTF-16 of Latin text: a zero byte in every pair, on the same side.
    const std::size_t pairs = std::min<std::size_t>(bytes.size() / 2, 256);
    std::size_t zeroHigh = 0; // little endian: the second byte of each pair
    std::size_t zeroLow = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        zeroHigh += bytes[2 * i + 1] == '\0' && bytes[2 * i] != '\0' ? 1 : 0;
        zeroLow += bytes[2 * i] == '\0' && bytes[2 * i + 1] != '\0' ? 1 : 0;
    }
    if (pairs > 0 && std::max(zeroHigh, zeroLow) * 4 >= pairs * 3) {
        return std::string("the text is UTF-16 ") + (zeroHigh >= zeroLow ? "little" : "big") +
               " endian without a byte order mark; save it as UTF-8 (or as UTF-16 with the mark)";
    }
    return "holds binary data (byte " + std::to_string(first + 1) + " is a control byte), not text";
}

} // namespace

bool TextEncoding::ToUtf8(std::string_view bytes, std::string& utf8, std::string& error) {
    std::string out;
    switch (Detect(bytes)) {
    case Kind::Plain:
        if (std::string reason = NotText(bytes); !reason.empty()) {
            error = std::move(reason);
            return false;
        }
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
