#include "BackupComparison.h"

#include <cstdio>

#include "JsonText.h"
#include "ProgramListing.h"

BackupComparison BackupComparison::Compare(const ControllerBackup& a, const ControllerBackup& b) {
    BackupComparison c;
    c.aParameters_ = !a.parameters.empty();
    c.bParameters_ = !b.parameters.empty();
    for (int p = 0; p < ProgramCount; ++p) {
        c.aPrograms_ = c.aPrograms_ || a.hasProgram[static_cast<std::size_t>(p)];
        c.bPrograms_ = c.bPrograms_ || b.hasProgram[static_cast<std::size_t>(p)];
    }
    for (const ControllerBackup::Key& key : ControllerBackup::Keys()) {
        const auto inA = a.parameters.find(key.name);
        const auto inB = b.parameters.find(key.name);
        if (inA == a.parameters.end() || inB == b.parameters.end()) {
            if (inA != a.parameters.end()) {
                c.onlyInA_.emplace_back(key.name);
            } else if (inB != b.parameters.end()) {
                c.onlyInB_.emplace_back(key.name);
            }
            continue;
        }
        ++c.comparedParameters_;
        if (!(inA->second == inB->second)) {
            Difference d;
            d.key = std::string(key.name);
            d.a = ControllerBackup::ValueText(key, inA->second);
            d.b = ControllerBackup::ValueText(key, inB->second);
            c.differences_.push_back(std::move(d));
        }
    }
    for (int p = 0; p < ProgramCount; ++p) {
        const bool inA = a.hasProgram[static_cast<std::size_t>(p)];
        const bool inB = b.hasProgram[static_cast<std::size_t>(p)];
        if (!inA || !inB) {
            if (inA) {
                c.onlyInA_.push_back("P" + std::to_string(p));
            } else if (inB) {
                c.onlyInB_.push_back("P" + std::to_string(p));
            }
            continue;
        }
        ++c.comparedPrograms_;
        for (int l = 0; l < LinesPerProgram; ++l) {
            if (a.programs.Line(p, l) != b.programs.Line(p, l)) {
                Difference d;
                d.program = p;
                d.line = l;
                d.a = LineText(a.programs, p, l);
                d.b = LineText(b.programs, p, l);
                c.differences_.push_back(std::move(d));
            }
        }
    }
    return c;
}

std::string BackupComparison::ItemName(const Difference& difference) {
    if (!difference.key.empty()) {
        return difference.key;
    }
    char text[32];
    std::snprintf(text, sizeof text, "P%d line %02d", difference.program, difference.line);
    return text;
}

std::string BackupComparison::LineText(const ProgramSet& set, int program, int line) {
    std::string text = RenderLine(line, set.Line(program, line));
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text + std::string(ProgramListing::RawSeparator) +
           ProgramListing::RawText(set.Line(program, line));
}

namespace {

bool IsProgram(const std::string& item) {
    return !item.empty() && item.front() == 'P';
}

// "only in NAME: vmin, xdef" and "no [parameters] in OTHER" for what one side
// alone holds; hasParameters/hasPrograms: whether the other side holds any.
std::string OneSided(const std::vector<std::string>& items, const std::string& name,
                     const std::string& other, bool otherHasParameters, bool otherHasPrograms) {
    std::string text;
    for (const bool programs : {false, true}) {
        std::string list;
        for (const std::string& item : items) {
            if (IsProgram(item) == programs) {
                list += (list.empty() ? "" : ", ") + item;
            }
        }
        if (list.empty()) {
            continue;
        }
        const bool otherHasNone = programs ? !otherHasPrograms : !otherHasParameters;
        if (otherHasNone) {
            text += std::string("no ") + (programs ? "[programs]" : "[parameters]") + " in " +
                    other + " (only in " + name + ": " + list + ")\n";
        } else {
            text += "only in " + name + ": " + list + "\n";
        }
    }
    return text;
}

} // namespace

std::string BackupComparison::Summary() const {
    std::string text;
    const std::size_t n = differences_.size();
    if (n > 0) {
        text = std::to_string(n) + " difference" + (n == 1 ? "" : "s");
    }
    const std::size_t m = onlyInA_.size() + onlyInB_.size();
    if (m > 0) {
        text += (text.empty() ? "" : ", ") + std::to_string(m) + " item" + (m == 1 ? "" : "s") +
                " only in one of the two";
    }
    return text;
}

std::string BackupComparison::Text(const std::string& aName, const std::string& bName) const {
    if (Same()) {
        return {};
    }
    std::string text = "--- " + aName + "\n+++ " + bName + "\n";
    text += OneSided(onlyInA_, aName, bName, bParameters_, bPrograms_);
    text += OneSided(onlyInB_, bName, aName, aParameters_, aPrograms_);
    int program = -2;
    for (const Difference& d : differences_) {
        if (d.key.empty()) {
            if (d.program != program) {
                text += "@@ P" + std::to_string(d.program) + " @@\n";
                program = d.program;
            }
            text += "-" + d.a + "\n+" + d.b + "\n";
        } else {
            if (program != -1) {
                text += "@@ parameters @@\n";
                program = -1;
            }
            text += "-" + d.key + " = " + d.a + "\n+" + d.key + " = " + d.b + "\n";
        }
    }
    return text;
}

std::string BackupComparison::Json(const std::string& aName, const std::string& bName) const {
    std::string json = std::string("{\"same\":") + (Same() ? "true" : "false") +
                       ",\"a\":" + JsonText::Quote(aName) + ",\"b\":" + JsonText::Quote(bName);
    for (const bool a : {true, false}) {
        json += a ? ",\"onlyInA\":[" : "],\"onlyInB\":[";
        bool firstItem = true;
        for (const std::string& item : a ? onlyInA_ : onlyInB_) {
            json += (firstItem ? "" : ",") + JsonText::Quote(item);
            firstItem = false;
        }
    }
    json += "],\"differences\":[";
    bool first = true;
    for (const Difference& d : differences_) {
        json += first ? "{" : ",{";
        first = false;
        json += "\"item\":" + JsonText::Quote(ItemName(d));
        if (d.key.empty()) {
            json +=
                ",\"program\":" + std::to_string(d.program) + ",\"line\":" + std::to_string(d.line);
        } else {
            json += ",\"parameter\":" + JsonText::Quote(d.key);
        }
        json += ",\"a\":" + JsonText::Quote(d.a) + ",\"b\":" + JsonText::Quote(d.b) + "}";
    }
    return json + "]}\n";
}
