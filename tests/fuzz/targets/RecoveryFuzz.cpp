// Any bytes as a recovery file: decoded (damaged, empty or a set of exactly
// 2000 bytes with a name), written back and read again to the same contents;
// and, lying in the data folder as a file of a process that no longer runs,
// listed as a candidate or as damaged, never both, never lost.
#include <fstream>
#include <string>

#include "FuzzTargets.h"
#include "RecoveryFile.h"

int FuzzRecovery(const std::uint8_t* data, std::size_t size) {
    static const FuzzScratchFolder scratch("recovery");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    RecoveryFile::Contents contents;
    const RecoveryFile::Status status = RecoveryFile::Decode(bytes, contents);
    FUZZ_CHECK((status == RecoveryFile::Status::Empty) == bytes.empty());
    if (status == RecoveryFile::Status::Ok) {
        FUZZ_CHECK(contents.bytes.size() == RecoveryFile::SetSize);
        FUZZ_CHECK(contents.fileName.size() <= RecoveryFile::MaxNameSize);
        const std::string encoded = RecoveryFile::Encode(
            contents.fileName, reinterpret_cast<const std::uint8_t*>(contents.bytes.data()));
        RecoveryFile::Contents again;
        FUZZ_CHECK(RecoveryFile::Decode(encoded, again) == RecoveryFile::Status::Ok);
        FUZZ_CHECK(again.fileName == contents.fileName && again.bytes == contents.bytes);
    }

    // In the folder, as the file of a process that no longer runs.
    const std::string folder = scratch.File("data");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const bool crashRecord = size > 0 && (data[0] & 1) != 0;
    const std::string path = crashRecord ? RecoveryFile::CrashPathFor(folder, 4321)
                                         : RecoveryFile::PathFor(folder, 4321);
    std::ofstream(path, std::ios::binary) << bytes;
    std::vector<std::string> damaged;
    const auto found = RecoveryFile::Leftovers(
        folder, [](long) { return false; }, damaged);
    if (status == RecoveryFile::Status::Ok) {
        FUZZ_CHECK(found.size() == 1 && damaged.empty());
        FUZZ_CHECK(found[0].pid == 4321 && found[0].contents.bytes == contents.bytes);
    } else if (status == RecoveryFile::Status::Damaged) {
        FUZZ_CHECK(found.empty() && damaged.size() == 1);
    } else {
        // An empty crash record is a process that did not crash; an empty
        // recovery file, never written so, is damaged.
        FUZZ_CHECK(found.empty() && damaged.size() == (crashRecord ? 0u : 1u));
    }
    return 0;
}
