// Any bytes as a program file: loaded, every line rendered, and the line edit
// dialog's fields filled from every line as it opens and for every command the
// operator may then pick.
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "FuzzTargets.h"
#include "LineEditFields.h"
#include "MnemonicTable.h"
#include "ProgramFile.h"

namespace {

void CheckFields(const ProgramLine& line, int c) {
    LineEditFields fields;
    fields.line = fields.prog = fields.inOut = fields.onOff = fields.noNc = 77;
    fields.number = "untouched";
    fields.FillFrom(line, c);
    const LineEditFields::Used used = LineEditFields::UsedBy(c);
    const auto check = [](bool isUsed, int value, int items) {
        FUZZ_CHECK(isUsed ? (value == LineEditFields::NoItem || (value >= 0 && value < items))
                          : value == 77);
    };
    check(used.line, fields.line, LineEditFields::LineItems);
    check(used.prog, fields.prog, LineEditFields::ProgItems);
    check(used.inOut, fields.inOut, LineEditFields::InOutItems);
    check(used.onOff, fields.onOff, LineEditFields::OnOffItems);
    check(used.noNc, fields.noNc, LineEditFields::NoNcItems);
    if (!used.number) {
        FUZZ_CHECK(fields.number == "untouched");
        return;
    }
    // Sign and one to four characters per digit byte ("-128"), never cut.
    FUZZ_CHECK(fields.number.size() >= 5 && fields.number.size() <= 29);
}

} // namespace

int FuzzProgramFile(const std::uint8_t* data, std::size_t size) {
    static const FuzzScratchFolder folder("kxp");
    static const std::string path = folder.File("set.kxp");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ProgramSet set;
    FUZZ_CHECK(ReadProgramFile(path, set));
    for (std::size_t i = 0; i < ProgramSet::Size(); ++i) {
        FUZZ_CHECK(set.Data()[i] == (i < size ? data[i] : 0xFF));
    }
    for (int p = 0; p < ProgramCount; ++p) {
        for (int l = 0; l < LinesPerProgram; ++l) {
            const ProgramLine line = set.Line(p, l);
            const std::string text = RenderLine(l, line);
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "[%02d]  ", l);
            FUZZ_CHECK(text.starts_with(prefix));
            const int code = CommandOf(line);
            FUZZ_CHECK(code >= -1 && code < CommandCount);
            if (code >= 0) {
                FUZZ_CHECK(text.compare(6, 5, MnemonicTable::Mnemonic(code)) == 0);
            }
            const int opening = LineEditFields::OpeningCode(line[0]);
            FUZZ_CHECK(opening >= 0 && opening < CommandCount);
            CheckFields(line, opening);
            // One command of each layout: the others fill alike.
            for (int c : {0, 1, 6, 7, 8, 13, 14, 16, 17}) {
                CheckFields(line, c);
            }
        }
    }
    // Saved again, the file holds the set's bytes.
    FUZZ_CHECK(WriteProgramFile(path, set));
    ProgramSet again;
    FUZZ_CHECK(ReadProgramFile(path, again));
    FUZZ_CHECK(std::equal(set.Data(), set.Data() + ProgramSet::Size(), again.Data()));
    return 0;
}
