// Backup files that lost part of themselves (a copy interrupted, a file cut,
// a line or a program deleted) are refused with their line before anything
// is written; hand-written partial files restore what they hold and say what
// they leave alone; diff reports what only one side holds; and the causes of
// unreadable files are named.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "ProgramSet.h"

namespace {

using Report = std::vector<std::uint8_t>;

class CliBackupDamage : public ::testing::Test, protected CliRig {
protected:
    void SetUp() override {
        SimulatedHidBackend::DeviceSpec controller;
        controller.ProductString = u"KX-RD4";
        device = backend->Plug(controller);
        backend->SetPeer(device, [this](SimulatedHidBackend::DeviceId id, const Report& sent) {
            ++sent_;
            for (auto& reply : emulator.HandleRequest(sent.data(), sent.size(), 0)) {
                backend->InjectReport(id, std::move(reply));
            }
        });
        // A controller worth restoring: every program with a line of its own.
        for (int p = 0; p < ProgramCount; ++p) {
            ProgramLine line{};
            line[0] = 0x12; // W_TIM
            line[4] = static_cast<std::uint8_t>(p);
            emulator.Programs().SetLine(p, p, line);
        }
        const CliResult r = Tool({"backup", "-o", Path("full.kxb")});
        ASSERT_EQ(r.status, 0) << r.err;
        full = ReadFile("full.kxb");
        sent_ = 0;
    }

    // The 1-based number of the line of text that starts with prefix.
    static int LineOf(const std::string& text, const std::string& prefix, int from = 1) {
        int number = 1;
        for (std::size_t pos = 0; pos < text.size(); ++number) {
            if (number >= from && text.compare(pos, prefix.size(), prefix) == 0) {
                return number;
            }
            const std::size_t end = text.find('\n', pos);
            pos = end == std::string::npos ? text.size() : end + 1;
        }
        return 0;
    }
    // text up to and including the line that starts with prefix (after line from).
    static std::string CutAfter(const std::string& text, const std::string& prefix, int from = 1) {
        const int n = LineOf(text, prefix, from);
        std::size_t pos = 0;
        for (int i = 0; i < n; ++i) {
            pos = text.find('\n', pos) + 1;
        }
        return text.substr(0, pos);
    }
    static std::string Without(const std::string& text, const std::string& prefix, int from = 1) {
        const std::string head = CutAfter(text, prefix, from);
        std::size_t start = head.rfind('\n', head.size() - 2);
        start = start == std::string::npos ? 0 : start + 1;
        return text.substr(0, start) + text.substr(head.size());
    }
    // Where the [parameters] section starts (the comments above name it too).
    static std::size_t Start(const std::string& text) { return text.find("\n[parameters]\n") + 1; }
    // The lines of the whole block of a program, as a backup writes it.
    static std::string Block(int program, const char* line = "[00]  *****") {
        std::string text = "P" + std::to_string(program) + "\n";
        for (int l = 0; l < LinesPerProgram; ++l) {
            text += (l < 10 ? "[0" : "[") + std::to_string(l) + "]" + std::string(line + 4) + "\n";
        }
        return text;
    }

    ControllerEmulator emulator;
    SimulatedHidBackend::DeviceId device = 0;
    std::string full;
    int sent_ = 0;
};

TEST_F(CliBackupDamage, CutOrDamagedBackupsAreRefusedWithTheirLineAndNothingIsWritten) {
    ASSERT_NE(full.find("[backup]\nparameters = vmin vmax amax xdef vdef wdef home vdst xdst\n"
                        "programs = P0 P1 P2 P3 P4 P5 P6 P7 P8 P9\n"),
              std::string::npos)
        << full;
    ASSERT_TRUE(full.ends_with("[24]  *****   | 00 00 00 00 00 00 00 00\n\n[end]\n")) << full;
    const int p3 = LineOf(full, "P3");
    const int p5 = LineOf(full, "P5");
    const std::string noP6 = CutAfter(full, "[24]", LineOf(full, "P5")) +
                             full.substr(CutAfter(full, "[24]", LineOf(full, "P6")).size());
    const struct {
        const char* name;
        std::string text;
        int line;
        std::string error;
    } cases[] = {
        {"cut after the heading P3", CutAfter(full, "P3"), p3, "without the [end] line"},
        {"cut after P3 line [11]", CutAfter(full, "[11]", p3), p3 + 12, "without the [end] line"},
        {"cut after P4", CutAfter(full, "[24]", LineOf(full, "P4")), p5 - 2,
         "without the [end] line"},
        {"cut to nothing", "", 1, "no [parameters] or [programs] section"},
        {"cut in a parameter line", full.substr(0, full.find("vmax = 1000") + 8),
         LineOf(full, "vmax"), "without the [end] line"},
        {"cut in [backup]", CutAfter(full, "parameters = "), LineOf(full, "parameters = "),
         "without the [end] line"},
        {"cut within the last line", full.substr(0, full.size() - 3), LineOf(full, "[end"),
         "\"[en\" is no line number"},
        {"a line missing in the middle of a block", Without(full, "[07]", p5), p5 + 7,
         "P5 (line " + std::to_string(p5) +
             ") lacks [07]: a program in a backup the tool wrote lists all 25"},
        {"the last lines of a block missing",
         CutAfter(full, "[20]", p3) + full.substr(CutAfter(full, "[24]", p3).size()), p3 + 21,
         "P3 (line " + std::to_string(p3) + ") lacks [21] and 3 more"},
        {"a parameter line missing", Without(full, "amax"), LineOf(Without(full, "amax"), "[end]"),
         "the file lacks amax, which its [backup] section (line"},
        {"a whole program missing", noP6, LineOf(noP6, "[end]"),
         "the file lacks P6, which its [backup]"},
        {"text after [end]", full + "vmax = 5\n", LineOf(full, "[end]") + 1,
         "\"vmax = 5\" follows [end] on line"},
        {"two backups joined", full + full, LineOf(full + full, "[backup]", LineOf(full, "[end]")),
         "\"[backup]\" follows [end]"},
        {"[backup] after [parameters]", "[parameters]\nvmax = 1\n[backup]\n", 3,
         "[backup] must come before"},
        {"[backup] without programs", "[backup]\nparameters =\n[programs]\n[end]\n", 1,
         "[backup] does not say which programs"},
        {"[backup] naming no program", "[backup]\nprograms = P10\n", 2, "which is no program"},
        {"a block without lines", "[backup]\nparameters =\nprograms = P4\n[programs]\nP4\n[end]\n",
         5, "P4 (line 5) lacks [00] and 24 more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("bad.kxb", c.text);
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"restore", Path("bad.kxb")},
              std::vector<std::string>{"restore", Path("bad.kxb"), "--programs", "3"},
              std::vector<std::string>{"diff", Path("bad.kxb")},
              std::vector<std::string>{"diff", Path("full.kxb"), Path("bad.kxb")}}) {
            const CliResult r = Tool(command);
            EXPECT_EQ(r.status, command[0] == "diff" ? 2 : 1) << command[0];
            const std::string where = Path("bad.kxb") + ":" + std::to_string(c.line) + ": ";
            EXPECT_TRUE(r.err.starts_with("kxrd4-cli: " + where) &&
                        r.err.find(c.error) != std::string::npos)
                << command[0] << "\n"
                << r.err << "expected " << where << "..." << c.error;
            EXPECT_EQ(r.out, "");
        }
        EXPECT_EQ(sent_, 0) << "nothing may reach the controller";
    }
}

TEST_F(CliBackupDamage, HandWrittenPartialFilesRestoreWhatTheyHoldAndNameWhatTheyLeave) {
    // Older backups have neither [backup] nor [end]: one that ends after P4
    // reads as a file that holds P0..P4, and the restore says so.
    std::string old = full.substr(0, full.find("[backup]")) +
                      full.substr(Start(full), full.find("\nP5\n") - Start(full));
    WriteFile("old.kxb", old);
    CliResult r = Tool({"restore", Path("old.kxb")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("P4    verified"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("left as they are (not in " + Path("old.kxb") + "): P5, P6, P7, P8, P9\n"),
              std::string::npos)
        << r.out;

    WriteFile("p3.kxb",
              "# by hand\n[parameters]\nvmax = 1200\n[programs]\n" + Block(3, "[00]  W_TIM  250"));
    r = Tool({"restore", Path("p3.kxb"), "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("vmax        DIFFERS  1200"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("left as they are (not in " + Path("p3.kxb") +
                         "): vmin, amax, xdef, vdef, wdef, P0, P1, P2, P4, P5, P6, P7, P8, P9\n"),
              std::string::npos)
        << r.out;
    r = Tool({"restore", Path("p3.kxb"), "--programs", "3,4"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("left as they are (not in " + Path("p3.kxb") + "): P4\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(emulator.Programs().Line(3, 24)[0], 0x12) << "every line of P3 is written";

    // A hand-written program may leave lines out: they are written empty,
    // and the restore says so.
    WriteFile("one.kxb", "[programs]\nP2\n[03]  END\n");
    r = Tool({"restore", Path("one.kxb")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("P2 lists 1 of its 25 lines in " + Path("one.kxb") +
                         "; the other 24 are written empty"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(emulator.Programs().Line(2, 2)[0], 0) << "P2's line 02 is written empty";
    EXPECT_EQ(emulator.Programs().Line(5, 5)[0], 0x12) << "P5 is left alone";
}

TEST_F(CliBackupDamage, DiffReportsWhatOnlyOneSideHolds) {
    const std::string params = full.substr(Start(full), full.find("[programs]") - Start(full));
    const std::string programs =
        full.substr(full.find("[programs]"), full.find("[end]") - full.find("[programs]"));
    const std::string head = programs.substr(0, programs.find("\nP5\n") + 1);
    WriteFile("noprograms.kxb", params);
    WriteFile("noparams.kxb", programs);
    WriteFile("p0-p4.kxb", params + head);
    WriteFile("novmin.kxb", params.substr(0, params.find("vmin")) +
                                params.substr(params.find("vmax")) + programs);
    WriteFile("modbus.kxb", "[parameters]\nmodbus-address = 7\n" + params.substr(13) + programs);
    const std::string a = Path("full.kxb");
    const struct {
        std::string b;
        std::string out;
    } cases[] = {
        {"noprograms.kxb", "no [programs] in " + Path("noprograms.kxb") + " (only in " + a +
                               ": P0, P1, P2, P3, P4, P5, P6, P7, P8, P9)\n"},
        {"noparams.kxb", "no [parameters] in " + Path("noparams.kxb") + " (only in " + a +
                             ": vmin, vmax, amax, xdef, vdef, wdef, home, vdst, xdst)\n"},
        {"p0-p4.kxb", "only in " + a + ": P5, P6, P7, P8, P9\n"},
        {"novmin.kxb", "only in " + a + ": vmin\n"},
        {"modbus.kxb", "only in " + Path("modbus.kxb") + ": modbus-address\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.b);
        CliResult r = Tool({"diff", a, Path(c.b)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "--- " + a + "\n+++ " + Path(c.b) + "\n" + c.out);
        EXPECT_NE(r.err.find("only in one of the two"), std::string::npos) << r.err;
        // The other way round, the other side.
        r = Tool({"diff", Path(c.b), a});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(c.b == "modbus.kxb" ? "only in " + Path(c.b) : "only in " + a),
                  std::string::npos)
            << r.out;
        r = Tool({"diff", a, Path(c.b), "--format", "json"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("\"same\":false"), std::string::npos) << r.out;
    }
    CliResult r = Tool({"diff", a, Path("p0-p4.kxb"), "--format", "json"});
    EXPECT_NE(r.out.find("\"onlyInA\":[\"P5\",\"P6\",\"P7\",\"P8\",\"P9\"],\"onlyInB\":[]"),
              std::string::npos)
        << r.out;
    // Against the controller, what it cannot be asked for is not compared.
    r = Tool({"diff", Path("modbus.kxb")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("modbus-address cannot be read from the KX-RD4: not compared"),
              std::string::npos)
        << r.err;
    r = Tool({"diff", Path("p0-p4.kxb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("only in KX-RD4 at " + backend->PathOf(device) + ": P5, P6, P7, P8, P9"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Tool({"diff", a, a}).status, 0);
}

TEST_F(CliBackupDamage, AWriteOrReadBackThatFailsCountsAgainstTheRestore) {
    // The controller stops answering after the first program is stored: the
    // rest fails (not "differs"), and the restore fails with it.
    int programsStored = 0;
    backend->SetPeer(device, [&](SimulatedHidBackend::DeviceId id, const Report& sent) {
        if (programsStored >= 1) {
            return;
        }
        for (auto& reply : emulator.HandleRequest(sent.data(), sent.size(), 0)) {
            programsStored += reply.size() > 1 && reply[1] == 'f' ? 1 : 0;
            backend->InjectReport(id, std::move(reply));
        }
    });
    WriteFile("two.kxb", "[programs]\n" + Block(1) + Block(2));
    CliResult r = Tool({"restore", Path("two.kxb")});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("P2    FAILED"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("P1    FAILED"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("read back: "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("verified"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("is not complete"), std::string::npos) << r.err;
}

TEST_F(CliBackupDamage, UnreadableFilesNameTheirCause) {
    WriteFile("short.kxp", std::string(1999, '\0'));
    WriteFile("long.kxp", std::string(2001, '\0'));
    WriteFile("short.bin", std::string(1999, '\x01'));
    WriteFile("big.kxb", std::string((1 << 20) + 1, '#'));
    std::string utf16;
    for (const char c : std::string("[parameters]\r\nvmax = 5\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    WriteFile("utf16.kxb", utf16);
    WriteFile("locked.kxb", "[parameters]\n");
    std::filesystem::permissions(Path("locked.kxb"), std::filesystem::perms::none);
    std::filesystem::create_directory(Path("folder.kxb"));
    // Root reads every file, and on Windows permissions only make it read-only.
    const bool root = std::ifstream(Path("locked.kxb")).good();
    const struct {
        std::string file;
        const char* error;
    } cases[] = {
        {"short.kxp", "is not a program file: it has 1999 bytes, a program file has exactly 2000"},
        {"long.kxp", "is not a program file: it has more than 2000 bytes"},
        {"short.bin", "short.bin: holds binary data (byte 1 is a control byte), not text"},
        {"big.kxb", "it has 1048577 bytes, more than the 1 MiB such a file may have"},
        {"utf16.kxb", "the text is UTF-16 little endian without a byte order mark"},
        {"folder.kxb", "it is a folder, not a file"},
        {"locked.kxb", root ? "" : "permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        for (const char* command : {"diff", "restore"}) {
            if (root && c.file == "locked.kxb") {
                continue;
            }
            const CliResult r = Tool({command, Path(c.file)});
            EXPECT_EQ(r.status, std::string(command) == "diff" ? 2 : 1) << r.err;
            EXPECT_NE(r.err.find(c.error), std::string::npos) << command << "\n" << r.err;
        }
    }
    EXPECT_EQ(sent_, 0);
    // Listings alike; a listing without a single line builds nothing.
    WriteFile("comments.txt", "# nothing but a comment\nP3\n");
    WriteFile("empty.txt", "");
    for (const char* file : {"comments.txt", "empty.txt"}) {
        const CliResult r = Tool({"build", Path(file), "-o", Path("out.kxp")});
        EXPECT_EQ(r.status, 2) << file;
        EXPECT_NE(r.err.find("holds no program line ([00] to [24]"), std::string::npos) << r.err;
        EXPECT_FALSE(Exists("out.kxp"));
    }
    const CliResult r = Tool({"check", Path("utf16.kxb")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("UTF-16 little endian without a byte order mark"), std::string::npos)
        << r.err;
    std::filesystem::permissions(Path("locked.kxb"), std::filesystem::perms::owner_all);
}

TEST_F(CliBackupDamage, UnreachableLinesAreOneFindingPerRun) {
    WriteFile("p.txt", "P0\n[00]  END\n[01]  M_EN\n[03]  M_EN\n[24]  END\nP1\n[00]  J_LIN  02\n"
                       "[01]  M_EN\n[02]  END\n[03]  M_EN\n");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"check", Path("p.txt")},
          std::vector<std::string>{"build", Path("p.txt"), "-o", Path("p.kxp")}}) {
        const CliResult r = Tool(command);
        const std::string printed = r.out + r.err; // check prints to stdout, build to stderr
        EXPECT_NE(printed.find("P0 [01] warning: lines 01–24 can never be reached\n"),
                  std::string::npos)
            << printed;
        EXPECT_NE(printed.find("P1 [01] warning: line can never be reached\n"), std::string::npos)
            << printed;
        EXPECT_NE(printed.find("P1 [03] warning: line can never be reached\n"), std::string::npos)
            << printed;
        EXPECT_EQ(printed.find("P0 [03]"), std::string::npos) << printed;
    }
    const CliResult json = Tool({"check", Path("p.txt"), "--format", "json"});
    EXPECT_NE(json.out.find("\"line\":1,\"lastLine\":24,"), std::string::npos) << json.out;
}

} // namespace
