// Holds a file open without sharing for a while, as a virus scanner or a
// search indexer does just after a file was written:
//   file_holder PATH MILLISECONDS
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

int main() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (args == nullptr || count != 3) {
        return 2;
    }
    // The test looks in now and then to see whether the file is held yet.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 1000 && file == INVALID_HANDLE_VALUE; ++i) {
        file = ::CreateFileW(args[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            ::Sleep(1);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ::Sleep(static_cast<DWORD>(std::wcstoul(args[2], nullptr, 10)));
    ::CloseHandle(file);
    return 0;
}
