// Windows: %LOCALAPPDATA%\kxrd4-pc; a process is this tool when it runs
// (OpenProcess, GetExitCodeProcess) an image of the same name as this one.
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "FileAccess.h"
#include "RecoveryFile.h"

std::string RecoveryFile::DataFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || local[0] == L'\0') {
        return {};
    }
    const std::filesystem::path folder = std::filesystem::path(local) / L"kxrd4-pc";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        return {};
    }
    return FileAccess::PathToUtf8(folder);
}

long RecoveryFile::CurrentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool RecoveryFile::ProcessRunning(long pid) {
    if (pid <= 0) {
        return false;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        // None, or another user's, which is not this user's tool.
        return false;
    }
    DWORD code = 0;
    bool running = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
    if (running) {
        // Another program that got the number is not this tool.
        auto nameOf = [](const wchar_t* path, DWORD size) {
            std::wstring name(path, size);
            name = name.substr(name.find_last_of(L"\\/") + 1);
            for (wchar_t& c : name) {
                c = static_cast<wchar_t>(towlower(c));
            }
            return name;
        };
        wchar_t image[MAX_PATH * 4];
        DWORD size = static_cast<DWORD>(std::size(image));
        wchar_t own[MAX_PATH * 4];
        const DWORD ownSize = GetModuleFileNameW(nullptr, own, static_cast<DWORD>(std::size(own)));
        if (QueryFullProcessImageNameW(process, 0, image, &size) && ownSize > 0) {
            running = nameOf(image, size) == nameOf(own, ownSize);
        }
    }
    CloseHandle(process);
    return running;
}
