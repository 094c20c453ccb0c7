// kxrd4-cli with two emulated KX-RD4s on one PC: each is listed with what
// tells it apart, a device command refuses to guess, and --device reaches
// exactly the controller it names.

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "CliRig.h"
#include "EmulatorPeer.h"
#include "ProgramSet.h"

namespace {

SimulatedHidBackend::DeviceSpec Controller(std::u16string serial, std::string port) {
    SimulatedHidBackend::DeviceSpec device;
    device.ProductString = u"KX-RD4";
    device.SerialNumber = std::move(serial);
    device.Port = std::move(port);
    device.InputReportByteLength = device.OutputReportByteLength = EmulatorPeer::ReportLength;
    return device;
}

std::string RandomDigitPrograms(unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(ProgramSetBytes, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random() % 10); // digits: stored as sent
    }
    return bytes;
}

TEST(CliDeviceChoice, TwoControllersAreToldApartAndReachedOneAtATime) {
    CliRig rig;
    auto& backend = *rig.backend;
    // One with a serial number, one without (real units may have none).
    const auto a = backend.Plug(Controller(u"A-17", "1-1"));
    const auto b = backend.Plug(Controller(u"", "1-2"));
    EmulatorPeer peerA(backend, a);
    EmulatorPeer peerB(backend, b);
    const std::string pathA = backend.PathOf(a);
    const std::string pathB = backend.PathOf(b);

    // Listed with serial, port and path; no mark while the choice is open.
    CliResult r = rig.Tool({"devices"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(pathA + "  1A2B:000C  read-write  KX-RD4 SN A-17, port 1-1\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(pathB + "  1A2B:000C  read-write  KX-RD4 port 1-2\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find('*'), std::string::npos) << r.out;
    r = rig.Tool({"devices", "--format", "json"});
    EXPECT_NE(r.out.find("\"serial\":\"A-17\",\"port\":\"1-1\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"serial\":\"\",\"port\":\"1-2\""), std::string::npos) << r.out;
    r = rig.Tool({"devices", "--device", "1-2"});
    EXPECT_NE(r.out.find("* " + pathB), std::string::npos) << r.out;

    struct Refusal {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> said;
    };
    const std::vector<Refusal> refusals = {
        {{"status"},
         4,
         {"2 KX-RD4 controllers are connected; choose one with --device",
          "serial A-17, port 1-1, path " + pathA, "serial -, port 1-2, path " + pathB}},
        {{"status", "--device", "B-99"},
         3,
         {"--device B-99: no KX-RD4 with this serial number, port or path",
          "serial A-17, port 1-1"}},
        {{"devices", "--device", "1-3"}, 3, {"--device 1-3: no KX-RD4"}},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.args[0] + " " + std::to_string(c.args.size()));
        r = rig.Tool(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        for (const std::string& text : c.said) {
            EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
        }
        EXPECT_TRUE(backend.Written(a).empty() && backend.Written(b).empty())
            << "nothing is sent to either";
    }

    // Each selector sends P3 to the one it names; read back from both, only
    // that one changed.
    struct Send {
        std::string selector;
        SimulatedHidBackend::DeviceId target;
    };
    const std::vector<Send> sends = {{"A-17", a}, {"1-2", b}, {pathA, a}};
    std::map<SimulatedHidBackend::DeviceId, std::string> held = {
        {a, std::string(ProgramBytes, '\0')}, {b, std::string(ProgramBytes, '\0')}};
    for (std::size_t i = 0; i < sends.size(); ++i) {
        const Send& s = sends[i];
        SCOPED_TRACE(s.selector);
        const std::string file = RandomDigitPrograms(static_cast<unsigned>(10 + i));
        rig.WriteFile("p.kxp", file);
        r = rig.Tool({"send", rig.Path("p.kxp"), "-p", "3", "--force", "--device", s.selector});
        ASSERT_EQ(r.status, 0) << r.err;
        held[s.target] = ProgramOf(file, 3);
        for (const auto& [id, selector] :
             std::vector<std::pair<SimulatedHidBackend::DeviceId, std::string>>{{a, "A-17"},
                                                                                {b, "1-2"}}) {
            const std::string out = "back" + std::to_string(id) + ".kxp";
            r = rig.Tool({"read", "-p", "3", "-o", rig.Path(out), "--device", selector});
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(ProgramOf(rig.ReadFile(out), 3), held[id]) << selector;
        }
    }

    // With one KX-RD4 left, no option is needed; another one plugged in
    // meanwhile does not end the command.
    backend.Unplug(b);
    r = rig.Tool({"status"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::thread plugger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        backend.Plug(Controller(u"C-3", "1-3"));
    });
    r = rig.Tool({"watch", "--seconds", "0.6"});
    plugger.join();
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    // Polled past the plug: the last sample (ms,position,velocity) is late.
    const std::size_t last = r.out.rfind('\n', r.out.size() - 2);
    EXPECT_GE(std::stoi(r.out.substr(last == std::string::npos ? 0 : last + 1)), 350) << r.out;
}

} // namespace
