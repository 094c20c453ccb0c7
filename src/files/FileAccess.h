#pragma once
// Whole-file reads and atomic whole-file writes on UTF-8 paths; the only place
// of the files layer that talks to the operating system.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
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

    // True when a regular file (not a directory) exists at the path; symbolic
    // links are followed.
    static bool IsRegularFile(const std::string& path);

    // Reads at most maxBytes from the start of a regular file. Directories,
    // devices and pipes are refused without blocking.
    static ReadStatus ReadPrefix(const std::string& path, std::size_t maxBytes,
                                 std::vector<std::uint8_t>& bytes);

    // Reads a whole regular file; a file larger than maxBytes is refused.
    static ReadStatus ReadWhole(const std::string& path, std::size_t maxBytes, std::string& text);

    // Replaces the file at path with exactly the given bytes, or leaves it
    // untouched: the bytes go to a temporary file in the same folder, which is
    // flushed to the disk and then renamed over the target. A symbolic link is
    // followed, so the file it names is replaced. An existing target keeps its
    // permission bits; one the user may not write is left alone. Returns false
    // on any failure; the temporary file is then removed. Where the folder
    // takes no new file but the file itself is writable, the file is written
    // in place and flushed instead. A successful save removes temporary files
    // that killed saves of the same file left behind.
    static bool WriteAtomically(const std::string& path, const void* data, std::size_t size);
};
