// Linux and other POSIX systems: $XDG_DATA_HOME/kxrd4-pc, else
// ~/.local/share/kxrd4-pc; processes are looked for with kill(pid, 0).
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "RecoveryFile.h"

namespace {

bool Absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string Home() {
    const char* home = std::getenv("HOME");
    if (Absolute(home)) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && Absolute(found->pw_dir)) {
        return found->pw_dir;
    }
    return {};
}

// Creates the folder and its missing parents (0700, as the XDG rules ask).
bool CreateFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty()) {
            mkdir(part.c_str(), 0700); // existing parts just fail with EEXIST
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string RecoveryFile::DataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (Absolute(data)) {
        base = data;
    } else {
        const std::string home = Home();
        if (home.empty()) {
            return {};
        }
        base = home + (home.back() == '/' ? "" : "/") + ".local/share";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const std::string folder = base + "/kxrd4-pc";
    return CreateFolder(folder) ? folder : std::string();
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
