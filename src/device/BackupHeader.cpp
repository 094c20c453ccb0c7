#include "BackupHeader.h"

#include <chrono>
#include <cstdio>

namespace {

// "2026-12-09T01:02:03Z", without the C library's shared time buffer.
std::string UtcText(std::time_t now) {
    using namespace std::chrono;
    const sys_seconds at{seconds(static_cast<long long>(now))};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

} // namespace

std::vector<std::string> BackupHeader::Comments(std::string_view tool,
                                                const DeviceIdentity& identity, std::time_t now) {
    std::string controller = identity.Label("KX-RD4");
    if (!identity.path.empty()) {
        controller += " at " + identity.path;
    }
    return {"KX-RD4 controller backup, " + std::string(tool),
            "date: " + UtcText(now),
            "controller: " + controller,
            "Not readable from the controller, written on restore when given here:",
            "modbus-address = 1..247, modbus-baud = 19200|38400|57600|115200,",
            "input-filter = 0..999 (ms) in [parameters]."};
}
