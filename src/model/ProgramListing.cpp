#include "ProgramListing.h"

#include <array>
#include <cstdio>
#include <optional>

#include "LineEncoder.h"
#include "MnemonicTable.h"
#include "TextTrim.h"

namespace {

// A small unsigned decimal number (line, program, I/O number); nullopt for
// anything but one to three digits.
std::optional<int> SmallNumber(std::string_view token) {
    if (token.empty() || token.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : token) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return 10 + c - 'a';
    }
    if (c >= 'A' && c <= 'F') {
        return 10 + c - 'A';
    }
    return -1;
}

std::string LineName(int program, int line) {
    char text[32];
    std::snprintf(text, sizeof text, "P%d line %02d", program, line);
    return text;
}

// Parses one program line's text (after "[NN]") into fields of the dialog.
class LineParser {
public:
    LineParser(std::vector<std::string_view> tokens, bool clamp)
        : tokens_(std::move(tokens)), clamp_(clamp) {}

    bool Encode(ProgramLine& line, std::string& error) {
        if (tokens_.empty()) {
            error = "no command (write \"*****\" for an empty line)";
            return false;
        }
        const std::string_view mnemonic = tokens_[0];
        if (mnemonic.size() == 4 && mnemonic[0] == '?') {
            error = "command byte " + std::string(mnemonic.substr(1)) +
                    " is not a command the editor knows; only raw bytes can give this line";
            return false;
        }
        LineEncoder::Fields fields;
        fields.command = -1;
        for (int c = 0; c < CommandCount; ++c) {
            if (TextTrim::Right(MnemonicTable::Mnemonic(c)) == mnemonic) {
                fields.command = c;
            }
        }
        if (fields.command < 0) {
            error = "unknown command \"" + std::string(mnemonic) + "\"";
            return false;
        }
        next_ = 1;
        if (const auto rule = LineEncoder::NumberRuleOf(fields.command)) {
            if (!Number(*rule, fields.number, error)) {
                return false;
            }
            if (rule->layout == OperandLayout::Homing &&
                !Choice({"NO", "NC"}, "the contact type NO or NC", fields.noNc, error)) {
                return false;
            }
        } else {
            switch (OperandLayoutOf(fields.command)) {
            case OperandLayout::IoState:
                if (!Index(1, "I/O number", fields.inOut, error) ||
                    !Choice({"off", "on"}, "the state on or off", fields.onOff, error)) {
                    return false;
                }
                break;
            case OperandLayout::LineTarget:
                if (!Index(LinesPerProgram - 1, "line", fields.line, error)) {
                    return false;
                }
                break;
            case OperandLayout::LineIfInput:
                if (!Index(LinesPerProgram - 1, "line", fields.line, error) ||
                    !Index(1, "I/O number", fields.inOut, error) ||
                    !Choice({"off", "on"}, "the state on or off", fields.onOff, error)) {
                    return false;
                }
                break;
            case OperandLayout::ProgramTarget:
                if (!Index(ProgramCount - 1, "program", fields.program, error)) {
                    return false;
                }
                break;
            default:
                break;
            }
        }
        if (next_ < tokens_.size()) {
            error = "unexpected \"" + std::string(tokens_[next_]) + "\" after the operands of " +
                    std::string(mnemonic);
            return false;
        }
        LineEncoder::Encode(line, fields);
        return true;
    }

private:
    bool Take(const char* what, std::string_view& token, std::string& error) {
        if (next_ >= tokens_.size()) {
            error = std::string("missing ") + what;
            return false;
        }
        token = tokens_[next_++];
        return true;
    }

    bool Number(const LineEncoder::NumberRule& rule, std::int64_t& value, std::string& error) {
        std::string_view token;
        if (!Take("number", token, error)) {
            return false;
        }
        if (!LineEncoder::ParseWholeNumber(token, value)) {
            error = "\"" + std::string(token) + "\" is not a whole number";
            return false;
        }
        if (!clamp_ && (value < rule.min || value > rule.max)) {
            error = std::to_string(value) + " is outside the range " + std::to_string(rule.min) +
                    " to " + std::to_string(rule.max) + " (--clamp clamps it)";
            return false;
        }
        return true;
    }

    bool Index(int max, const char* what, std::optional<std::uint8_t>& item, std::string& error) {
        std::string_view token;
        if (!Take(what, token, error)) {
            return false;
        }
        const std::optional<int> value = SmallNumber(token);
        if (!value || *value > max) {
            error = std::string(what) + " \"" + std::string(token) +
                    "\" is outside the range 0 to " + std::to_string(max);
            return false;
        }
        item = static_cast<std::uint8_t>(*value);
        return true;
    }

    bool Choice(std::array<const char*, 2> names, const char* what,
                std::optional<std::uint8_t>& item, std::string& error) {
        std::string_view token;
        if (!Take(what, token, error)) {
            return false;
        }
        for (std::uint8_t i = 0; i < 2; ++i) {
            if (token == names[i]) {
                item = i;
                return true;
            }
        }
        error = std::string("expected ") + what + ", not \"" + std::string(token) + "\"";
        return false;
    }

    std::vector<std::string_view> tokens_;
    bool clamp_;
    std::size_t next_ = 0;
};

bool ParseRaw(std::string_view text, ProgramLine& line, std::string& error) {
    const std::vector<std::string_view> tokens = TextTrim::Words(text);
    if (tokens.size() != line.size()) {
        error = "raw bytes must be 8 hexadecimal bytes, found " + std::to_string(tokens.size()) +
                " items";
        return false;
    }
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string_view t = tokens[i];
        const int high = t.size() == 2 ? HexDigit(t[0]) : -1;
        const int low = t.size() == 2 ? HexDigit(t[1]) : -1;
        if (high < 0 || low < 0) {
            error = "raw byte \"" + std::string(t) + "\" is not two hexadecimal digits";
            return false;
        }
        line[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

} // namespace

std::string ProgramListing::RawText(const ProgramLine& line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", line[i]);
        if (i > 0) {
            text += ' ';
        }
        text += hex;
    }
    return text;
}

std::string ProgramListing::Write(const ProgramSet& set, const std::vector<int>& programs,
                                  bool raw) {
    std::string text;
    bool first = true;
    for (const int p : programs) {
        if (!first) {
            text += '\n';
        }
        first = false;
        text += "P" + std::to_string(p) + "\n";
        for (int l = 0; l < LinesPerProgram; ++l) {
            const ProgramLine line = set.Line(p, l);
            text += RenderLine(l, line);
            if (raw) {
                text += RawSeparator;
                text += RawText(line);
            }
            text += '\n';
        }
    }
    return text;
}

bool ProgramListing::Parse(std::string_view listing, bool clamp, ProgramSet& set, Error& error) {
    Coverage coverage;
    return Parse(listing, clamp, set, error, coverage);
}

bool ProgramListing::Parse(std::string_view listing, bool clamp, ProgramSet& set, Error& error,
                           Coverage& coverage) {
    coverage = Coverage{};
    int program = -1;
    int lineNumber = 0;
    auto fail = [&](std::string message) {
        error.lineNumber = lineNumber;
        error.message = std::move(message);
        return false;
    };
    std::size_t pos = 0;
    while (pos < listing.size()) {
        std::size_t end = listing.find('\n', pos);
        if (end == std::string_view::npos) {
            end = listing.size();
        }
        const std::string_view trimmed = TextTrim::Both(listing.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        if (trimmed.empty() || trimmed.front() == '#') {
            continue;
        }
        if (trimmed.front() == 'P') {
            const std::optional<int> p = SmallNumber(trimmed.substr(1));
            if (!p || *p >= ProgramCount) {
                return fail("\"" + std::string(trimmed) +
                            "\" is no program header: programs are P0 to P9");
            }
            int& header = coverage.header[static_cast<std::size_t>(*p)];
            if (header != 0) {
                return fail("P" + std::to_string(*p) + " is listed twice");
            }
            header = lineNumber;
            program = *p;
            continue;
        }
        if (trimmed.front() != '[') {
            return fail("\"" + std::string(trimmed) +
                        "\" is neither a program header (P0 to P9) nor a line ([00] to [24])");
        }
        const std::size_t close = trimmed.find(']');
        const std::optional<int> l = close == std::string_view::npos
                                         ? std::nullopt
                                         : SmallNumber(trimmed.substr(1, close - 1));
        if (!l || *l >= LinesPerProgram) {
            return fail(
                "\"" +
                std::string(trimmed.substr(0, close == std::string_view::npos ? 6 : close + 1)) +
                "\" is no line number: lines are [00] to [24]");
        }
        if (program < 0) {
            return fail("line [" + std::string(trimmed.substr(1, close - 1)) +
                        "] comes before any program header (P0 to P9)");
        }
        const std::string name = LineName(program, *l);
        int& seen = coverage.line[static_cast<std::size_t>(program)][static_cast<std::size_t>(*l)];
        if (seen != 0) {
            return fail(name + " is listed twice");
        }
        seen = lineNumber;

        std::string_view lineText = trimmed;
        std::string_view rawText;
        const std::size_t bar = trimmed.find('|');
        if (bar != std::string_view::npos) {
            lineText = TextTrim::Right(trimmed.substr(0, bar));
            rawText = trimmed.substr(bar + 1);
        }
        const std::string_view operands = TextTrim::Both(lineText.substr(close + 1));
        ProgramLine line{};
        std::string why;
        if (bar != std::string_view::npos) {
            if (!ParseRaw(rawText, line, why)) {
                return fail(name + ": " + why);
            }
            const std::string shown(TextTrim::Right(RenderLine(*l, line)));
            if (!operands.empty() && TextTrim::Words(shown) != TextTrim::Words(lineText)) {
                return fail(name + ": the text \"" + std::string(lineText) +
                            "\" and the raw bytes disagree; the bytes read \"" + shown + "\"");
            }
        } else {
            LineParser parser(TextTrim::Words(operands), clamp);
            if (!parser.Encode(line, why)) {
                return fail(name + ": " + why);
            }
        }
        set.SetLine(program, *l, line);
    }
    return true;
}
