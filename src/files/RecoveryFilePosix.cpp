// Linux and other POSIX systems: $XDG_DATA_HOME/kxrd4-pc, else
// ~/.local/share/kxrd4-pc; processes are looked for with kill(pid, 0).
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

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

bool RecoveryFile::ProcessRunning(long pid) {
    if (pid <= 0) {
        return false;
    }
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}
