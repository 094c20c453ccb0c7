// Windows: the settings file stays beside the executable.
#include "SettingsLocation.h"

#include "SettingsFile.h"

std::string SettingsLocation::ForExecutableDirectory(const std::string& directory) {
    return SettingsPath(directory);
}
