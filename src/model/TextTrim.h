#pragma once
// Blanks around a line of text as the text forms read it: blanks and tabs on
// both sides, and a carriage return at the end (a file with Windows line ends);
// and the words between them.

#include <string_view>
#include <vector>

class TextTrim {
public:
    static std::string_view Right(std::string_view text);
    static std::string_view Both(std::string_view text);
    // The blank- and tab-separated words of a text, in order.
    static std::vector<std::string_view> Words(std::string_view text);
};
