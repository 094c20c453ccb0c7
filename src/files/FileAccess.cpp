#include "FileAccess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <cstdio>
#include <io.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> temporaryCounter{0};

// The name of a fresh temporary file beside the target: hidden, and short
// enough for the file system even when the target's name is long.
std::string TemporaryPrefixFor(const fs::path& target) {
    std::string base = target.filename().string();
    if (base.size() > 100) {
        base.resize(100);
    }
    return "." + base + ".tmp";
}

fs::path TemporaryPathFor(const fs::path& target, unsigned attempt) {
#ifdef _WIN32
    const long pid = 0;
#else
    const long pid = static_cast<long>(getpid());
#endif
    const std::string name = TemporaryPrefixFor(target) + std::to_string(pid) + "-" +
                             std::to_string(temporaryCounter.fetch_add(1)) + "-" +
                             std::to_string(attempt);
    return target.parent_path() / fs::path(name);
}

// The process id in the name of one of our temporary files for target
// (prefix, then digits "-" digits "-" digits), or -1 for any other name.
[[maybe_unused]] long TemporaryOwner(const std::string& name, const std::string& prefix) {
    if (!name.starts_with(prefix)) {
        return -1;
    }
    long owner = -1;
    int numbers = 0;
    std::size_t i = prefix.size();
    while (numbers < 3) {
        const std::size_t start = i;
        long value = 0;
        while (i < name.size() && name[i] >= '0' && name[i] <= '9' && i - start < 18) {
            value = value * 10 + (name[i] - '0');
            ++i;
        }
        if (i == start) {
            return -1;
        }
        if (numbers++ == 0) {
            owner = value;
        }
        if (numbers < 3) {
            if (i >= name.size() || name[i] != '-') {
                return -1;
            }
            ++i;
        }
    }
    return i == name.size() ? owner : -1;
}

// The file that a write to `path` must replace: the target of a symbolic
// link, or the path itself.
fs::path ResolveTarget(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        const fs::path resolved = fs::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

#ifndef _WIN32

FileAccess::ReadStatus ReadFromRegularFile(const fs::path& path, std::size_t maxBytes,
                                           std::string& out, bool refuseLarger) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? FileAccess::ReadStatus::Missing
                                                     : FileAccess::ReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        (refuseLarger && static_cast<std::uintmax_t>(info.st_size) > maxBytes)) {
        ::close(fd);
        return FileAccess::ReadStatus::Failed;
    }
    out.clear();
    char buffer[8192];
    while (out.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - out.size());
        const ssize_t got = ::read(fd, buffer, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            return FileAccess::ReadStatus::Failed;
        }
        if (got == 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    if (refuseLarger && out.size() == maxBytes) {
        // The file grew while being read; one more byte means it is too large.
        char extra;
        ssize_t got;
        do {
            got = ::read(fd, &extra, 1);
        } while (got < 0 && errno == EINTR);
        if (got != 0) {
            ::close(fd);
            return FileAccess::ReadStatus::Failed;
        }
    }
    ::close(fd);
    return FileAccess::ReadStatus::Ok;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename itself has already succeeded
        ::close(fd);
    }
}

// Overwrites the file itself: the bytes, then the length cut to them, then a
// flush to the disk. Used only where no temporary file can be made.
bool WriteInPlace(const fs::path& target, const void* data, std::size_t size) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ok = ok && WriteAll(fd, static_cast<const std::uint8_t*>(data), size);
    ok = ok && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ok = ok && ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

// Removes temporary files of earlier saves of target that were killed before
// their rename: only names of our own pattern whose process has ended, so a
// save running at the same time in another process keeps its file.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string prefix = TemporaryPrefixFor(target);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        const long owner = TemporaryOwner(name, prefix);
        if (owner <= 0 || owner == static_cast<long>(getpid())) {
            continue;
        }
        if (::kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH) {
            ::unlink(entries->path().c_str());
        }
    }
}

bool WriteReplacing(const fs::path& target, const void* data, std::size_t size) {
    if (target.filename().empty()) {
        return false;
    }
    struct stat targetInfo {};
    const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
    if (targetExists && S_ISDIR(targetInfo.st_mode)) {
        return false;
    }
    // A file the user may not write (read-only) is not replaced behind its back.
    if (targetExists && ::access(target.c_str(), W_OK) != 0) {
        return false;
    }

    fs::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryPathFor(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        // The folder takes no new file (no write permission on it) while the
        // file itself may be writable: write it in place, as a plain save would.
        const bool folderClosed = errno == EACCES || errno == EPERM;
        return folderClosed && WriteInPlace(target, data, size);
    }

    bool ok = true;
    if (targetExists && S_ISREG(targetInfo.st_mode)) {
        ok = ::fchmod(fd, targetInfo.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, static_cast<const std::uint8_t*>(data), size);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    RemoveStaleTemporaries(target);
    return true;
}

#else // _WIN32

FileAccess::ReadStatus ReadFromRegularFile(const fs::path& path, std::size_t maxBytes,
                                           std::string& out, bool refuseLarger) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        return FileAccess::ReadStatus::Missing;
    }
    if (!fs::is_regular_file(status)) {
        return FileAccess::ReadStatus::Failed;
    }
    std::FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) {
        return FileAccess::ReadStatus::Failed;
    }
    out.clear();
    char buffer[8192];
    bool failed = false;
    while (out.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - out.size());
        const std::size_t got = std::fread(buffer, 1, wanted, file);
        out.append(buffer, got);
        if (got < wanted) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    if (!failed && refuseLarger && out.size() == maxBytes && std::fgetc(file) != EOF) {
        failed = true;
    }
    std::fclose(file);
    return failed ? FileAccess::ReadStatus::Failed : FileAccess::ReadStatus::Ok;
}

bool WriteReplacing(const fs::path& target, const void* data, std::size_t size) {
    std::error_code error;
    if (target.filename().empty() || fs::is_directory(target, error)) {
        return false;
    }
    // A read-only file is not replaced behind the user's back.
    const fs::file_status targetStatus = fs::status(target, error);
    if (fs::exists(targetStatus) &&
        (targetStatus.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return false;
    }
    const fs::path temporary = TemporaryPathFor(target, 0);
    std::FILE* file = ::_wfopen(temporary.c_str(), L"wbx");
    if (!file) {
        return false;
    }
    bool ok = std::fwrite(data, 1, size, file) == size;
    ok = ok && std::fflush(file) == 0;
    ok = ok && ::_commit(::_fileno(file)) == 0;
    ok = (std::fclose(file) == 0) && ok;
    if (ok) {
        fs::rename(temporary, target, error);
        ok = !error;
    }
    if (!ok) {
        fs::remove(temporary, error);
    }
    return ok;
}

#endif

} // namespace

fs::path FileAccess::PathFromUtf8(const std::string& path) {
#ifdef _WIN32
    return fs::path(std::u8string(path.begin(), path.end()));
#else
    // Native paths are byte strings: UTF-8 passes unchanged, and so does any
    // name that is not valid UTF-8.
    return fs::path(path);
#endif
}

bool FileAccess::IsRegularFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(PathFromUtf8(path), error);
}

FileAccess::ReadStatus FileAccess::ReadPrefix(const std::string& path, std::size_t maxBytes,
                                              std::vector<std::uint8_t>& bytes) {
    if (path.empty()) {
        return ReadStatus::Missing;
    }
    std::string text;
    const ReadStatus status = ReadFromRegularFile(PathFromUtf8(path), maxBytes, text, false);
    if (status == ReadStatus::Ok) {
        bytes.assign(text.begin(), text.end());
    }
    return status;
}

FileAccess::ReadStatus FileAccess::ReadWhole(const std::string& path, std::size_t maxBytes,
                                             std::string& text) {
    if (path.empty()) {
        return ReadStatus::Missing;
    }
    std::string content;
    const ReadStatus status = ReadFromRegularFile(PathFromUtf8(path), maxBytes, content, true);
    if (status == ReadStatus::Ok) {
        text = std::move(content);
    }
    return status;
}

bool FileAccess::WriteAtomically(const std::string& path, const void* data, std::size_t size) {
    if (path.empty()) {
        return false;
    }
    return WriteReplacing(ResolveTarget(PathFromUtf8(path)), data, size);
}
