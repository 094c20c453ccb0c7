// Windows: %LOCALAPPDATA%\kxrd4-pc; processes are looked for with
// OpenProcess and GetExitCodeProcess.
#include <windows.h>

#include <cwchar>
#include <filesystem>
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
        // A process of another user may run; one that does not exist cannot be opened.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}
