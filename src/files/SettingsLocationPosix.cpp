// Linux and other POSIX systems: the facts come from access(2), the
// environment and the password database.
#include "SettingsLocation.h"

#include <unistd.h>

#include <cstdlib>

#include "PosixUserFolders.h"

namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

std::string SettingsLocation::ForExecutableDirectory(const std::string& directory) {
    Facts facts;
    facts.executableDirectory = directory;
    facts.executableDirectoryWritable =
        !directory.empty() && access(directory.c_str(), W_OK | X_OK) == 0;
    facts.xdgConfigHome = Variable("XDG_CONFIG_HOME");
    facts.home = PosixUserFolders::Home();
    const Choice choice = Choose(facts);
    if (!choice.folder.empty()) {
        PosixUserFolders::Create(choice.folder);
    }
    return choice.path;
}
