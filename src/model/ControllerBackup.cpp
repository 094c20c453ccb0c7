#include "ControllerBackup.h"

#include "IntegerText.h"
#include "ProgramListing.h"
#include "TextTrim.h"

namespace {

constexpr std::string_view ParametersHeading = "[parameters]";
constexpr std::string_view ProgramsHeading = "[programs]";

} // namespace

const std::vector<ControllerBackup::Key>& ControllerBackup::Keys() {
    // name, min, max, readable, moves, homing, baud rates
    static const std::vector<Key> keys = {
        {"vmin", 0, 29999, true, false, false, false},
        {"vmax", 0, 29999, true, false, false, false},
        {"amax", 0, 29999, true, false, false, false},
        {"xdef", -9999999, 9999999, true, false, false, false},
        {"vdef", -29999, 29999, true, false, false, false},
        {"wdef", 0, 99999, true, false, false, false},
        {"home", -29999, 29999, true, true, true, false},
        {"vdst", -29999, 29999, true, true, false, false},
        {"xdst", -9999999, 9999999, true, true, false, false},
        {"modbus-address", 1, 247, false, false, false, false},
        {"modbus-baud", 19200, 115200, false, false, false, true},
        {"input-filter", 0, 999, false, false, false, false},
    };
    return keys;
}

const ControllerBackup::Key* ControllerBackup::FindKey(std::string_view name) {
    for (const Key& key : Keys()) {
        if (key.name == name) {
            return &key;
        }
    }
    return nullptr;
}

std::string ControllerBackup::ValueText(const Key& key, const Value& value) {
    std::string text = IntegerText::Format(value.value);
    if (key.homing) {
        text += value.contactType == 1 ? " NC" : " NO";
    }
    return text;
}

std::string ControllerBackup::Write(const std::vector<std::string>& comments) const {
    std::string text;
    for (const std::string& comment : comments) {
        text += comment.empty() ? "#\n" : "# " + comment + "\n";
    }
    text += "\n";
    text += ParametersHeading;
    text += "\n";
    for (const Key& key : Keys()) {
        const auto found = parameters.find(key.name);
        if (found != parameters.end()) {
            text += std::string(key.name) + " = " + ValueText(key, found->second) + "\n";
        }
    }
    text += "\n";
    text += ProgramsHeading;
    text += "\n";
    std::vector<int> present;
    for (int p = 0; p < ProgramCount; ++p) {
        if (hasProgram[static_cast<std::size_t>(p)]) {
            present.push_back(p);
        }
    }
    text += ProgramListing::Write(programs, present, true);
    return text;
}

bool ControllerBackup::Parse(std::string_view text, ControllerBackup& backup, Error& error) {
    enum class Section { None, Parameters, Programs } section = Section::None;
    bool sawParameters = false;
    bool sawPrograms = false;
    // The programs section with every other line blanked, so that the
    // listing's line numbers are the file's.
    std::string listing;
    int lineNumber = 0;
    auto fail = [&](std::string message) {
        error.lineNumber = lineNumber;
        error.message = std::move(message);
        return false;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view raw = text.substr(pos, end - pos);
        const std::string_view line = TextTrim::Both(raw);
        pos = end + 1;
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            listing += "\n";
            continue;
        }
        if (line == ParametersHeading || line == ProgramsHeading) {
            const bool programs = line == ProgramsHeading;
            bool& seen = programs ? sawPrograms : sawParameters;
            if (seen) {
                return fail(std::string(line) + " is given twice");
            }
            seen = true;
            section = programs ? Section::Programs : Section::Parameters;
            listing += "\n";
            continue;
        }
        if (section == Section::Programs) {
            if (line.size() == 2 && line[0] == 'P' && line[1] >= '0' && line[1] <= '9') {
                backup.hasProgram[static_cast<std::size_t>(line[1] - '0')] = true;
            }
            listing += std::string(raw) + "\n";
            continue;
        }
        listing += "\n";
        if (section == Section::None) {
            return fail("\"" + std::string(line) +
                        "\" comes before the [parameters] or [programs] section");
        }
        // key = value, optionally followed by a comment.
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return fail("\"" + std::string(line) + "\" is not \"key = value\"");
        }
        const std::string_view name = TextTrim::Both(line.substr(0, equals));
        std::string_view value = line.substr(equals + 1);
        if (const std::size_t hash = value.find('#'); hash != std::string_view::npos) {
            value = value.substr(0, hash);
        }
        value = TextTrim::Both(value);
        const Key* key = FindKey(name);
        if (key == nullptr) {
            std::string names;
            for (const Key& k : Keys()) {
                names += (names.empty() ? "" : ", ") + std::string(k.name);
            }
            return fail("unknown key \"" + std::string(name) + "\" (keys: " + names + ")");
        }
        if (backup.parameters.count(key->name) != 0) {
            return fail(std::string(key->name) + " is given twice");
        }
        Value parsed;
        std::string_view number = value;
        if (key->homing) {
            const std::size_t blank = value.find_last_of(" \t");
            const std::string_view type =
                blank == std::string_view::npos ? std::string_view() : value.substr(blank + 1);
            if (type != "NO" && type != "NC") {
                return fail("home: \"" + std::string(value) +
                            "\" is not a velocity followed by the contact type NO or NC");
            }
            parsed.contactType = type == "NC" ? 1 : 0;
            number = TextTrim::Both(value.substr(0, blank));
        }
        const std::optional<std::int32_t> n = IntegerText::Parse(number);
        if (!n) {
            return fail(std::string(key->name) + ": \"" + std::string(number) +
                        "\" is not a whole number");
        }
        if (key->baudRates ? (*n != 19200 && *n != 38400 && *n != 57600 && *n != 115200)
                           : (*n < key->min || *n > key->max)) {
            return fail(std::string(key->name) + ": " + std::string(number) + " is outside " +
                        (key->baudRates
                             ? std::string("the rates 19200, 38400, 57600, 115200")
                             : std::to_string(key->min) + " to " + std::to_string(key->max)));
        }
        parsed.value = *n;
        backup.parameters.emplace(std::string(key->name), parsed);
    }
    ProgramListing::Error listingError;
    if (!ProgramListing::Parse(listing, false, backup.programs, listingError)) {
        error.lineNumber = listingError.lineNumber;
        error.message = listingError.message;
        return false;
    }
    if (!sawParameters && !sawPrograms) {
        error.lineNumber = lineNumber;
        error.message = "no [parameters] or [programs] section: not a controller backup";
        return false;
    }
    return true;
}

ControllerBackup ControllerBackup::FromPrograms(const ProgramSet& set) {
    ControllerBackup backup;
    backup.programs = set;
    backup.hasProgram.fill(true);
    return backup;
}
