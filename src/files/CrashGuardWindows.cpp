// Windows: an unhandled-exception filter writes the record with WriteFile and
// FlushFileBuffers, then lets the system end the process as it would have.
#include <windows.h>

#include <atomic>
#include <string>

#include "CrashGuard.h"
#include "FileAccess.h"

namespace {

std::atomic<HANDLE> crashFile{INVALID_HANDLE_VALUE};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::wstring crashPath;
bool installed = false;

void WriteRecord() {
    const HANDLE file = crashFile.load();
    std::size_t size = 0;
    const char* data = CrashGuard::RecordData(size);
    if (file == INVALID_HANDLE_VALUE || data == nullptr ||
        SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return;
    }
    std::size_t done = 0;
    while (done < size) {
        DWORD written = 0;
        if (!WriteFile(file, data + done, static_cast<DWORD>(size - done), &written, nullptr) ||
            written == 0) {
            return;
        }
        done += written;
    }
    SetEndOfFile(file);
    FlushFileBuffers(file);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    WriteRecord();
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

bool CrashGuard::OpenAndInstall(const std::string& path) {
    CloseAndRemove();
    crashPath = FileAccess::PathFromUtf8(path).wstring();
    const HANDLE file =
        CreateFileW(crashPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    crashFile.store(file);
    previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
    installed = true;
    return file != INVALID_HANDLE_VALUE;
}

void CrashGuard::CloseAndRemove() {
    const HANDLE file = crashFile.exchange(INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        DeleteFileW(crashPath.c_str());
    }
    crashPath.clear();
    if (installed) {
        SetUnhandledExceptionFilter(previousFilter);
        installed = false;
    }
}
