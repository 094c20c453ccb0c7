#pragma once
// Which KX-RD4 a command-line command talks to. Without a selector the only
// KX-RD4 listed is taken, and several are refused, so that a command never
// goes to one of them by chance. A selector names one by its serial number
// (exactly), else its port, else its device path. The messages are English.

#include <optional>
#include <string>
#include <vector>

class DeviceLink;

class DeviceChoice {
public:
    enum class Outcome {
        Chosen,       // index names the entry
        NoController, // no KX-RD4 is listed at all
        NoMatch,      // the selector names none of the KX-RD4s listed
        Several,      // several KX-RD4s and no selector, or a selector that names several
    };

    Outcome outcome = Outcome::NoController;
    int index = -1;      // the chosen entry of the link's list
    std::string message; // why nothing was chosen, with the KX-RD4s listed

    static DeviceChoice Make(const DeviceLink& link, const std::optional<std::string>& selector);

    // One controller for a listing: "serial S, port P, path /dev/hidraw0"
    // ("-" for what it does not have).
    static std::string Describe(const DeviceLink& link, int index);
};
