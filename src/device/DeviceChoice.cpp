#include "DeviceChoice.h"

#include <array>
#include <functional>

#include "DeviceLink.h"

namespace {

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

} // namespace

std::string DeviceChoice::Describe(const DeviceLink& link, int index) {
    const DeviceIdentity& id = link.EntryIdentity(index);
    return "serial " + OrDash(id.serial) + ", port " + OrDash(id.port) + ", path " +
           OrDash(id.path);
}

DeviceChoice DeviceChoice::Make(const DeviceLink& link,
                                const std::optional<std::string>& selector) {
    std::vector<int> controllers;
    for (int i = 0; i < link.EntryCount(); ++i) {
        if (link.IsController(i)) {
            controllers.push_back(i);
        }
    }
    const auto listing = [&](const std::vector<int>& indices) {
        std::string text;
        for (const int i : indices) {
            text += "\n  " + Describe(link, i);
        }
        return text;
    };
    DeviceChoice choice;
    if (controllers.empty()) {
        choice.outcome = Outcome::NoController;
        choice.message = "no KX-RD4 is connected";
        return choice;
    }
    if (!selector) {
        if (controllers.size() == 1) {
            choice.outcome = Outcome::Chosen;
            choice.index = controllers.front();
            return choice;
        }
        choice.outcome = Outcome::Several;
        choice.message = std::to_string(controllers.size()) +
                         " KX-RD4 controllers are connected; choose one with --device "
                         "SERIAL|PORT|PATH:" +
                         listing(controllers);
        return choice;
    }
    // The serial number first, then the port, then the path: the first kind
    // of name that any controller answers to decides.
    using Field = std::function<const std::string&(const DeviceIdentity&)>;
    const std::array<std::pair<const char*, Field>, 3> fields = {{
        {"serial number", [](const DeviceIdentity& id) -> const std::string& { return id.serial; }},
        {"port", [](const DeviceIdentity& id) -> const std::string& { return id.port; }},
        {"path", [](const DeviceIdentity& id) -> const std::string& { return id.path; }},
    }};
    for (const auto& [what, field] : fields) {
        std::vector<int> matches;
        for (const int i : controllers) {
            if (!selector->empty() && field(link.EntryIdentity(i)) == *selector) {
                matches.push_back(i);
            }
        }
        if (matches.size() == 1) {
            choice.outcome = Outcome::Chosen;
            choice.index = matches.front();
            return choice;
        }
        if (matches.size() > 1) {
            choice.outcome = Outcome::Several;
            choice.message = "--device " + *selector + ": " + std::to_string(matches.size()) +
                             " KX-RD4 controllers have this " + what +
                             "; name one by its port or path:" + listing(matches);
            return choice;
        }
    }
    choice.outcome = Outcome::NoMatch;
    choice.message = "--device " + *selector +
                     ": no KX-RD4 with this serial number, port or path is connected; "
                     "connected:" +
                     listing(controllers);
    return choice;
}
