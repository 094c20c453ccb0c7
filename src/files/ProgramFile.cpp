#include "ProgramFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "FileAccess.h"

namespace {

// Byte given to every position past the end of a short file.
constexpr std::uint8_t MissingByte = 0xFF;

} // namespace

std::string FileCaption(const std::string& currentFile) {
    return "KX-RD4 PC  -  [" + (currentFile.empty() ? std::string("Nowy") : currentFile) + "]";
}

bool WriteProgramFile(const std::string& path, const ProgramSet& set) {
    return FileAccess::WriteAtomically(path, set.Data(), ProgramSet::Size());
}

bool ReadProgramFile(const std::string& path, ProgramSet& set) {
    std::vector<std::uint8_t> bytes;
    if (FileAccess::ReadPrefix(path, ProgramSet::Size(), bytes) != FileAccess::ReadStatus::Ok) {
        return false;
    }
    bytes.resize(ProgramSet::Size(), MissingByte);
    std::copy(bytes.begin(), bytes.end(), set.Data());
    return true;
}

bool FileExists(const std::string& path) {
    return FileAccess::IsRegularFile(path);
}
