// One writer at a time per controller: two kxrd4-cli sessions on one
// emulated KX-RD4 (each with a user of its own of the simulated devices, as
// two processes are) never interleave their exchanges; a session that finds
// the controller held waits up to its time-out, then fails naming the holder
// and writes nothing; reading the status goes on meanwhile.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

#include "CliRig.h"
#include "ControllerEmulator.h"
#include "MessageLetter.h"
#include "ProgramSet.h"

namespace {

using Report = std::vector<std::uint8_t>;

class CliControllerHold : public ::testing::Test, protected CliRig {
protected:
    void SetUp() override {
        SimulatedHidBackend::DeviceSpec controller;
        controller.ProductString = u"KX-RD4";
        device = backend->Plug(controller);
        path = backend->PathOf(device);
        backend->SetPeer(device, [this](SimulatedHidBackend::DeviceId id, const Report& sent) {
            std::vector<Report> replies;
            {
                std::lock_guard lock(mutex);
                ++written;
                replies = emulator.HandleRequest(sent.data(), sent.size(), 0);
            }
            // A controller that takes its time, so that sessions overlap.
            std::this_thread::sleep_for(std::chrono::milliseconds(replyDelayMs.load()));
            for (auto& reply : replies) {
                backend->InjectReport(id, std::move(reply));
            }
        });
    }

    // kxrd4-cli as a process of its own: its own user of the devices.
    CliResult Session(const std::string& name, const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CliResult r;
        r.status = RunCli(
            args, [this, name] { return SimulatedHidBackend::NewClient(backend, name); }, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }

    // A program file whose every line of program p is the W_TIM of value.
    std::string ProgramFile(const std::string& name, int p, int value) {
        ProgramSet set;
        for (int l = 0; l < LinesPerProgram; ++l) {
            ProgramLine line{};
            line[0] = 0x12;
            line[5] = static_cast<std::uint8_t>(value);
            set.SetLine(p, l, line);
        }
        WriteFile(name, std::string(reinterpret_cast<const char*>(set.Data()), ProgramSetBytes));
        return Path(name);
    }

    std::mutex mutex;
    ControllerEmulator emulator;
    std::atomic<int> written{0};
    std::atomic<int> replyDelayMs{0};
    SimulatedHidBackend::DeviceId device = 0;
    std::string path;
};

TEST_F(CliControllerHold, AHeldControllerMakesTheOtherWaitThenFailNamingTheHolderWritingNothing) {
    const std::string file = ProgramFile("a.kxp", 3, 1);
    auto window = SimulatedHidBackend::NewClient(backend, "kxrd4-pc (process 4242)");
    std::string holder;
    std::unique_ptr<DeviceLock> hold = window->TryLock(path, holder);
    ASSERT_NE(hold, nullptr);
    std::string other;
    EXPECT_EQ(backend->TryLock(path, other), nullptr) << "one hold at a time";
    EXPECT_EQ(other, "kxrd4-pc (process 4242)");

    const std::vector<std::vector<std::string>> writers = {
        {"send", file, "-p", "3", "--force", "--timeout", "200"},
        {"read", "-p", "3", "-o", Path("back.kxp"), "--timeout", "200"},
        {"run", "-p", "3", "--timeout", "200"},
        {"set", "vmax", "1200", "--timeout", "200"},
        {"backup", "-o", Path("b.kxb"), "--timeout", "200"},
    };
    for (const auto& args : writers) {
        SCOPED_TRACE(args[0]);
        const auto start = std::chrono::steady_clock::now();
        const CliResult r = Session("kxrd4-cli (process 1)", args);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("the KX-RD4 at " + path +
                             " is busy: kxrd4-pc (process 4242) holds it for an exchange of its "
                             "own (waited "),
                  std::string::npos)
            << r.err;
        EXPECT_GE(waited, std::chrono::milliseconds(200)) << "it waits its time-out first";
        EXPECT_FALSE(Exists("b.kxb"));
    }
    WriteFile("r.kxb", "[parameters]\nvmax = 7\n");
    CliResult r = Session("kxrd4-cli (process 2)", {"restore", Path("r.kxb")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is busy: kxrd4-pc (process 4242)"), std::string::npos) << r.err;
    EXPECT_EQ(written, 0) << "nothing may be written while another holds the controller";

    // What only reads the status, or stops the axis, does not wait.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"status"}, std::vector<std::string>{"get", "vmax"},
          std::vector<std::string>{"stop", "-p", "3"}, std::vector<std::string>{"brake"}}) {
        r = Session("kxrd4-cli (process 3)", args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
    }

    // Let go a moment later: a waiting writer goes on.
    written = 0;
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        hold.reset();
    });
    r = Session("kxrd4-cli (process 5)", {"send", file, "-p", "3", "--force", "--timeout", "2000"});
    release.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(emulator.Programs().Line(3, 24)[5], 1);
    std::string none;
    EXPECT_NE(backend->TryLock(path, none), nullptr) << "the session let go when it ended";
}

TEST_F(CliControllerHold, TwoSendsAndABackupAtOnceNeverInterleave) {
    replyDelayMs = 2;
    const std::string one = ProgramFile("one.kxp", 3, 1);
    const std::string two = ProgramFile("two.kxp", 3, 2);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        CliResult a;
        CliResult b;
        CliResult c;
        std::thread first([&] {
            a = Session("A", {"send", one, "-p", "3", "--force", "--timeout", "5000"});
        });
        std::thread second([&] {
            b = Session("B", {"send", two, "-p", "3", "--force", "--timeout", "5000"});
        });
        std::thread third([&] {
            c = Session("C", {"backup", "-o", Path("b" + std::to_string(round) + ".kxb"),
                              "--timeout", "5000"});
        });
        first.join();
        second.join();
        third.join();
        EXPECT_EQ(a.status, 0) << a.err;
        EXPECT_EQ(b.status, 0) << b.err;
        EXPECT_EQ(c.status, 0) << c.err;
        // The controller holds one whole program, and so does the backup.
        const int value = emulator.Programs().Line(3, 0)[5];
        for (int l = 0; l < LinesPerProgram; ++l) {
            EXPECT_EQ(emulator.Programs().Line(3, l)[5], value) << "line " << l;
        }
        const std::string backup = ReadFile("b" + std::to_string(round) + ".kxb");
        const std::size_t p3 = backup.find("\nP3\n");
        ASSERT_NE(p3, std::string::npos);
        const std::string block = backup.substr(p3, backup.find("\nP4\n") - p3);
        const bool allOnes = block.find("12 00 00 00 00 02") == std::string::npos;
        const bool allTwos = block.find("12 00 00 00 00 01") == std::string::npos;
        EXPECT_TRUE(allOnes || allTwos) << block;
    }
}

} // namespace
