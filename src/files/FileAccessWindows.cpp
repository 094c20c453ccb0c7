#include "FileAccess.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "FileAccessPlatform.h"

namespace fs = std::filesystem;

namespace {

// Closes a file handle when the scope ends.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const bool ok = !Valid() || ::CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

// Paths at or past MAX_PATH go to the system in their long form,
// "\\?\C:\..." or "\\?\UNC\server\share\...", to which no length limit
// applies (without the long-path manifest entry and the system's opt-in, the
// plain form fails there). The long form is not normalised by the system, so
// the full path is made first (a relative path, "." and "..", "/").
// room: characters the caller adds to the name (a temporary name beside it).
fs::path LongForm(const fs::path& path, std::size_t room) {
    const std::wstring& text = path.native();
    if (text.size() + room < MAX_PATH || text.starts_with(L"\\\\?\\") ||
        text.starts_with(L"\\\\.\\")) {
        return path;
    }
    const DWORD needed = ::GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    if (full.starts_with(L"\\\\")) {
        return fs::path(L"\\\\?\\UNC\\" + full.substr(2));
    }
    return fs::path(L"\\\\?\\" + full);
}

// Room for the temporary name that a save puts beside the target: "." + name +
// ".tmp" + "<process id>-<n>-<attempt>".
constexpr std::size_t TemporaryNameRoom = 32;

// Antivirus scanners, the search indexer and cloud sync clients open a file for
// a moment just after it was written; replacing it then fails with one of these.
bool HeldForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Tries of the replacement and the pause between them: about half a second.
constexpr int MoveTries = 6;
constexpr DWORD MoveRetryDelayMs = 100;

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Puts the flushed temporary file in the target's place. An existing target
// is replaced with ReplaceFileW, which keeps its attributes and security;
// otherwise (or if that fails) the temporary file is renamed over it.
bool MoveIntoPlace(const fs::path& temporary, const fs::path& target, bool targetExists) {
    if (targetExists && ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    return ::MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// True while another program holds the file open without letting it be
// replaced. Asked before ReplaceFileW, which would fail then anyway (and
// under Wine leaves a temporary file of its own behind when it does).
bool HeldByAnother(const fs::path& target) {
    const HANDLE probe = ::CreateFileW(target.c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    }
    ::CloseHandle(probe);
    return false;
}

// MoveIntoPlace, tried again for a while when another program holds the
// target or the fresh temporary file open.
bool MoveIntoPlaceRetrying(const fs::path& temporary, const fs::path& target, bool targetExists) {
    for (int attempt = 1;; ++attempt) {
        DWORD error = ERROR_SHARING_VIOLATION;
        if (!targetExists || !HeldByAnother(target)) {
            if (MoveIntoPlace(temporary, target, targetExists)) {
                return true;
            }
            error = ::GetLastError();
        }
        if (attempt >= MoveTries || !HeldForAMoment(error)) {
            return false;
        }
        ::Sleep(MoveRetryDelayMs);
    }
}

// The replaced file's hidden and system marks stay with the new content, also
// where the replacement did not carry them over (a rename, or ReplaceFileW
// under Wine). Best effort: the content is already in place.
void KeepAttributes(const fs::path& target, DWORD before) {
    constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = ::GetFileAttributesW(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & Kept) != (before & Kept)) {
        DWORD wanted = (now & ~Kept) | (before & Kept);
        wanted &=
            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY | Kept;
        ::SetFileAttributesW(target.c_str(), wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL);
    }
}

} // namespace

namespace FileAccessPlatform {

long ProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

fs::path PathFromUtf8(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

FileAccess::ReadStatus ReadFromRegularFile(const fs::path& path, std::size_t maxBytes,
                                           std::string& out, bool refuseLarger) {
    FileHandle file(::CreateFileW(LongForm(path, 0).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return IsMissing(::GetLastError()) ? FileAccess::ReadStatus::Missing
                                           : FileAccess::ReadStatus::Failed;
    }
    // Only files on a disk: no pipes, consoles or devices.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileAccess::ReadStatus::Failed;
    }
    const std::uint64_t fileSize =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (refuseLarger && fileSize > maxBytes) {
        return FileAccess::ReadStatus::Failed;
    }
    out.clear();
    char buffer[8192];
    while (out.size() < maxBytes) {
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, maxBytes - out.size()));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, wanted, &got, nullptr)) {
            return FileAccess::ReadStatus::Failed;
        }
        if (got == 0) {
            break;
        }
        out.append(buffer, got);
    }
    if (refuseLarger && out.size() == maxBytes) {
        // The file grew while being read; one more byte means it is too large.
        char extra;
        DWORD got = 0;
        if (!::ReadFile(file.Get(), &extra, 1, &got, nullptr) || got != 0) {
            return FileAccess::ReadStatus::Failed;
        }
    }
    return FileAccess::ReadStatus::Ok;
}

std::string OpenFailure(const fs::path& path) {
    FileHandle file(::CreateFileW(LongForm(path, 0).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = ::GetLastError();
    if (file.Valid()) {
        return {};
    }
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "permission denied: the user may not read it";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program holds it";
    default:
        return "it cannot be opened (Windows error " + std::to_string(error) + ")";
    }
}

bool WriteReplacing(const fs::path& path, const void* data, std::size_t size) {
    if (path.filename().empty()) {
        return false;
    }
    const fs::path target = LongForm(path, TemporaryNameRoom);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
    if (targetExists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    // A read-only file is not replaced behind the user's back.
    if (targetExists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }

    fs::path temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryPathFor(target, attempt);
        handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    FileHandle file(handle);
    if (!file.Valid()) {
        return false;
    }

    bool ok = WriteAll(file.Get(), static_cast<const std::uint8_t*>(data), size);
    ok = ok && ::FlushFileBuffers(file.Get()) != FALSE;
    ok = file.Close() && ok;
    ok = ok && MoveIntoPlaceRetrying(temporary, target, targetExists);
    if (!ok) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    if (targetExists) {
        KeepAttributes(target, attributes);
    }
    return true;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    const fs::path longForm = LongForm(path, 0);
    if (longForm == path) {
        return fs::is_regular_file(path, error);
    }
    const DWORD attributes = ::GetFileAttributesW(longForm.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return true;
    }
    // A link: what it names decides.
    FileHandle file(::CreateFileW(longForm.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file.Valid() && ::GetFileType(file.Get()) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(file.Get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ExecutableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return PathToUtf8(fs::path(std::wstring(buffer.data(), length)).parent_path());
        }
        if (buffer.size() >= 32768) {
            return {}; // longer than any path the system allows
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string_view LineEnd() {
    return "\r\n";
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char Separator() {
    return '\\';
}

} // namespace FileAccessPlatform
