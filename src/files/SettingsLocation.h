#pragma once
// Where config.ini is kept. Beside the executable whenever the tool may write
// there (a build folder, an unpacked copy); an installed tool, whose folder
// belongs to the system (/usr/bin), keeps it in the user's configuration
// folder instead: $XDG_CONFIG_HOME/kxrd4-pc/config.ini, or
// $HOME/.config/kxrd4-pc/config.ini when that variable is unset, empty or not
// an absolute path. With neither a usable XDG_CONFIG_HOME nor a home folder the
// file stays beside the executable, where writing it then fails with the usual
// "Unable to write to <path>".
//
// Choose is the decision alone, from facts handed in. ForExecutableDirectory
// gathers the facts of the running process on this platform (its own source
// file for each platform; Windows keeps the file beside the executable always)
// and creates the configuration folder when it is missing.

#include <optional>
#include <string>

class SettingsLocation {
public:
    // The folder under XDG_CONFIG_HOME (or ~/.config) that holds config.ini.
    static constexpr const char* FolderName = "kxrd4-pc";

    struct Facts {
        std::string executableDirectory;
        bool executableDirectoryWritable = true;
        // The variables as found in the environment; nullopt when unset.
        std::optional<std::string> xdgConfigHome;
        std::optional<std::string> home;
    };

    struct Choice {
        std::string path;   // the settings file
        std::string folder; // the folder to create first; empty beside the executable
        bool operator==(const Choice&) const = default;
    };

    static Choice Choose(const Facts& facts);

    // The settings file for a tool whose executable lies in this directory.
    // A configuration folder that cannot be created is not an error here: the
    // first write of the settings then reports it.
    static std::string ForExecutableDirectory(const std::string& directory);
};
