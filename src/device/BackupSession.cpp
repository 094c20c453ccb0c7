#include "BackupSession.h"

#include <algorithm>

#include "BackupComparison.h"
#include "ControllerSession.h"
#include "ParameterAccess.h"

namespace {

const ParameterTable::Parameter& TableEntry(const ControllerBackup::Key& key) {
    return *ParameterTable::Find(key.name); // the two tables name the same parameters
}

} // namespace

bool BackupSession::ReadParameter(const ControllerBackup::Key& key, ControllerBackup::Value& value,
                                  std::string& error) {
    const auto& entry = TableEntry(key);
    ControllerSession::Reply reply;
    if (!session_.Request(*entry.read, reply, error)) {
        error = std::string(key.name) + ": " + error;
        return false;
    }
    if (!reply.value || (key.homing && !reply.contactType)) {
        error = std::string(key.name) + ": the KX-RD4's answer did not carry the value";
        return false;
    }
    value.value = *reply.value;
    value.contactType = key.homing ? *reply.contactType : 0;
    return true;
}

bool BackupSession::WriteParameter(const ControllerBackup::Key& key,
                                   const ControllerBackup::Value& value, std::string& error) {
    return ParameterAccess::Write(session_, TableEntry(key), value.value,
                                  static_cast<std::uint8_t>(value.contactType), error);
}

bool BackupSession::Step() {
    if (!stopped_ && progress_ && !progress_(done_, total_)) {
        stopped_ = true;
    }
    ++done_;
    return !stopped_;
}

bool BackupSession::Read(ControllerBackup& backup, std::string& error) {
    // The whole read is one exchange: a program another writer changes
    // meanwhile would be saved half old, half new.
    if (!session_.LockController(error)) {
        return false;
    }
    const bool read = ReadHeld(backup, error);
    session_.UnlockController();
    return read;
}

bool BackupSession::ReadParameters(ControllerBackup& backup, std::string& error) {
    for (const auto& key : ControllerBackup::Keys()) {
        if (key.readable) {
            ControllerBackup::Value value;
            if (!ReadParameter(key, value, error)) {
                return false;
            }
            backup.parameters[std::string(key.name)] = value;
        }
    }
    return true;
}

bool BackupSession::ReadHeld(ControllerBackup& backup, std::string& error) {
    done_ = 0;
    stopped_ = false;
    total_ = ProgramCount;
    for (const auto& key : ControllerBackup::Keys()) {
        total_ += key.readable ? 1 : 0;
    }
    for (const auto& key : ControllerBackup::Keys()) {
        if (!key.readable) {
            continue;
        }
        if (!Step()) {
            error = "interrupted";
            return false;
        }
        ControllerBackup::Value value;
        if (!ReadParameter(key, value, error)) {
            return false;
        }
        backup.parameters[std::string(key.name)] = value;
    }
    for (int p = 0; p < ProgramCount; ++p) {
        if (!Step()) {
            error = "interrupted";
            return false;
        }
        if (!session_.ReadProgram(backup.programs, p, error)) {
            return false;
        }
        backup.hasProgram[static_cast<std::size_t>(p)] = true;
        backup.listedLines[static_cast<std::size_t>(p)] = LinesPerProgram;
    }
    return true;
}

bool BackupSession::Writes(const ControllerBackup::Key& key, const Selection& selection,
                           std::string& reason) {
    if (!selection.parameters) {
        reason = "parameters not selected";
        return false;
    }
    if (key.homing && !selection.homing) {
        reason = "not restored: writing it starts homing (--homing)";
        return false;
    }
    if (key.moves && !key.homing) {
        reason = "never restored: writing it moves the axis";
        return false;
    }
    return true;
}

std::vector<BackupSession::Item> BackupSession::Plan(const ControllerBackup& file,
                                                     const ControllerBackup& current,
                                                     const Selection& selection) {
    std::vector<Item> items;
    for (const auto& key : ControllerBackup::Keys()) {
        const auto wanted = file.parameters.find(key.name);
        if (wanted == file.parameters.end() || !selection.parameters) {
            continue;
        }
        Item item;
        item.name = std::string(key.name);
        item.expected = ControllerBackup::ValueText(key, wanted->second);
        const auto now = current.parameters.find(key.name);
        if (now != current.parameters.end()) {
            item.got = ControllerBackup::ValueText(key, now->second);
        }
        std::string reason;
        if (!Writes(key, selection, reason)) {
            if (item.got == item.expected) {
                continue;
            }
            item.result = Item::Result::NotRestored;
            item.got += (item.got.empty() ? "" : "; ") + reason;
        } else if (!key.readable) {
            item.result = Item::Result::Unverified;
            item.got = "cannot be read back";
        } else if (item.got == item.expected) {
            continue;
        } else {
            item.result = Item::Result::Differs;
        }
        items.push_back(std::move(item));
    }
    for (int p = 0; p < ProgramCount; ++p) {
        if (!file.hasProgram[static_cast<std::size_t>(p)] ||
            !selection.programs[static_cast<std::size_t>(p)]) {
            continue;
        }
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (file.programs.Line(p, l) != current.programs.Line(p, l)) {
                Item item;
                item.name =
                    "P" + std::to_string(p) + " line " + (l < 10 ? "0" : "") + std::to_string(l);
                item.result = Item::Result::Differs;
                item.expected = BackupComparison::LineText(file.programs, p, l);
                item.got = BackupComparison::LineText(current.programs, p, l);
                items.push_back(std::move(item));
            }
        }
    }
    return items;
}

std::vector<BackupSession::Item> BackupSession::Restore(const ControllerBackup& file,
                                                        const Selection& selection) {
    std::string error;
    bool held = session_.LockController(error);
    if (held) {
        // Not while the axis moves: a running program would run on with
        // what is written under it.
        std::int32_t position = 0;
        std::int32_t velocity = 0;
        std::string statusError;
        // (An exchange like the others: not after the run was stopped.)
        const bool go = !progress_ || progress_(0, 0);
        if (go && session_.Status(position, velocity, statusError) && velocity != 0) {
            error = "the axis is moving (velocity " + std::to_string(velocity) +
                    "; is a program running?): stop it first";
            session_.UnlockController();
            held = false;
        }
    }
    if (!held) {
        // Nothing written: every item the restore would write failed.
        std::vector<Item> items;
        for (const auto& key : ControllerBackup::Keys()) {
            std::string reason;
            if (file.parameters.count(key.name) != 0 && Writes(key, selection, reason)) {
                items.push_back(
                    {std::string(key.name), Item::Result::Failed,
                     ControllerBackup::ValueText(key, file.parameters.at(std::string(key.name))),
                     "not written: " + error});
            }
        }
        for (int p = 0; p < ProgramCount; ++p) {
            if (file.hasProgram[static_cast<std::size_t>(p)] &&
                selection.programs[static_cast<std::size_t>(p)]) {
                items.push_back(
                    {"P" + std::to_string(p), Item::Result::Failed, "", "not written: " + error});
            }
        }
        return items;
    }
    auto items = RestoreHeld(file, selection);
    session_.UnlockController();
    return items;
}

std::vector<BackupSession::Item> BackupSession::RestoreHeld(const ControllerBackup& file,
                                                            const Selection& selection) {
    std::vector<Item> items;
    std::vector<const ControllerBackup::Key*> written;
    done_ = 0;
    stopped_ = false;
    total_ = 0;
    for (const auto& key : ControllerBackup::Keys()) {
        std::string reason;
        if (selection.parameters && file.parameters.count(key.name) != 0 &&
            Writes(key, selection, reason)) {
            total_ += key.readable ? 2 : 1;
        }
    }
    for (int p = 0; p < ProgramCount; ++p) {
        if (file.hasProgram[static_cast<std::size_t>(p)] &&
            selection.programs[static_cast<std::size_t>(p)]) {
            total_ += 2;
        }
    }
    for (const auto& key : ControllerBackup::Keys()) {
        const auto wanted = file.parameters.find(key.name);
        if (wanted == file.parameters.end() || !selection.parameters) {
            continue;
        }
        Item item;
        item.name = std::string(key.name);
        item.expected = ControllerBackup::ValueText(key, wanted->second);
        std::string reason;
        if (!Writes(key, selection, reason)) {
            item.result = Item::Result::NotRestored;
            item.got = reason;
            items.push_back(std::move(item));
            continue;
        }
        std::string error;
        if (!Step()) {
            item.result = Item::Result::NotRestored;
            item.got = "not written: interrupted";
            items.push_back(std::move(item));
            continue;
        }
        if (!WriteParameter(key, wanted->second, error)) {
            item.result = Item::Result::Failed;
            item.got = "write: " + error;
            items.push_back(std::move(item));
            continue;
        }
        if (!key.readable) {
            item.result = Item::Result::Unverified;
            item.got = "written; cannot be read back";
            items.push_back(std::move(item));
            continue;
        }
        written.push_back(&key);
    }
    std::vector<int> programs;
    for (int p = 0; p < ProgramCount; ++p) {
        if (!file.hasProgram[static_cast<std::size_t>(p)] ||
            !selection.programs[static_cast<std::size_t>(p)]) {
            continue;
        }
        ProgramSet copy = file.programs;
        std::string error;
        if (!Step()) {
            items.push_back({"P" + std::to_string(p), Item::Result::NotRestored, "",
                             "not written: interrupted"});
            continue;
        }
        if (!session_.SendProgram(copy, p, error)) {
            items.push_back({"P" + std::to_string(p), Item::Result::Failed, "", "write: " + error});
            continue;
        }
        programs.push_back(p);
    }
    // Everything written is read back.
    for (const ControllerBackup::Key* key : written) {
        Item item;
        item.name = std::string(key->name);
        item.expected = ControllerBackup::ValueText(*key, file.parameters.find(key->name)->second);
        ControllerBackup::Value back;
        std::string error;
        if (!Step()) {
            item.result = Item::Result::Failed;
            item.got = "read back: interrupted";
        } else if (!ReadParameter(*key, back, error)) {
            item.result = Item::Result::Failed;
            item.got = "read back: " + error;
        } else {
            item.got = ControllerBackup::ValueText(*key, back);
            item.result =
                item.got == item.expected ? Item::Result::Verified : Item::Result::Differs;
        }
        items.push_back(std::move(item));
    }
    for (const int p : programs) {
        ProgramSet back;
        std::string error;
        if (!Step()) {
            items.push_back(
                {"P" + std::to_string(p), Item::Result::Failed, "", "read back: interrupted"});
            continue;
        }
        if (!session_.ReadProgram(back, p, error)) {
            items.push_back(
                {"P" + std::to_string(p), Item::Result::Failed, "", "read back: " + error});
            continue;
        }
        bool same = true;
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (back.Line(p, l) != file.programs.Line(p, l)) {
                same = false;
                items.push_back(
                    {"P" + std::to_string(p) + " line " + (l < 10 ? "0" : "") + std::to_string(l),
                     Item::Result::Differs, BackupComparison::LineText(file.programs, p, l),
                     BackupComparison::LineText(back, p, l)});
            }
        }
        if (same) {
            items.push_back({"P" + std::to_string(p), Item::Result::Verified, "25 lines", ""});
        }
    }
    return items;
}

std::vector<std::string> BackupSession::LeftAlone(const ControllerBackup& file,
                                                  const Selection& selection) {
    std::vector<std::string> items;
    if (selection.parameters) {
        for (const auto& key : ControllerBackup::Keys()) {
            std::string reason;
            if (key.readable && Writes(key, selection, reason) &&
                file.parameters.count(key.name) == 0) {
                items.emplace_back(key.name);
            }
        }
    }
    for (int p = 0; p < ProgramCount; ++p) {
        if (selection.programs[static_cast<std::size_t>(p)] &&
            !file.hasProgram[static_cast<std::size_t>(p)]) {
            items.push_back("P" + std::to_string(p));
        }
    }
    return items;
}

bool BackupSession::AllVerified(const std::vector<Item>& items) {
    return std::none_of(items.begin(), items.end(), [](const Item& i) {
        return i.result == Item::Result::Differs || i.result == Item::Result::Failed;
    });
}

const char* BackupSession::ResultText(Item::Result result) {
    switch (result) {
    case Item::Result::Verified:
        return "verified";
    case Item::Result::Differs:
        return "DIFFERS";
    case Item::Result::Failed:
        return "FAILED";
    case Item::Result::Unverified:
        return "unverified";
    case Item::Result::NotRestored:
        return "not restored";
    }
    return "";
}

std::string BackupSession::Table(const std::vector<Item>& items) {
    std::size_t nameWidth = 4;
    std::size_t resultWidth = 6;
    std::size_t expectedWidth = 4;
    for (const Item& i : items) {
        nameWidth = std::max(nameWidth, i.name.size());
        resultWidth = std::max(resultWidth, std::string(ResultText(i.result)).size());
        expectedWidth = std::max(expectedWidth, i.expected.size());
    }
    auto pad = [](std::string text, std::size_t width) {
        text.resize(std::max(text.size(), width), ' ');
        return text;
    };
    std::string table = pad("item", nameWidth) + "  " + pad("result", resultWidth) + "  " +
                        pad("file", expectedWidth) + "  controller\n";
    for (const Item& i : items) {
        std::string row = pad(i.name, nameWidth) + "  " + pad(ResultText(i.result), resultWidth) +
                          "  " + pad(i.expected, expectedWidth) + "  " + i.got;
        while (!row.empty() && row.back() == ' ') {
            row.pop_back();
        }
        table += row + "\n";
    }
    return table;
}
