#include "DeviceLock.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Kernel object names take no backslashes and are case-sensitive, while
// device paths are not: the lowercase path's FNV-1a hash names the objects.
// The mutex is in the global namespace (every session of the machine); the
// holder's name in the session's own, where a user may create memory blocks.
std::wstring ObjectName(const std::string& path, const wchar_t* what) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : path) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        hash = (hash ^ static_cast<unsigned char>(lower)) * 1099511628211ull;
    }
    wchar_t hex[17];
    for (int i = 0; i < 16; ++i) {
        hex[i] = L"0123456789abcdef"[(hash >> (60 - 4 * i)) & 0xF];
    }
    hex[16] = 0;
    return std::wstring(*what == 0 ? L"Global\\" : L"Local\\") + L"kxrd4-pc-device-" + hex + what;
}

constexpr DWORD HolderBytes = 512;

std::string ProgramName() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring wide(path, n);
    const std::size_t slash = wide.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        wide = wide.substr(slash + 1);
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), utf8.data(),
                              size, nullptr, nullptr);
    }
    return utf8;
}

class MutexHold : public DeviceLock {
public:
    MutexHold(HANDLE mutex, HANDLE holder) : mutex_(mutex), holder_(holder) {}
    ~MutexHold() override {
        if (holder_ != nullptr) {
            ::CloseHandle(holder_);
        }
        ::ReleaseMutex(mutex_);
        ::CloseHandle(mutex_);
    }

private:
    HANDLE mutex_;
    HANDLE holder_;
};

// The holder's name into a named memory block that lives while it is open.
HANDLE PublishHolder(const std::string& path) {
    HANDLE block = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        HolderBytes, ObjectName(path, L"-holder").c_str());
    if (block == nullptr) {
        return nullptr;
    }
    if (void* view = ::MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, HolderBytes)) {
        const std::string name =
            DeviceLock::HolderName(ProgramName(), static_cast<long>(::GetCurrentProcessId()));
        std::memset(view, 0, HolderBytes);
        std::memcpy(view, name.data(), std::min<std::size_t>(name.size(), HolderBytes - 1));
        ::UnmapViewOfFile(view);
    }
    return block;
}

std::string ReadHolder(const std::string& path) {
    HANDLE block = ::OpenFileMappingW(FILE_MAP_READ, FALSE, ObjectName(path, L"-holder").c_str());
    if (block == nullptr) {
        return {};
    }
    std::string name;
    if (const void* view = ::MapViewOfFile(block, FILE_MAP_READ, 0, 0, HolderBytes)) {
        const char* text = static_cast<const char*>(view);
        name.assign(text, strnlen(text, HolderBytes - 1));
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(block);
    return name;
}

} // namespace

std::unique_ptr<DeviceLock> DeviceLock::TrySystem(const std::string& path, std::string& holder) {
    holder.clear();
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, ObjectName(path, L"").c_str());
    if (mutex == nullptr) {
        return Nothing();
    }
    const DWORD waited = ::WaitForSingleObject(mutex, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        // An abandoned mutex: its holder ended without releasing it.
        return std::make_unique<MutexHold>(mutex, PublishHolder(path));
    }
    ::CloseHandle(mutex);
    if (waited != WAIT_TIMEOUT) {
        return Nothing();
    }
    holder = ReadHolder(path);
    return nullptr;
}
