// Linux and other POSIX systems: the facts come from access(2), the
// environment and the password database.
#include "SettingsLocation.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// $HOME, or the home folder of the user in the password database when the
// variable is unset or empty.
std::optional<std::string> Home() {
    std::optional<std::string> home = Variable("HOME");
    if (home && !home->empty()) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return std::string(found->pw_dir);
    }
    return home;
}

// Creates the folder and any missing parent, each new one readable by its
// owner only (0700, as the XDG rules ask for configuration folders).
void CreateFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty()) {
            mkdir(part.c_str(), 0700); // existing parts just fail with EEXIST
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

} // namespace

std::string SettingsLocation::ForExecutableDirectory(const std::string& directory) {
    Facts facts;
    facts.executableDirectory = directory;
    facts.executableDirectoryWritable =
        !directory.empty() && access(directory.c_str(), W_OK | X_OK) == 0;
    facts.xdgConfigHome = Variable("XDG_CONFIG_HOME");
    facts.home = Home();
    const Choice choice = Choose(facts);
    if (!choice.folder.empty()) {
        CreateFolder(choice.folder);
    }
    return choice.path;
}
