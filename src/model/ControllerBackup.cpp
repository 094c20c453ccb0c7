#include "ControllerBackup.h"

#include <algorithm>

#include "IntegerText.h"
#include "ProgramListing.h"
#include "TextTrim.h"

namespace {

constexpr std::string_view ParametersHeading = "[parameters]";
constexpr std::string_view ProgramsHeading = "[programs]";
constexpr std::string_view BackupHeading = "[backup]";
constexpr std::string_view EndHeading = "[end]";
constexpr std::string_view LimitsHeading = "[limits]";

std::string ProgramName(int p) {
    return "P" + std::to_string(p);
}

std::string LineLabel(int l) {
    return std::string(l < 10 ? "[0" : "[") + std::to_string(l) + "]";
}

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
    std::vector<int> present;
    for (int p = 0; p < ProgramCount; ++p) {
        if (hasProgram[static_cast<std::size_t>(p)]) {
            present.push_back(p);
        }
    }
    text += "\n";
    text += BackupHeading;
    text += "\nparameters =";
    for (const Key& key : Keys()) {
        if (parameters.count(key.name) != 0) {
            text += " " + std::string(key.name);
        }
    }
    text += "\nprograms =";
    for (const int p : present) {
        text += " " + ProgramName(p);
    }
    text += "\n\n";
    text += ParametersHeading;
    text += "\n";
    for (const Key& key : Keys()) {
        const auto found = parameters.find(key.name);
        if (found != parameters.end()) {
            text += std::string(key.name) + " = " + ValueText(key, found->second) + "\n";
        }
    }
    text += "\n";
    if (limits) {
        text += LimitsHeading;
        text += "\n# the travel limits kept on the PC, not in the controller\n";
        text += "min = " + IntegerText::Format(limits->min) + "\n";
        text += "max = " + IntegerText::Format(limits->max) + "\n";
        if (limits->vmax) {
            text += "vmax = " + IntegerText::Format(*limits->vmax) + "\n";
        }
        text += "\n";
    }
    text += ProgramsHeading;
    text += "\n";
    text += ProgramListing::Write(programs, present, true);
    text += "\n";
    text += EndHeading;
    text += "\n";
    return text;
}

bool ControllerBackup::Parse(std::string_view text, ControllerBackup& backup, Error& error) {
    enum class Section { None, Backup, Parameters, Limits, Programs, End } section = Section::None;
    bool sawParameters = false;
    int limitsAt = 0;
    std::map<std::string, std::int32_t, std::less<>> limitValues;
    bool sawPrograms = false;
    // What [backup] says the file holds, and where it says so.
    int declaredAt = 0;
    std::optional<std::vector<std::string>> declaredParameters;
    std::optional<std::vector<int>> declaredPrograms;
    int endAt = 0;
    // The programs section with every other line blanked, so that the
    // listing's line numbers are the file's.
    std::string listing;
    int lineNumber = 0;
    int lastLine = 0; // the last line that is neither blank nor a comment
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
        lastLine = lineNumber;
        if (section == Section::End) {
            return fail("\"" + std::string(line) + "\" follows [end] on line " +
                        std::to_string(endAt) + ": nothing but comments may come after it");
        }
        if (line == BackupHeading) {
            if (declaredAt != 0) {
                return fail("[backup] is given twice");
            }
            if (section != Section::None) {
                return fail("[backup] must come before [parameters] and [programs]");
            }
            declaredAt = lineNumber;
            section = Section::Backup;
            listing += "\n";
            continue;
        }
        if (line == EndHeading) {
            endAt = lineNumber;
            section = Section::End;
            listing += "\n";
            continue;
        }
        if (line == LimitsHeading) {
            if (limitsAt != 0) {
                return fail("[limits] is given twice");
            }
            if (section == Section::None || section == Section::Backup) {
                return fail("[limits] must come after [parameters] or [programs]");
            }
            limitsAt = lineNumber;
            section = Section::Limits;
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
        if (section == Section::Backup) {
            if (name == "parameters") {
                if (declaredParameters) {
                    return fail("parameters is given twice in [backup]");
                }
                declaredParameters.emplace();
                for (const std::string_view word : TextTrim::Words(value)) {
                    if (FindKey(word) == nullptr) {
                        return fail("[backup] names the unknown parameter \"" + std::string(word) +
                                    "\"");
                    }
                    declaredParameters->emplace_back(word);
                }
            } else if (name == "programs") {
                if (declaredPrograms) {
                    return fail("programs is given twice in [backup]");
                }
                declaredPrograms.emplace();
                for (const std::string_view word : TextTrim::Words(value)) {
                    if (word.size() != 2 || word[0] != 'P' || word[1] < '0' || word[1] > '9') {
                        return fail("[backup] names \"" + std::string(word) +
                                    "\", which is no program (P0 to P9)");
                    }
                    declaredPrograms->push_back(word[1] - '0');
                }
            } else {
                return fail("unknown key \"" + std::string(name) +
                            "\" in [backup] (keys: parameters, programs)");
            }
            continue;
        }
        if (section == Section::Limits) {
            if (name != "min" && name != "max" && name != "vmax") {
                return fail("unknown key \"" + std::string(name) +
                            "\" in [limits] (keys: min, max, vmax)");
            }
            const std::optional<std::int32_t> n = IntegerText::Parse(value);
            if (!n || (name == "vmax" && *n <= 0)) {
                return fail(std::string(name) + ": \"" + std::string(value) + "\" is not " +
                            (name == "vmax" ? "a velocity above 0" : "a position"));
            }
            if (!limitValues.emplace(std::string(name), *n).second) {
                return fail(std::string(name) + " is given twice in [limits]");
            }
            continue;
        }
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
    if (limitsAt != 0) {
        const auto min = limitValues.find("min");
        const auto max = limitValues.find("max");
        if (min == limitValues.end() || max == limitValues.end() || min->second > max->second) {
            error.lineNumber = limitsAt;
            error.message = "[limits] needs min and max, min not above max";
            return false;
        }
        TravelLimits limits;
        limits.min = min->second;
        limits.max = max->second;
        if (const auto vmax = limitValues.find("vmax"); vmax != limitValues.end()) {
            limits.vmax = vmax->second;
        }
        backup.limits = limits;
    }
    ProgramListing::Error listingError;
    ProgramListing::Coverage coverage;
    if (!ProgramListing::Parse(listing, false, backup.programs, listingError, coverage)) {
        error.lineNumber = listingError.lineNumber;
        error.message = listingError.message;
        return false;
    }
    for (int p = 0; p < ProgramCount; ++p) {
        backup.hasProgram[static_cast<std::size_t>(p)] =
            coverage.header[static_cast<std::size_t>(p)] != 0;
    }
    // Where the text stops: a cut file ends there.
    const int stop = lastLine != 0 ? lastLine : lineNumber;
    if (declaredAt != 0 && endAt == 0) {
        error.lineNumber = stop;
        error.message = "the file ends at line " + std::to_string(stop) +
                        " without the [end] line its [backup] section (line " +
                        std::to_string(declaredAt) +
                        ") promises: it is cut short, and nothing of it is used";
        return false;
    }
    // In the tool's own files a program lists every line: one that lacks lines
    // is cut or damaged, and restoring it would blank them. A hand-written
    // program may leave lines out; they are empty.
    for (int p = 0; p < ProgramCount; ++p) {
        const int header = coverage.header[static_cast<std::size_t>(p)];
        const auto& lines = coverage.line[static_cast<std::size_t>(p)];
        int& listed = backup.listedLines[static_cast<std::size_t>(p)];
        listed = static_cast<int>(
            std::count_if(lines.begin(), lines.end(), [](int at) { return at != 0; }));
        if (header == 0 || declaredAt == 0 || listed == LinesPerProgram) {
            continue;
        }
        int after = header;
        for (int l = 0; l < LinesPerProgram; ++l) {
            const int at = lines[static_cast<std::size_t>(l)];
            if (at != 0) {
                after = at;
                continue;
            }
            int missing = 0;
            for (int m = l; m < LinesPerProgram; ++m) {
                missing += lines[static_cast<std::size_t>(m)] == 0 ? 1 : 0;
            }
            error.lineNumber = after;
            error.message = ProgramName(p) + " (line " + std::to_string(header) + ") lacks " +
                            LineLabel(l) +
                            (missing > 1 ? " and " + std::to_string(missing - 1) + " more" : "") +
                            ": a program in a backup the tool wrote lists all 25 lines [00] to "
                            "[24]; the file is cut short or damaged, and nothing of it is used";
            return false;
        }
    }
    if (declaredAt != 0) {
        if (!declaredParameters || !declaredPrograms) {
            error.lineNumber = declaredAt;
            error.message = std::string("[backup] does not say which ") +
                            (declaredParameters ? "programs" : "parameters") +
                            " the file holds (\"" +
                            (declaredParameters ? "programs" : "parameters") + " = ...\")";
            return false;
        }
        std::string lacking;
        for (const std::string& name : *declaredParameters) {
            if (backup.parameters.count(name) == 0) {
                lacking += (lacking.empty() ? "" : ", ") + name;
            }
        }
        for (const int p : *declaredPrograms) {
            if (!backup.hasProgram[static_cast<std::size_t>(p)]) {
                lacking += (lacking.empty() ? "" : ", ") + ProgramName(p);
            }
        }
        if (!lacking.empty()) {
            error.lineNumber = endAt;
            error.message = "the file lacks " + lacking + ", which its [backup] section (line " +
                            std::to_string(declaredAt) +
                            ") names: it is damaged, and nothing of it is used";
            return false;
        }
    }
    if (!sawParameters && !sawPrograms) {
        error.lineNumber = std::max(lineNumber, 1); // an empty file: its first line
        error.message = "no [parameters] or [programs] section: not a controller backup";
        return false;
    }
    return true;
}

ControllerBackup ControllerBackup::FromPrograms(const ProgramSet& set) {
    ControllerBackup backup;
    backup.programs = set;
    backup.hasProgram.fill(true);
    backup.listedLines.fill(LinesPerProgram);
    return backup;
}

std::vector<std::string> ControllerBackup::DropUnreadable() {
    std::vector<std::string> dropped;
    for (const auto& key : Keys()) {
        if (!key.readable && parameters.erase(std::string(key.name)) != 0) {
            dropped.emplace_back(key.name);
        }
    }
    return dropped;
}
