#include "RecoveryFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <system_error>

#include "FileAccess.h"

namespace {

const std::string Prefix = "recovery-";
const std::string CrashSuffix = "-crash.kxr";
const std::string Suffix = ".kxr";

// The process id of a recovery file's name and whether it is a crash record;
// false for any other name.
bool ParseName(const std::string& name, long& pid, bool& crash) {
    if (name.rfind(Prefix, 0) != 0) {
        return false;
    }
    std::string rest = name.substr(Prefix.size());
    crash = rest.size() > CrashSuffix.size() &&
            rest.compare(rest.size() - CrashSuffix.size(), CrashSuffix.size(), CrashSuffix) == 0;
    const std::string& suffix = crash ? CrashSuffix : Suffix;
    if (rest.size() <= suffix.size() ||
        rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    rest.resize(rest.size() - suffix.size());
    if (rest.empty() || rest.size() > 18 ||
        !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    return result.ec == std::errc() && pid > 0;
}

std::filesystem::file_time_type WrittenAt(const std::filesystem::path& path) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    return error ? std::filesystem::file_time_type{} : time;
}

} // namespace

std::string RecoveryFile::Encode(const std::string& fileName, const std::uint8_t* set) {
    const std::string name = fileName.size() <= MaxNameSize ? fileName : std::string();
    std::string data = std::string(Magic) + " " + std::to_string(Version) + " " +
                       std::to_string(name.size()) + " " + name + "\n";
    data.append(reinterpret_cast<const char*>(set), SetSize);
    return data;
}

RecoveryFile::Status RecoveryFile::Decode(const std::string& data, Contents& contents) {
    if (data.empty()) {
        return Status::Empty;
    }
    const std::string head = std::string(Magic) + " " + std::to_string(Version) + " ";
    if (data.size() > MaxFileSize || data.compare(0, head.size(), head) != 0) {
        return Status::Damaged;
    }
    std::size_t length = 0;
    const char* const first = data.data() + head.size();
    const char* const end = data.data() + data.size();
    const auto [afterLength, error] = std::from_chars(first, end, length);
    if (error != std::errc() || afterLength == first || afterLength == end || *afterLength != ' ' ||
        length > MaxNameSize) {
        return Status::Damaged;
    }
    const std::size_t nameAt = static_cast<std::size_t>(afterLength - data.data()) + 1;
    // The name, its line end and exactly the set; nothing more, nothing less.
    if (data.size() != nameAt + length + 1 + SetSize || data[nameAt + length] != '\n') {
        return Status::Damaged;
    }
    contents.fileName = data.substr(nameAt, length);
    contents.bytes = data.substr(nameAt + length + 1);
    return Status::Ok;
}

std::string RecoveryFile::PathFor(const std::string& folder, long pid) {
    return FileAccess::JoinPath(folder, Prefix + std::to_string(pid) + Suffix);
}

std::string RecoveryFile::CrashPathFor(const std::string& folder, long pid) {
    return FileAccess::JoinPath(folder, Prefix + std::to_string(pid) + CrashSuffix);
}

bool RecoveryFile::Write(const std::string& path, const std::string& fileName,
                         const std::uint8_t* set) {
    const std::string data = Encode(fileName, set);
    return FileAccess::WriteAtomically(path, data.data(), data.size());
}

RecoveryFile::Status RecoveryFile::Read(const std::string& path, Contents& contents) {
    std::string data;
    if (FileAccess::ReadWhole(path, MaxFileSize, data) != FileAccess::ReadStatus::Ok) {
        return Status::Damaged;
    }
    return Decode(data, contents);
}

void RecoveryFile::Remove(const std::string& folder, long pid) {
    std::error_code error;
    std::filesystem::remove(FileAccess::PathFromUtf8(PathFor(folder, pid)), error);
    std::filesystem::remove(FileAccess::PathFromUtf8(CrashPathFor(folder, pid)), error);
}

void RecoveryFile::SetAside(const std::string& path) {
    std::error_code error;
    const auto from = FileAccess::PathFromUtf8(path);
    std::filesystem::rename(from, FileAccess::PathFromUtf8(path + ".damaged"), error);
    if (error) {
        std::filesystem::remove(from, error);
    }
}

std::vector<RecoveryFile::Candidate>
RecoveryFile::Leftovers(const std::string& folder, const std::function<bool(long)>& running,
                        std::vector<std::string>& damaged) {
    struct Files {
        std::string plain, crash;
    };
    std::map<long, Files> byProcess;
    std::error_code error;
    std::filesystem::directory_iterator it(FileAccess::PathFromUtf8(folder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        long pid = 0;
        bool crash = false;
        if (!ParseName(FileAccess::PathToUtf8(it->path().filename()), pid, crash)) {
            continue;
        }
        (crash ? byProcess[pid].crash : byProcess[pid].plain) = FileAccess::PathToUtf8(it->path());
    }
    std::vector<Candidate> found;
    for (const auto& [pid, files] : byProcess) {
        if (running(pid)) {
            continue;
        }
        Candidate candidate;
        candidate.pid = pid;
        bool have = false;
        // The crash record is written at the very end, so it is the newest.
        for (const std::string* path : {&files.crash, &files.plain}) {
            if (path->empty()) {
                continue;
            }
            Contents contents;
            const Status status = Read(*path, contents);
            if (status == Status::Ok && !have) {
                candidate.path = *path;
                candidate.contents = std::move(contents);
                candidate.written = WrittenAt(FileAccess::PathFromUtf8(*path));
                have = true;
            } else if (status == Status::Empty && path == &files.crash) {
                std::filesystem::remove(FileAccess::PathFromUtf8(*path), error);
            } else if (status != Status::Ok) {
                damaged.push_back(*path);
            }
        }
        if (have) {
            found.push_back(std::move(candidate));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.written > b.written; });
    return found;
}
