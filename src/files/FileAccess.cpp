#include "FileAccess.h"

#include <atomic>
#include <system_error>

#include "FileAccessPlatform.h"

namespace fs = std::filesystem;

namespace {
std::atomic<unsigned> temporaryCounter{0};
} // namespace

namespace FileAccessPlatform {

// The name of a fresh temporary file beside the target: hidden, and short
// enough for the file system even when the target's name is long.
// Built from native names, so no letter of the target's name is lost in a
// conversion.
fs::path::string_type TemporaryPrefixFor(const fs::path& target) {
    fs::path::string_type base = target.filename().native();
    if (base.size() > 100) {
        base.resize(100);
    }
    fs::path::string_type prefix = fs::path(".").native();
    prefix += base;
    prefix += fs::path(".tmp").native();
    return prefix;
}

fs::path TemporaryPathFor(const fs::path& target, unsigned attempt) {
    const long pid = ProcessId();
    const std::string suffix = std::to_string(pid) + "-" +
                               std::to_string(temporaryCounter.fetch_add(1)) + "-" +
                               std::to_string(attempt);
    fs::path::string_type name = TemporaryPrefixFor(target);
    name += fs::path(suffix).native();
    return target.parent_path() / fs::path(name);
}

} // namespace FileAccessPlatform

namespace {

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

} // namespace

fs::path FileAccess::PathFromUtf8(const std::string& path) {
    return FileAccessPlatform::PathFromUtf8(path);
}

std::string FileAccess::PathToUtf8(const fs::path& path) {
    return FileAccessPlatform::PathToUtf8(path);
}

std::string FileAccess::ExecutableDirectory() {
    return FileAccessPlatform::ExecutableDirectory();
}

std::string_view FileAccess::NativeLineEnd() {
    return FileAccessPlatform::LineEnd();
}

std::string FileAccess::JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) {
        return name;
    }
    const bool separated = FileAccessPlatform::IsSeparator(directory.back());
    return separated ? directory + name : directory + FileAccessPlatform::Separator() + name;
}

bool FileAccess::IsRegularFile(const std::string& path) {
    return !path.empty() && FileAccessPlatform::IsRegularFile(PathFromUtf8(path));
}

FileAccess::ReadStatus FileAccess::ReadPrefix(const std::string& path, std::size_t maxBytes,
                                              std::vector<std::uint8_t>& bytes) {
    if (path.empty()) {
        return ReadStatus::Missing;
    }
    std::string text;
    const ReadStatus status =
        FileAccessPlatform::ReadFromRegularFile(PathFromUtf8(path), maxBytes, text, false);
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
    const ReadStatus status =
        FileAccessPlatform::ReadFromRegularFile(PathFromUtf8(path), maxBytes, content, true);
    if (status == ReadStatus::Ok) {
        text = std::move(content);
    }
    return status;
}

std::string FileAccess::ReadFailure(const std::string& path, std::size_t maxBytes) {
    if (path.empty()) {
        return "no file named";
    }
    const std::filesystem::path p = PathFromUtf8(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(p, error);
    if (error || status.type() == std::filesystem::file_type::not_found) {
        return status.type() == std::filesystem::file_type::not_found
                   ? "no such file"
                   : "it cannot be looked at (" + error.message() + ")";
    }
    if (status.type() == std::filesystem::file_type::directory) {
        return "it is a folder, not a file";
    }
    if (status.type() != std::filesystem::file_type::regular) {
        return "it is no regular file (a device, a pipe or a socket)";
    }
    const std::uintmax_t size = std::filesystem::file_size(p, error);
    if (!error && size > maxBytes) {
        return "it has " + std::to_string(size) + " bytes, more than the " +
               (maxBytes % (1 << 20) == 0 ? std::to_string(maxBytes >> 20) + " MiB"
                                          : std::to_string(maxBytes) + " bytes") +
               " such a file may have";
    }
    const std::string open = FileAccessPlatform::OpenFailure(p);
    return open.empty() ? "reading it failed" : open;
}

bool FileAccess::WriteAtomically(const std::string& path, const void* data, std::size_t size) {
    if (path.empty()) {
        return false;
    }
    return FileAccessPlatform::WriteReplacing(ResolveTarget(PathFromUtf8(path)), data, size);
}
