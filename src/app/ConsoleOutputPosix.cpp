#include "ConsoleOutput.h"

#include <cstdio>

void ConsoleOutput::Show(Kind kind, const std::string& text) {
    std::FILE* stream = kind == Kind::Information ? stdout : stderr;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}
