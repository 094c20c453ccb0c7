#include "DeviceListCommand.h"

#include <cstdio>
#include <ostream>

#include "CommandContext.h"
#include "CommandFailure.h"
#include "DeviceIdentity.h"
#include "JsonText.h"

void DeviceListCommand::Run(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    std::ostream& out = context.Out();
    ControllerSession& s = context.Session();
    if (!s.HidAvailable()) {
        throw CommandFailure{"no HID support on this system"};
    }
    // The mark shows the KX-RD4 a device command would use (with --device,
    // the one it names); none while the choice is open.
    const DeviceChoice choice = s.Choose(a.device);
    if (a.device) {
        CommandContext::Require(s, choice);
    }
    const bool chosen = choice.outcome == DeviceChoice::Outcome::Chosen;
    auto entries = s.Devices();
    for (auto& e : entries) {
        e.selected = e.selected && chosen;
    }
    if (a.json) {
        out << "[";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& e = entries[i];
            out << (i == 0 ? "" : ",") << "{\"path\":" << JsonText::Quote(e.path)
                << ",\"serial\":" << JsonText::Quote(e.serial)
                << ",\"port\":" << JsonText::Quote(e.port) << ",\"vendorId\":" << e.vendorId
                << ",\"productId\":" << e.productId << ",\"access\":\""
                << (e.writable ? "read-write" : "query-only")
                << "\",\"name\":" << JsonText::Quote(e.name)
                << ",\"selected\":" << (e.selected ? "true" : "false") << "}";
        }
        out << "]\n";
        return;
    }
    if (entries.empty()) {
        out << "no HID devices\n";
        return;
    }
    for (const auto& e : entries) {
        char ids[32];
        std::snprintf(ids, sizeof ids, "%04X:%04X", e.vendorId, e.productId);
        out << (e.selected ? "* " : "  ") << (e.path.empty() ? "(not claimed)" : e.path) << "  "
            << ids << "  " << (e.writable ? "read-write" : "query-only") << "  "
            << DeviceIdentity{e.serial, e.port, e.path}.Label(e.name)
            << (e.selected ? "  (selected)" : "") << "\n";
    }
}
