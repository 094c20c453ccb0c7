#pragma once
// JSON string literals for the command-line tool's machine-readable output.

#include <string>
#include <string_view>

class JsonText {
public:
    // text (UTF-8) as a quoted JSON string, control characters escaped.
    static std::string Quote(std::string_view text);
};
