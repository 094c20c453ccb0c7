#include "PosixUserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

std::optional<std::string> PosixUserFolders::Home() {
    const char* variable = std::getenv("HOME");
    if (variable != nullptr && variable[0] != '\0') {
        return std::string(variable);
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return std::string(found->pw_dir);
    }
    return variable != nullptr ? std::optional<std::string>(variable) : std::nullopt;
}

bool PosixUserFolders::Create(const std::string& folder) {
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
