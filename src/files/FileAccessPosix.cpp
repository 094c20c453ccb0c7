#include "FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileAccessPlatform.h"

namespace fs = std::filesystem;

namespace FileAccessPlatform {

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
            return false;
        }
    }
    if (fd < 0) {
        return false;
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
    return true;
}

long ProcessId() {
    return static_cast<long>(getpid());
}

fs::path PathFromUtf8(const std::string& path) {
    // Native paths are byte strings: UTF-8 passes unchanged, and so does any
    // name that is not valid UTF-8.
    return fs::path(path);
}

std::string PathToUtf8(const fs::path& path) {
    return path.string();
}

std::string ExecutableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string_view LineEnd() {
    return "\n";
}

bool IsSeparator(char c) {
    return c == '/';
}

char Separator() {
    return '/';
}

} // namespace FileAccessPlatform
