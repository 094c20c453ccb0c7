#include "LineBlockText.h"

#include <algorithm>
#include <array>
#include <optional>

#include "TextTrim.h"

namespace {

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == 'P' &&
           std::all_of(line.begin() + 1, line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number of "[NN]" at the start of a line, when it is one.
std::optional<int> LineNumberOf(std::string_view line) {
    const std::size_t close = line.find(']');
    if (line.empty() || line.front() != '[' || close == std::string_view::npos || close < 2 ||
        close > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : line.substr(1, close - 1)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

char Digit(int value) {
    return static_cast<char>('0' + value);
}

// The text as a listing of program 0 with every line numbered; the numbers
// of the lines it gives. Returns false with an error the listing's own parse
// would not name.
struct Normalised {
    std::string listing;
    int header = -1; // the program the text names, -1 without header
    std::vector<int> numbers;
    // Each program line's text as given, "[NN]" in front.
    std::array<std::string, LinesPerProgram> texts;
};

bool Normalise(std::string_view text, Normalised& out, LineBlockText::Error& error) {
    int lineNumber = 0;
    int next = 0;
    int firstUnnumbered = 0; // the first "[..." line without a line number
    std::string_view unnumbered;
    out.listing = "P0\n";
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = TextTrim::Both(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            out.listing += '\n';
            continue;
        }
        if (IsHeader(line)) {
            if (out.header >= 0) {
                error = {lineNumber, "the text holds more than one program; take one at a time"};
                return false;
            }
            const std::optional<int> program =
                line.size() <= 3 ? std::optional<int>(std::stoi(std::string(line.substr(1))))
                                 : std::nullopt;
            if (!program || *program >= ProgramCount) {
                error = {lineNumber, "\"" + std::string(line) +
                                         "\" is no program header: programs are P0 to P9"};
                return false;
            }
            out.header = *program;
            out.listing += '\n';
            continue;
        }
        std::string numbered(line);
        std::optional<int> number = LineNumberOf(line);
        if (!number && line.front() != '[') {
            if (next >= LinesPerProgram) {
                error = {lineNumber, "a line without a number follows line 24"};
                return false;
            }
            number = next;
            numbered = std::string("[") + Digit(next / 10) + Digit(next % 10) + "]  " + numbered;
        }
        if (number) {
            out.numbers.push_back(*number);
            next = *number + 1;
            if (*number >= 0 && *number < LinesPerProgram) {
                out.texts[static_cast<std::size_t>(*number)] = numbered;
            }
        } else if (firstUnnumbered == 0) {
            firstUnnumbered = lineNumber;
            const std::size_t close = line.find(']');
            unnumbered = TextTrim::Right(line.substr(
                0, std::min<std::size_t>(close == std::string_view::npos ? 6 : close + 1, 6)));
        }
        out.listing += numbered + '\n';
    }
    if (out.numbers.empty() && firstUnnumbered > 0) {
        // Not "no lines": a line that starts as one but has no line number.
        error = {firstUnnumbered,
                 "\"" + std::string(unnumbered) + "\" is no line number: lines are [00] to [24]"};
        return false;
    }
    if (out.numbers.empty()) {
        error = {0, "the text holds no program lines"};
        return false;
    }
    return true;
}

} // namespace

std::string LineBlockText::Write(const ProgramSet& set, int program, int first, int last) {
    std::string text = "P" + std::to_string(program) + "\n";
    for (int l = first; l <= last; ++l) {
        const ProgramLine line = set.Line(program, l);
        text += RenderLine(l, line);
        text += ProgramListing::RawSeparator;
        text += ProgramListing::RawText(line);
        text += '\n';
    }
    return text;
}

std::string LineBlockText::WritePlain(const ProgramSet& set, int program) {
    std::string text;
    for (int l = 0; l < LinesPerProgram; ++l) {
        text += RenderLine(l, set.Line(program, l));
        text += '\n';
    }
    return text;
}

bool LineBlockText::Parse(std::string_view text, Block& block, Error& error) {
    Normalised normalised;
    if (!Normalise(text, normalised, error)) {
        return false;
    }
    ProgramSet scratch;
    if (!ProgramListing::Parse(normalised.listing, false, scratch, error)) {
        // The listing has one line more than the text: its header.
        error.lineNumber = std::max(0, error.lineNumber - 1);
        // It names program 0; the text named its own program or none.
        const std::string own =
            normalised.header >= 0 ? "P" + std::to_string(normalised.header) : std::string("line");
        if (error.message.rfind("P0 line", 0) == 0) {
            error.message =
                normalised.header >= 0 ? own + error.message.substr(2) : error.message.substr(3);
        }
        return false;
    }
    const auto [low, high] =
        std::minmax_element(normalised.numbers.begin(), normalised.numbers.end());
    block.first = *low;
    block.lines.clear();
    for (int l = *low; l <= *high; ++l) {
        block.lines.push_back(scratch.Line(0, l));
    }
    return true;
}

bool LineBlockText::ParseProgram(std::string_view text, const ProgramSet& set, int program,
                                 ProgramLines& lines, Error& error) {
    Block block;
    if (!Parse(text, block, error)) {
        return false;
    }
    Normalised normalised;
    Normalise(text, normalised, error); // it parsed above
    lines = {};
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const int l = block.first + static_cast<int>(i);
        const ProgramLine present = set.Line(program, l);
        const std::string shown = RenderLine(l, present);
        // A line left as the view showed it keeps its bytes, also where its
        // text does not encode them again (a digit byte above 9 shows as two
        // digits, which the editor would read as another number).
        const bool unchanged = TextTrim::Words(normalised.texts[static_cast<std::size_t>(l)]) ==
                                   TextTrim::Words(shown) ||
                               RenderLine(l, block.lines[i]) == shown;
        lines[static_cast<std::size_t>(l)] = unchanged ? present : block.lines[i];
    }
    return true;
}
