// kxrd4-cli list and build: the listing shows the editor's labels, a raw
// listing builds back the identical file, and bad input never leaves a file.

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "FileAccess.h"
#include "ProgramSet.h"
#include "TextEncoding.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A random program file: each line either a known command with random
// operand bytes or a random (often unknown) command byte.
std::string RandomFile(unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(ProgramSetBytes, '\0');
    for (int i = 0; i < ProgramSetBytes; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(random() % 256);
        if (i % 8 == 0 && random() % 2 == 0) {
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(random() % CommandCount);
        }
    }
    return bytes;
}

TEST(CliListing, ListShowsTheEditorsLabelsAndRawListingBuildsTheSameBytes) {
    CliRig rig;
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const std::string file = RandomFile(seed);
        rig.WriteFile("in.kxp", file);
        ProgramSet set;
        std::copy(file.begin(), file.end(), reinterpret_cast<char*>(set.Data()));

        const CliResult plain = rig.Tool({"list", rig.Path("in.kxp")});
        ASSERT_EQ(plain.status, 0) << plain.err;
        const auto lines = Lines(plain.out);
        std::size_t i = 0;
        for (int p = 0; p < ProgramCount; ++p) {
            if (p > 0) {
                ASSERT_EQ(lines.at(i++), "");
            }
            ASSERT_EQ(lines.at(i++), "P" + std::to_string(p));
            for (int l = 0; l < LinesPerProgram; ++l) {
                ASSERT_EQ(lines.at(i++), ExportListing(set, p)[static_cast<std::size_t>(l)]);
            }
        }
        EXPECT_EQ(i, lines.size());

        const CliResult raw = rig.Tool({"list", rig.Path("in.kxp"), "--raw"});
        ASSERT_EQ(raw.status, 0) << raw.err;
        rig.WriteFile("listing.txt", raw.out);
        const CliResult built =
            rig.Tool({"build", rig.Path("listing.txt"), "-o", rig.Path("out.kxp")});
        ASSERT_EQ(built.status, 0) << built.err;
        EXPECT_EQ(rig.ReadFile("out.kxp"), file) << "seed " << seed;
    }
    // One program only.
    const CliResult one = rig.Tool({"list", rig.Path("in.kxp"), "-p", "7", "--raw"});
    ASSERT_EQ(one.status, 0);
    EXPECT_EQ(Lines(one.out).size(), 26u);
    EXPECT_EQ(Lines(one.out)[0], "P7");
}

TEST(CliListing, TextLinesAreEncodedAsTheLineEditorEncodesThem) {
    CliRig rig;
    rig.WriteFile("prog.txt", "# a hand-written program\n"
                              "P2\n"
                              "[00]  V_MAX  500\n"
                              "[01]  V_DST  +01200\n"
                              "[02]  X_DST  -250\n"
                              "[03]  X_DST  +0000250\n"
                              "[04]  HOME   300  NC\n"
                              "[05]  S_OUT      1  on\n"
                              "[06]  J_INP  03  0  off\n"
                              "[07]  PROG   9\n"
                              "[08]  X_DST  0\n"
                              "[09]  M_EN\n"
                              "[24]  END\n"
                              "\n"
                              "P9\n"
                              "[12] | 2A 01 02 03 04 05 06 07\n"
                              "[13]  ?042 | 2A 00 00 00 00 00 00 00\n");
    const CliResult r = rig.Tool({"build", rig.Path("prog.txt"), "-o", rig.Path("p.kxp")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = rig.ReadFile("p.kxp");
    ASSERT_EQ(file.size(), 2000u);
    auto line = [&](int p, int l) {
        return file.substr(static_cast<std::size_t>(p * 200 + l * 8), 8);
    };
    using S = std::string;
    EXPECT_EQ(line(2, 0), S("\x01\x00\x00\x05\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 1), S("\x06\x01\x00\x01\x02\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 2), S("\x07\x00\x00\x00\x00\x02\x05\x00", 8));
    EXPECT_EQ(line(2, 3), S("\x6B\x00\x00\x00\x00\x02\x05\x00", 8));
    EXPECT_EQ(line(2, 4), S("\x08\x01\x00\x00\x03\x00\x00\x01", 8));
    EXPECT_EQ(line(2, 5), S("\x0D\x01\x01\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 6), S("\x10\x03\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 7), S("\x11\x09\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 8), S("\x07\x00\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 9), S("\x04\x00\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(2, 24), S("\x14\x00\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(line(9, 12), S("\x2A\x01\x02\x03\x04\x05\x06\x07", 8));
    EXPECT_EQ(line(9, 13), S("\x2A\x00\x00\x00\x00\x00\x00\x00", 8));
    // Everything not listed is empty.
    EXPECT_EQ(std::count(file.begin(), file.end(), '\0'), 2000 - 35);

    // --clamp clamps as the dialog does.
    rig.WriteFile("big.txt", "P0\n[00]  V_MAX  40000\n[01]  W_TIM  123456\n[02]  A_MAX  -5\n");
    ASSERT_EQ(rig.Tool({"build", rig.Path("big.txt"), "-o", rig.Path("b.kxp"), "--clamp"}).status,
              0);
    EXPECT_EQ(rig.ReadFile("b.kxp").substr(0, 24), S("\x01\x02\x09\x09\x09\x09\x00\x00"
                                                     "\x12\x09\x09\x09\x09\x09\x00\x00"
                                                     "\x03\x00\x00\x00\x00\x00\x00\x00",
                                                     24));
}

TEST(CliListing, BadListingsNameTheLineAndLeaveNoFile) {
    struct Case {
        const char* listing;
        const char* message; // part of the error
    } cases[] = {
        {"P0\n[00]  V_MAX  40000\n",
         "prog.txt:2: P0 line 00: 40000 is outside the range 0 to 29999"},
        {"P0\n[03]  X_DST  -10000000\n",
         "P0 line 03: -10000000 is outside the range -9999999 to 9999999"},
        {"P0\n[00]  V_MAX  12x\n", "\"12x\" is not a whole number"},
        {"P0\n[00]  V_MAX\n", "missing number"},
        {"P0\n[00]  V_MAX  5 6\n", "unexpected \"6\""},
        {"P0\n[00]  JUMP  5\n", "unknown command \"JUMP\""},
        {"P0\n[00]  HOME   300  NX\n", "expected the contact type NO or NC"},
        {"P0\n[00]  J_LIN  25\n", "line \"25\" is outside the range 0 to 24"},
        {"P0\n[00]  PROG   10\n", "program \"10\" is outside the range 0 to 9"},
        {"P0\n[00]  S_OUT  2  on\n", "I/O number \"2\" is outside the range 0 to 1"},
        {"P0\n[00]  ?042\n", "only raw bytes can give this line"},
        {"P0\n[25]  END\n", "lines are [00] to [24]"},
        {"P10\n", "programs are P0 to P9"},
        {"[00]  END\n", "before any program header"},
        {"P1\n[04]  END\nP1\n", "prog.txt:3: P1 is listed twice"},
        {"P1\n[04]  END\n[04]  END\n", "P1 line 04 is listed twice"},
        {"hello\n", "neither a program header"},
        {"P0\n[00]  V_MAX  00500 | 01 00 00 05 00 01 00 00\n", "raw bytes disagree"},
        {"P0\n[00]  V_MAX  00600 | 01 00 00 05 00 00 00 00\n",
         "the bytes read \"[00]  V_MAX  00500\""},
        {"P0\n[00] | 01 00 00 05 00 00 00\n", "8 hexadecimal bytes"},
        {"P0\n[00] | 01 00 00 05 00 00 00 0G\n", "\"0G\" is not two hexadecimal digits"},
    };
    CliRig rig;
    const std::string old(2000, '\x11');
    for (const Case& c : cases) {
        rig.WriteFile("prog.txt", c.listing);
        rig.WriteFile("old.kxp", old);
        const CliResult r = rig.Tool({"build", rig.Path("prog.txt"), "-o", rig.Path("old.kxp")});
        EXPECT_EQ(r.status, 1) << c.listing;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.listing << "\n" << r.err;
        EXPECT_EQ(rig.ReadFile("old.kxp"), old) << c.listing;
        EXPECT_FALSE(rig.Tool({"build", rig.Path("prog.txt"), "-o", rig.Path("new.kxp")}).status ==
                     0);
        EXPECT_FALSE(rig.Exists("new.kxp")) << c.listing;
    }
}

TEST(CliListing, BadFilesAndArgumentsNameTheCause) {
    CliRig rig;
    rig.WriteFile("short.kxp", std::string(1000, '\0'));
    rig.WriteFile("long.kxp", std::string(2500, '\0'));
    rig.WriteFile("ok.kxp", std::string(2000, '\0'));
    rig.WriteFile("empty.txt", "P0\n[00]  *****\n");
    std::filesystem::create_directory(rig.Path("folder"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"list", rig.Path("missing.kxp")}, 1, "no such file"},
        {{"list", rig.Path("short.kxp")}, 1, "it has 1000 bytes, a program file has exactly 2000"},
        {{"list", rig.Path("long.kxp")}, 1, "more than 2000"},
        {{"list", rig.Path("folder")}, 1, "cannot read " + rig.Path("folder") + ": it is a folder"},
        {{"build", rig.Path("missing.txt"), "-o", rig.Path("x.kxp")}, 1, "no such file"},
        {{"build", rig.Path("empty.txt"), "-o", rig.Path("folder")}, 1, "cannot write"},
        {{"list", rig.Path("ok.kxp"), "-p", "10"},
         2,
         "the program number must be 0 to 9, not \"10\""},
        {{"list", rig.Path("ok.kxp"), "-p", "-1"}, 2, "the program number must be 0 to 9"},
        {{"list", rig.Path("ok.kxp"), "-p"}, 2, "-p needs a value"},
        {{"list"}, 2, "usage: kxrd4-cli list FILE.kxp"},
        {{"build", rig.Path("ok.kxp")}, 2, "build needs -o FILE.kxp"},
        {{"list", rig.Path("ok.kxp"), "--verify"}, 2, "list does not take --verify"},
        {{"list", rig.Path("ok.kxp"), "--bogus"}, 2, "unknown option \"--bogus\""},
        {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        {{}, 2, "no command given"},
        {{"send", rig.Path("ok.kxp")}, 2, "send needs -p N"},
        {{"get", "speed"}, 2, "unknown parameter \"speed\""},
        {{"get", "modbus-baud"}, 2, "modbus-baud cannot be read"},
        {{"set", "vmin", "abc"}, 2, "\"abc\" is not a whole number"},
        {{"set", "modbus-baud", "12345"}, 2, "the rates are 19200, 38400, 57600 and 115200"},
        {{"set", "modbus-address", "248"}, 2, "the values are 1 to 247"},
        {{"set", "home", "100", "XX"}, 2, "the contact type is NO or NC"},
        {{"enable", "maybe"}, 2, "enable takes on or off"},
        {{"watch", "--seconds", "-1"}, 2, "not a positive number of seconds"},
        {{"status", "--timeout", "0"}, 2, "not a time-out in milliseconds"},
    };
    for (const Case& c : cases) {
        const CliResult r = rig.Tool(c.args);
        std::string joined;
        for (const auto& a : c.args) {
            joined += a + " ";
        }
        EXPECT_EQ(r.status, c.status) << joined << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << joined << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << joined;
    }
    EXPECT_EQ(rig.Tool({"--version"}).out, "kxrd4-cli " KXRD4_VERSION "\n");
    const CliResult help = rig.Tool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("send FILE.kxp -p N [--verify]"), std::string::npos);
}

// Listings as Windows saves them: Notepad's UTF-8 with a byte order mark,
// PowerShell 5.1's "> file" (UTF-16 little endian with a mark, CRLF), big
// endian UTF-16; build, check and simulate read them alike, and list -o writes
// UTF-8 without a mark that reads back to the same file.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(CliListing, ListingsWithAByteOrderMarkOrInUtf16Read) {
    // A comment with Polish letters and a letter outside the BMP (a surrogate pair).
    const std::u16string listing = u"# Oś X – próba \U0001F600\r\nP4\r\n[00]  V_MAX  500\r\n"
                                   u"[01]  END\r\n";
    const std::string utf8 = "# O\xC5\x9B X\r\nP4\r\n[00]  V_MAX  500\r\n[01]  END\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        const char* error; // nullptr: reads
    } cases[] = {
        {"UTF-8", utf8, nullptr},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8, nullptr},
        {"UTF-16 LE", Utf16(listing, false), nullptr},
        {"UTF-16 BE", Utf16(listing, true), nullptr},
        {"UTF-16 LE, odd length", Utf16(listing, false) + "\n", "odd number of bytes in UTF-16"},
        {"UTF-16 LE, lone surrogate", Utf16(u"P4\n\xD800\n", false),
         "unpaired surrogate in UTF-16 text at byte 8"},
        {"UTF-16 without BOM", Utf16(listing, false).substr(2),
         "listing.txt: the text is UTF-16 little endian without a byte order mark"},
    };
    CliRig rig;
    std::string expected(2000, '\0');
    expected.replace(800, 16,
                     std::string("\x01\x00\x00\x05\x00\x00\x00\x00"
                                 "\x14\x00\x00\x00\x00\x00\x00\x00",
                                 16));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.WriteFile("listing.txt", c.bytes);
        const std::vector<std::vector<std::string>> commands = {
            {"build", rig.Path("listing.txt"), "-o", rig.Path("out.kxp")},
            {"check", rig.Path("listing.txt"), "-p", "4"},
            {"simulate", rig.Path("listing.txt"), "-p", "4"},
        };
        for (const auto& args : commands) {
            const CliResult r = rig.Tool(args);
            if (c.error == nullptr) {
                EXPECT_NE(r.status, 1) << args[0] << ": " << r.err;
            } else {
                EXPECT_NE(r.status, 0) << args[0];
                EXPECT_NE(r.err.find(c.error), std::string::npos) << args[0] << ": " << r.err;
            }
        }
        if (c.error == nullptr) {
            EXPECT_EQ(rig.ReadFile("out.kxp"), expected);
        }
        std::filesystem::remove(rig.Path("out.kxp"));
    }

    // list -o: UTF-8 without a mark, the system's line ends; built back unchanged.
    rig.WriteFile("in.kxp", expected);
    ASSERT_EQ(rig.Tool({"list", rig.Path("in.kxp"), "--raw", "-o", rig.Path("l.txt")}).status, 0);
    const std::string written = rig.ReadFile("l.txt");
    const std::string lineEnd(FileAccess::NativeLineEnd());
    EXPECT_EQ(written.substr(0, 2 + lineEnd.size()), "P0" + lineEnd);
    EXPECT_EQ(TextEncoding::Detect(written), TextEncoding::Kind::Plain);
    ASSERT_EQ(rig.Tool({"build", rig.Path("l.txt"), "-o", rig.Path("back.kxp")}).status, 0);
    EXPECT_EQ(rig.ReadFile("back.kxp"), expected);
}

} // namespace
