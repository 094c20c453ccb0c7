#include "ConsoleOutput.h"

#include <windows.h>

namespace {

std::wstring Wide(const std::string& utf8) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                              size);
    }
    return wide;
}

std::string WithWindowsLineEnds(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A console shows the wide text whatever its code page; a file or a pipe gets
// the UTF-8 bytes.
bool WriteTo(HANDLE handle, const std::string& text) {
    const std::string lines = WithWindowsLineEnds(text);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Wide(lines);
        return ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                               nullptr) != FALSE;
    }
    return ::WriteFile(handle, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) !=
               FALSE &&
           written == lines.size();
}

// The console of the program that started this one (cmd.exe, PowerShell),
// attached once; INVALID_HANDLE_VALUE when there is none (Explorer).
HANDLE ParentConsole() {
    static const HANDLE console = [] {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
            return INVALID_HANDLE_VALUE;
        }
        return ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

} // namespace

void ConsoleOutput::Show(Kind kind, const std::string& text) {
    const HANDLE standard =
        ::GetStdHandle(kind == Kind::Information ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (Usable(standard) && WriteTo(standard, text)) {
        return;
    }
    const HANDLE console = ParentConsole();
    if (console != INVALID_HANDLE_VALUE && WriteTo(console, text)) {
        return;
    }
    const UINT icon = kind == Kind::Information ? MB_ICONINFORMATION
                      : kind == Kind::Warning   ? MB_ICONWARNING
                                                : MB_ICONERROR;
    ::MessageBoxW(nullptr, Wide(text).c_str(), L"KX-RD4 - PC", MB_OK | icon);
}
