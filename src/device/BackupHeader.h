#pragma once
// The comment lines at the head of a controller backup, the same for the
// window and the command-line tool: which tool wrote it, when, from which
// controller, and the values a backup may be given by hand.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceIdentity.h"

class BackupHeader {
public:
    // tool: the tool and its version ("kxrd4-pc 1.2"); now: the time of the
    // reading, written in UTC.
    static std::vector<std::string> Comments(std::string_view tool, const DeviceIdentity& identity,
                                             std::time_t now);
};
