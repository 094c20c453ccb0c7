// kxrd4-cli restore FILE --all against several emulated KX-RD4s: every one
// restored and verified (text and JSON), one that stops answering fails only
// its own line and the exit status, and the usage and no-controller cases.

#include <gtest/gtest.h>

#include <list>
#include <sstream>

#include "CliRig.h"
#include "EmulatorPeer.h"

namespace {

class CliRestoreAll : public ::testing::Test, protected CliRig {
protected:
    void Plug(const std::vector<std::u16string>& serials) {
        for (const auto& serial : serials) {
            SimulatedHidBackend::DeviceSpec kxrd4;
            kxrd4.ProductString = u"KX-RD4";
            kxrd4.SerialNumber = serial;
            kxrd4.InputReportByteLength = EmulatorPeer::ReportLength;
            kxrd4.OutputReportByteLength = EmulatorPeer::ReportLength;
            peers.emplace_back(*backend, backend->Plug(kxrd4));
        }
    }
    // As separate programs would be: a user of the devices of its own each.
    CliResult All(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        CliResult r;
        r.status = RunCli(
            args, [this] { return SimulatedHidBackend::NewClient(backend); }, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    static int Lines(const std::string& text, const std::string& containing) {
        std::istringstream in(text);
        int n = 0;
        for (std::string line; std::getline(in, line);) {
            n += line.find(containing) != std::string::npos ? 1 : 0;
        }
        return n;
    }
    std::list<EmulatorPeer> peers;
};

TEST_F(CliRestoreAll, EveryControllerRestoredAndVerifiedInTextAndJson) {
    Plug({u"A-1", u"A-2", u"A-3"});
    const CliResult b = All({"--device", "A-1", "backup", "-o", Path("b.kxb")});
    ASSERT_EQ(b.status, 0) << b.err;
    std::string text = ReadFile("b.kxb");
    text.replace(text.find("vmax = 1000"), 11, "vmax = 1234");
    WriteFile("b.kxb", text);

    const CliResult r = All({"restore", Path("b.kxb"), "--all"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Lines(r.out, "  verified  "), 3) << r.out;
    for (const char* serial : {"A-1", "A-2", "A-3"}) {
        EXPECT_EQ(Lines(r.out, std::string(serial) + "  verified"), 1) << r.out;
        const CliResult d = All({"--device", serial, "diff", Path("b.kxb")});
        EXPECT_EQ(d.status, 0) << serial << ": " << d.out << d.err;
    }
    EXPECT_NE(r.out.find("onto 3 KX-RD4s"), std::string::npos) << r.out;

    const CliResult j = All({"restore", Path("b.kxb"), "--all", "--format", "json"});
    EXPECT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(Lines(j.out, "\"verified\":true"), 3) << j.out;
    EXPECT_EQ(Lines(j.out, "{\"serial\":\"A-2\""), 1) << j.out;
    EXPECT_EQ(Lines(j.out, "{"), 3) << "one object a line and nothing else: " << j.out;
}

TEST_F(CliRestoreAll, OneSilentControllerFailsOnlyItsOwnLineAndTheExitStatus) {
    Plug({u"B-1", u"B-2", u"B-3"});
    const CliResult b = All({"--device", "B-1", "backup", "-o", Path("b.kxb")});
    ASSERT_EQ(b.status, 0) << b.err;
    std::next(peers.begin())->With([](ControllerEmulator& e) { e.SetMuted(true); });
    const CliResult r = All({"--timeout", "50", "restore", Path("b.kxb"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out, "B-2  NOT VERIFIED"), 1) << r.out;
    EXPECT_EQ(Lines(r.out, "  verified  "), 2) << r.out;
    EXPECT_NE(r.err.find("1 of 3 KX-RD4s not verified"), std::string::npos) << r.err;

    const CliResult j =
        All({"--timeout", "50", "restore", Path("b.kxb"), "--all", "--format", "json"});
    EXPECT_EQ(j.status, 1);
    EXPECT_EQ(Lines(j.out, "\"verified\":false"), 1) << j.out;
}

TEST_F(CliRestoreAll, UsageAndNoController) {
    WriteFile("b.kxb", "[parameters]\nvmax = 1200\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"restore", Path("b.kxb"), "--all"}, 3, "no KX-RD4"},
        {{"restore", Path("b.kxb"), "--all", "--dry-run"}, 2, "--dry-run"},
        {{"--device", "X", "restore", Path("b.kxb"), "--all"}, 2, "--device"},
        {{"restore", Path("missing.kxb"), "--all"}, 1, "missing.kxb"},
    };
    for (const auto& c : cases) {
        const CliResult r = All(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
}

TEST_F(CliRestoreAll, EmulatorRestoresItsOneController) {
    WriteFile("b.kxb", "[parameters]\nvmax = 1200\n");
    const CliResult r = Tool({"--emulator", "restore", Path("b.kxb"), "--all"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out, "DEMO-1  verified  sim:"), 1) << r.out;
}

} // namespace
