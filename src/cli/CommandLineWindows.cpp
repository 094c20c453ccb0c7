#include "CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

// The console's output code page before the tool changed it; 0 when unchanged.
std::atomic<UINT> codePageBefore{0};

// The console is shared with the shell that started the tool: it gets its own
// code page back, so that the programs run after the tool show their text as
// before.
void RestoreConsoleCodePage() {
    const UINT before = codePageBefore.exchange(0);
    if (before != 0) {
        // What is still buffered is UTF-8 and goes out under UTF-8.
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        ::SetConsoleOutputCP(before);
    }
}

// Ctrl+Break and closing the console window end the tool without its exit
// handlers; the code page goes back first. Ctrl+C is left to the tool, which
// stops its work and ends normally.
// (Called on a thread of its own: the streams are not touched.)
BOOL WINAPI OnConsoleEnd(DWORD event) {
    const UINT before = codePageBefore;
    if (event != CTRL_C_EVENT && before != 0) {
        ::SetConsoleOutputCP(before);
    }
    return FALSE; // the next handler, finally the system's, goes on
}

std::string ToUtf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

} // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // argv holds the arguments in the system's 8-bit code page, which loses
    // letters it lacks; the wide command line keeps them all.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(ToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

void UseUtf8Console() {
    const UINT current = ::GetConsoleOutputCP(); // 0 without a console
    if (current == 0 || current == CP_UTF8 || codePageBefore != 0) {
        return;
    }
    if (::SetConsoleOutputCP(CP_UTF8)) {
        codePageBefore = current;
        std::atexit(RestoreConsoleCodePage);
        ::SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
    }
}
