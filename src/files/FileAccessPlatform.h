#pragma once
// The operating system's side of FileAccess. FileAccessPosix.cpp and
// FileAccessWindows.cpp each implement it; CMake picks one.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "FileAccess.h"

namespace FileAccessPlatform {

// Defined once for every system (FileAccess.cpp): a fresh name beside target,
// the prefix of every such name followed by "<process id>-<n>-<attempt>".
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, unsigned attempt);
std::filesystem::path::string_type TemporaryPrefixFor(const std::filesystem::path& target);

long ProcessId();
std::filesystem::path PathFromUtf8(const std::string& path);
std::string PathToUtf8(const std::filesystem::path& path);
FileAccess::ReadStatus ReadFromRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                                           std::string& out, bool refuseLarger);
// Why the regular file at path cannot be opened for reading ("permission
// denied"); empty when it can.
std::string OpenFailure(const std::filesystem::path& path);
bool WriteReplacing(const std::filesystem::path& target, const void* data, std::size_t size);
bool IsRegularFile(const std::filesystem::path& path);
std::string ExecutableDirectory();
std::string_view LineEnd();
bool IsSeparator(char c);
char Separator();

} // namespace FileAccessPlatform
