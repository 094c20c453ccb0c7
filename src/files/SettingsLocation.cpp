#include "SettingsLocation.h"

#include "SettingsFile.h"

namespace {

bool IsAbsolute(const std::optional<std::string>& path) {
    return path && !path->empty() && path->front() == '/';
}

std::string Join(std::string folder, const std::string& name) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder == "/" ? folder + name : folder + "/" + name;
}

} // namespace

SettingsLocation::Choice SettingsLocation::Choose(const Facts& facts) {
    const Choice beside{SettingsPath(facts.executableDirectory), {}};
    if (facts.executableDirectoryWritable) {
        return beside;
    }
    std::string base;
    if (IsAbsolute(facts.xdgConfigHome)) {
        base = *facts.xdgConfigHome;
    } else if (IsAbsolute(facts.home)) {
        base = Join(*facts.home, ".config");
    } else {
        return beside;
    }
    const std::string folder = Join(base, FolderName);
    return {Join(folder, "config.ini"), folder};
}
