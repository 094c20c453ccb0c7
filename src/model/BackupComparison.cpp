#include "BackupComparison.h"

#include <cstdio>

#include "JsonText.h"
#include "ProgramListing.h"

BackupComparison BackupComparison::Compare(const ControllerBackup& a, const ControllerBackup& b) {
    BackupComparison c;
    for (const ControllerBackup::Key& key : ControllerBackup::Keys()) {
        const auto inA = a.parameters.find(key.name);
        const auto inB = b.parameters.find(key.name);
        if (inA == a.parameters.end() || inB == b.parameters.end()) {
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
        if (!a.hasProgram[static_cast<std::size_t>(p)] ||
            !b.hasProgram[static_cast<std::size_t>(p)]) {
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

std::string BackupComparison::Text(const std::string& aName, const std::string& bName) const {
    if (differences_.empty()) {
        return {};
    }
    std::string text = "--- " + aName + "\n+++ " + bName + "\n";
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
                       ",\"a\":" + JsonText::Quote(aName) + ",\"b\":" + JsonText::Quote(bName) +
                       ",\"differences\":[";
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
