#pragma once
// Text files as editors and shells on Windows save them: UTF-8 with or
// without a byte order mark (Notepad writes one), or UTF-16 with one, little
// endian (PowerShell 5.1's "> file") or big endian. Everything is turned into
// UTF-8 without the mark; text without a mark is taken as it is.

#include <string>
#include <string_view>

class TextEncoding {
public:
    enum class Kind { Plain, Utf8Bom, Utf16Le, Utf16Be };

    // What the first bytes say.
    static Kind Detect(std::string_view bytes);

    // The text as UTF-8 without a byte order mark. False, with an English
    // reason ("odd number of bytes ..."), for UTF-16 that does not decode and
    // for bytes without a mark that are no text: UTF-16 without its mark
    // (every other byte zero) or binary data (a zero or control byte); utf8
    // is then left unchanged.
    static bool ToUtf8(std::string_view bytes, std::string& utf8, std::string& error);
};
