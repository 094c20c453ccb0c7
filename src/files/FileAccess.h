#pragma once
// Whole-file reads and atomic whole-file writes on UTF-8 paths; the only place
// of the files layer that talks to the operating system (the system's own part
// is in FileAccessPosix.cpp or FileAccessWindows.cpp).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class FileAccess {
public:
    enum class ReadStatus {
        Ok,
        Missing, // nothing exists at the path (or a folder on the way is missing)
        Failed,  // something exists but is no readable regular file, or reading failed
    };

    // A UTF-8 path as the file system wants it (Polish letters, blanks).
    static std::filesystem::path PathFromUtf8(const std::string& path);
    // The UTF-8 text of a path.
    static std::string PathToUtf8(const std::filesystem::path& path);

    // The folder of the running executable (UTF-8), empty if unknown.
    static std::string ExecutableDirectory();

    // The line end of the system's text files ("\r\n" on Windows, "\n" elsewhere).
    static std::string_view NativeLineEnd();

    // directory + the system's separator + name; the separator is left out
    // when the directory already ends with one, and so is the directory when
    // it is empty.
    static std::string JoinPath(const std::string& directory, const std::string& name);

    // True when a regular file (not a directory) exists at the path; symbolic
    // links are followed.
    static bool IsRegularFile(const std::string& path);

    // Reads at most maxBytes from the start of a regular file. Directories,
    // devices and pipes are refused without blocking.
    static ReadStatus ReadPrefix(const std::string& path, std::size_t maxBytes,
                                 std::vector<std::uint8_t>& bytes);

    // Reads a whole regular file; a file larger than maxBytes is refused.
    static ReadStatus ReadWhole(const std::string& path, std::size_t maxBytes, std::string& text);

    // Why a read of path with that limit failed, in English words for the
    // operator: "it is a folder", "it has 52428800 bytes, more than ...",
    // "permission denied", "it is no regular file (a device or a pipe)".
    static std::string ReadFailure(const std::string& path, std::size_t maxBytes);

    // Replaces the file at path with exactly the given bytes, or leaves it
    // untouched: the bytes go to a temporary file in the same folder, which is
    // flushed to the disk and then renamed over the target, whose new entry
    // and folder are flushed in turn (FAT writes the entry only then). A
    // symbolic link is followed, so the file it names is replaced. An existing
    // target keeps its permission bits; one the user may not write is left
    // alone. Returns false on any failure; the temporary file is then
    // removed. Where the folder takes no new file but the file itself is
    // writable, the file is written in place and flushed instead. A successful
    // save removes temporary files that killed saves of the same file left
    // behind (not on FAT, where one a power cut left may share the saved
    // file's clusters).
    static bool WriteAtomically(const std::string& path, const void* data, std::size_t size);
};
