#pragma once
// Where kxrd4-pc's own texts go beside the window: --help, --version, a bad
// command line and start-up warnings. ConsoleOutputPosix.cpp prints them;
// ConsoleOutputWindows.cpp, for a window program that has no console of its
// own, writes them where its standard output or error was redirected, else
// into the console of the program that started it (a command prompt), else
// (started from Explorer or a shortcut) shows them in a message box.

#include <string>

class ConsoleOutput {
public:
    enum class Kind {
        Information, // standard output; a box with the information icon
        Warning,     // standard error; the warning icon
        Error        // standard error; the error icon
    };

    // text: UTF-8 with "\n" line ends.
    static void Show(Kind kind, const std::string& text);
};
