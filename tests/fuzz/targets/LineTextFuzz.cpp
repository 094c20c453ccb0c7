// Any bytes as the text the editor takes from the clipboard ("Wklej linie")
// or from its text view ("Edytuj jako tekst…"): an error with its line, or
// lines within the program that, written as the editor writes them, read back
// as the same lines; the program so made is checked as "Sprawdź program"
// checks it, every finding within the program's lines. Byte 0 chooses the
// program and the bytes of the program the text view starts from.
#include <string_view>

#include "FuzzTargets.h"
#include "LineBlockText.h"
#include "ProgramCheck.h"

int FuzzLineText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int program = data[0] % ProgramCount;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    // The program shown: the input's own bytes, as far as they go.
    ProgramSet shown;
    for (std::size_t i = 0; i < static_cast<std::size_t>(ProgramBytes) && i + 1 < size; ++i) {
        shown.LineBytes(program, 0)[i] = data[i + 1];
    }

    LineBlockText::Block block;
    LineBlockText::Error error;
    if (LineBlockText::Parse(text, block, error)) {
        FUZZ_CHECK(block.first >= 0);
        FUZZ_CHECK(block.first + static_cast<int>(block.lines.size()) <= LinesPerProgram);
        if (!block.lines.empty()) {
            ProgramSet set;
            for (std::size_t i = 0; i < block.lines.size(); ++i) {
                set.SetLine(program, block.first + static_cast<int>(i), block.lines[i]);
            }
            const int last = block.first + static_cast<int>(block.lines.size()) - 1;
            LineBlockText::Block again;
            FUZZ_CHECK(LineBlockText::Parse(LineBlockText::Write(set, program, block.first, last),
                                            again, error));
            FUZZ_CHECK(again.first == block.first && again.lines == block.lines);
        }
    } else {
        // Line 0 only for what concerns the whole text.
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(error.lineNumber >= 1 || error.message == "the text holds no program lines");
    }

    LineBlockText::ProgramLines lines;
    if (!LineBlockText::ParseProgram(text, shown, program, lines, error)) {
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(error.lineNumber >= 1 || error.message == "the text holds no program lines");
        return 0;
    }
    ProgramSet set;
    for (int l = 0; l < LinesPerProgram; ++l) {
        set.SetLine(program, l, lines[static_cast<std::size_t>(l)]);
    }
    LineBlockText::ProgramLines again;
    FUZZ_CHECK(LineBlockText::ParseProgram(
        LineBlockText::Write(set, program, 0, LinesPerProgram - 1), set, program, again, error));
    FUZZ_CHECK(again == lines);
    // The text view of the program applied unchanged changes nothing.
    if (LineBlockText::ParseProgram(LineBlockText::WritePlain(set, program), set, program, again,
                                    error)) {
        FUZZ_CHECK(again == lines);
    }
    for (const ProgramCheck::Finding& f : ProgramCheck::CheckProgram(set, program)) {
        FUZZ_CHECK(f.program >= 0 && f.program < ProgramCount);
        FUZZ_CHECK(f.line >= 0 && f.LastLine() < LinesPerProgram && f.LastLine() >= f.line);
        FUZZ_CHECK(!f.polish.empty() && !f.english.empty());
    }
    return 0;
}
