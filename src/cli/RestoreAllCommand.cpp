#include "RestoreAllCommand.h"

#include <ostream>

#include "BackupCommand.h"
#include "CommandContext.h"
#include "CommandFailure.h"
#include "ControllerBackup.h"
#include "JsonText.h"
#include "RestoreAll.h"
#include "UsageError.h"

namespace {

using Item = BackupSession::Item;

bool Bad(const Item& item) {
    return item.result == Item::Result::Differs || item.result == Item::Result::Failed;
}

// "vmax DIFFERS (file 1200, controller 1000); P3 FAILED (no answer ...)"
std::string Troubles(const std::vector<Item>& items) {
    std::string text;
    for (const Item& item : items) {
        if (!Bad(item)) {
            continue;
        }
        text += (text.empty() ? "" : "; ") + item.name + " " +
                BackupSession::ResultText(item.result) + " (" +
                (item.result == Item::Result::Differs
                     ? "file " + item.expected + ", controller " + item.got
                     : item.got) +
                ")";
    }
    return text;
}

std::string Json(const RestoreAll::Outcome& o) {
    std::string json = "{\"serial\":" + JsonText::Quote(o.controller.serial) +
                       ",\"port\":" + JsonText::Quote(o.controller.port) +
                       ",\"path\":" + JsonText::Quote(o.controller.path) +
                       ",\"verified\":" + (o.verified ? "true" : "false") + ",\"result\":" +
                       JsonText::Quote(o.verified        ? "verified"
                                       : o.error.empty() ? "not verified"
                                                         : "failed");
    if (!o.error.empty()) {
        json += ",\"error\":" + JsonText::Quote(o.error);
    }
    json += ",\"items\":[";
    for (std::size_t i = 0; i < o.items.size(); ++i) {
        const Item& item = o.items[i];
        json += std::string(i == 0 ? "" : ",") + "{\"item\":" + JsonText::Quote(item.name) +
                ",\"result\":" + JsonText::Quote(BackupSession::ResultText(item.result)) +
                ",\"file\":" + JsonText::Quote(item.expected) +
                ",\"controller\":" + JsonText::Quote(item.got) + "}";
    }
    return json + "]}";
}

} // namespace

void RestoreAllCommand::Run(CommandContext& context) {
    const CommandArguments& a = context.Arguments();
    const std::string& path = a.positional[0];
    if (a.dryRun) {
        throw UsageError{"restore --all writes; --dry-run shows one controller (with --device)"};
    }
    if (a.device) {
        throw UsageError{"restore --all restores every KX-RD4; --device names one"};
    }
    const ControllerBackup file = BackupCommand::Load(path);
    const BackupSession::Selection selection = BackupCommand::Selection(context, file);
    ControllerSession& listing = context.Session();
    if (!listing.HidAvailable()) {
        throw CommandFailure{"no HID support on this system"};
    }
    std::vector<DeviceIdentity> controllers;
    for (const auto& entry : listing.Devices()) {
        if (!entry.path.empty()) {
            controllers.push_back(DeviceIdentity{entry.serial, entry.port, entry.path});
        }
    }
    if (controllers.empty()) {
        std::string error;
        listing.Ready(error);
        throw CommandFailure{error.empty() ? "no KX-RD4 is connected" : error, Cli::NoDevice};
    }
    const auto outcomes = RestoreAll::Run(controllers, context.Backends(), a.timeout, file,
                                          selection, context.InterruptFlag());
    std::ostream& out = context.Out();
    int failed = 0;
    for (const auto& o : outcomes) {
        failed += o.verified ? 0 : 1;
        if (a.json) {
            out << Json(o) << "\n";
        } else {
            const std::string serial = o.controller.serial.empty() ? "-" : o.controller.serial;
            out << serial << "  " << (o.verified ? "verified" : "NOT VERIFIED") << "  "
                << o.controller.path;
            if (!o.error.empty()) {
                out << "  " << o.error;
            } else if (!o.verified) {
                out << "  " << Troubles(o.items);
            }
            out << "\n";
        }
        out.flush();
    }
    if (file.limits && selection.parameters && !context.Interrupted()) {
        for (const auto& o : outcomes) {
            if (o.verified) {
                BackupCommand::KeepLimits(context, file, o.controller,
                                          "KX-RD4 at " + o.controller.path,
                                          a.json ? context.Err() : out);
            }
        }
    }
    if (context.Interrupted()) {
        throw CommandFailure{"restore of " + path +
                             " --all interrupted: the controllers not verified were not restored "
                             "completely"};
    }
    if (failed != 0) {
        throw CommandFailure{"restore of " + path + " --all: " + std::to_string(failed) + " of " +
                             std::to_string(outcomes.size()) + " KX-RD4s not verified"};
    }
    if (!a.json) {
        out << "restored " << path << " onto " << outcomes.size()
            << (outcomes.size() == 1 ? " KX-RD4" : " KX-RD4s")
            << ": every item written was read back and verified on each\n";
    }
}
