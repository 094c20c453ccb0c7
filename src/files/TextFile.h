#pragma once
// A text file the tool writes for people and other programs (a listing): UTF-8
// without a byte order mark, with the system's line ends, replaced atomically.

#include <string>
#include <string_view>

class TextFile {
public:
    // text: UTF-8 with "\n" line ends. False when the file could not be
    // written; an existing file is then left as it was.
    static bool Write(const std::string& path, std::string_view text);
};
