// Linux: $XDG_DATA_HOME/kxrd4-pc, else ~/.local/share/kxrd4-pc; a process
// is this tool when /proc/PID is no zombie and runs the same program as this
// process (/proc/PID/exe, or its name in /proc/PID/comm where the link may not
// be read).
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "PosixUserFolders.h"
#include "RecoveryFile.h"

namespace {

bool Absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

std::string RecoveryFile::DataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (Absolute(data)) {
        base = data;
    } else {
        const std::string home = PosixUserFolders::Home().value_or(std::string());
        if (!Absolute(home.c_str())) {
            return {};
        }
        base = home + (home.back() == '/' ? "" : "/") + ".local/share";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const std::string folder = base + "/kxrd4-pc";
    return PosixUserFolders::Create(folder) ? folder : std::string();
}

long RecoveryFile::CurrentProcessId() {
    return static_cast<long>(getpid());
}

namespace {

// The file name of the program a process runs; empty when it cannot be told.
// A program replaced on disk (an update) reads "NAME (deleted)".
std::string ProgramOf(const std::string& proc) {
    char target[4096];
    const ssize_t n = ::readlink((proc + "/exe").c_str(), target, sizeof target - 1);
    if (n > 0) {
        std::string path(target, static_cast<std::size_t>(n));
        const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() &&
            path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
            path.resize(path.size() - deleted.size());
        }
        return path.substr(path.find_last_of('/') + 1);
    }
    return {};
}

std::string NameOf(const std::string& proc) {
    std::string name;
    std::ifstream comm(proc + "/comm");
    std::getline(comm, name);
    return name;
}

// The state letter of /proc/PID/stat ("1234 (name) S ..."), 0 when gone.
char StateOf(const std::string& proc) {
    std::ifstream stat(proc + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), std::istreambuf_iterator<char>()};
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() ? text[close + 2] : '\0';
}

} // namespace

bool RecoveryFile::ProcessRunning(long pid) {
    if (pid <= 0) {
        return false;
    }
    const std::string proc = "/proc/" + std::to_string(pid);
    const char state = StateOf(proc);
    if (state == '\0' || state == 'Z' || state == 'X') {
        return false; // gone, or a zombie: it writes nothing any more
    }
    // Another program that got the number is not this tool.
    const std::string program = ProgramOf(proc);
    const std::string own = ProgramOf("/proc/self");
    if (!program.empty() && !own.empty()) {
        return program == own;
    }
    return NameOf(proc) == NameOf("/proc/self");
}
