#pragma once
// Blanks around a line of text as the text forms read it: blanks and tabs on
// both sides, and a carriage return at the end (a file with Windows line ends).

#include <string_view>

class TextTrim {
public:
    static std::string_view Right(std::string_view text);
    static std::string_view Both(std::string_view text);
};
