#pragma once
// Linux and other POSIX systems: the user's home folder and the creation of
// the tool's folders below it (settings, recovery files). Not built for
// Windows.

#include <optional>
#include <string>

class PosixUserFolders {
public:
    // $HOME, or the home folder of the user in the password database when the
    // variable is unset or empty.
    static std::optional<std::string> Home();
    // Creates the folder and any missing parent, each new one readable by its
    // owner only (0700, as the XDG rules ask). True when the folder exists.
    static bool Create(const std::string& folder);
};
