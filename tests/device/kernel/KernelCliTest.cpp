// kxrd4-cli on a real kernel against kxrd4-sim's uhid KX-RD4, as a script
// would use them: the simulator in the background, the command-line tool
// finding it among the hidraw nodes, sending, verifying, reading back,
// running, polling and setting parameters; and once the simulator is gone,
// the tool ends with status 1 and says why; and two sends at once leave one
// whole program on the controller.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

std::string Tool(const char* variable, const char* fallback) {
    const char* path = std::getenv(variable);
    return path != nullptr && *path != '\0' ? path : fallback;
}

struct Result {
    int status = -1; // -1: did not end in time
    std::string out;
    std::string err;
};

// Runs a program to its end (at most timeout), capturing both outputs.
Result Execute(const std::vector<std::string>& args, std::chrono::milliseconds timeout = 30s) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        std::vector<char*> argv;
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Result r;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (::poll(fds, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[512];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? r.out : r.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& f : fds) {
        if (f.fd >= 0) {
            ::close(f.fd);
        }
    }
    int status = 0;
    if (open > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return r;
    }
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

Result Cli(std::vector<std::string> args) {
    args.insert(args.begin(), Tool("KXRD4_CLI", "kxrd4-cli"));
    args.push_back("--timeout");
    args.push_back("5000"); // software emulation is slow
    return Execute(args);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class KernelCli : public ::testing::Test {
protected:
    void TearDown() override {
        for (const pid_t pid : {simulator_, second_}) {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    }

    // serial: kxrd4-sim --serial SERIAL.
    static pid_t Start(const char* serial) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, STDIN_FILENO);
            const std::string sim = Tool("KXRD4_SIM", "kxrd4-sim");
            if (serial != nullptr) {
                ::execlp(sim.c_str(), sim.c_str(), "--serial", serial, static_cast<char*>(nullptr));
            } else {
                ::execlp(sim.c_str(), sim.c_str(), static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
        return pid;
    }
    void StartSimulator() { simulator_ = Start(nullptr); }

    // kxrd4-cli devices until its list satisfies listed (at most 15 s: the
    // uhid device's hidraw node appears a moment after the start).
    static Result Devices(const std::function<bool(const std::string&)>& listed) {
        Result devices;
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        do {
            std::this_thread::sleep_for(200ms);
            devices = Cli({"devices"});
        } while (!listed(devices.out) && std::chrono::steady_clock::now() < deadline);
        return devices;
    }
    static bool Selected(const std::string& list) {
        return list.find("  (selected)") != std::string::npos;
    }

    int StopSimulator() {
        ::kill(simulator_, SIGTERM);
        int status = 0;
        ::waitpid(simulator_, &status, 0);
        simulator_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t simulator_ = -1;
    pid_t second_ = -1;
};

TEST_F(KernelCli, DrivesTheSimulatorAndFailsCleanlyOnceItIsGone) {
    StartSimulator();
    ASSERT_GT(simulator_, 0);
    const Result devices = Devices(Selected);
    ASSERT_EQ(devices.status, 0) << devices.err;
    ASSERT_NE(devices.out.find("* /dev/hidraw"), std::string::npos) << devices.out;
    // Without --serial the simulator still has a serial number of its own.
    EXPECT_NE(devices.out.find("1A2B:000C  read-write  KX-RD4 SN kxrd4-uhid-"), std::string::npos)
        << devices.out;

    {
        std::ofstream("/tmp/cli-p2.txt") << "P2\n"
                                            "[00]  V_MAX  8000\n"
                                            "[01]  A_MAX  20000\n"
                                            "[02]  M_EN\n"
                                            "[03]  X_DST  4000\n"
                                            "[04]  W_TIM  2000\n"
                                            "[05]  X_DST  0\n"
                                            "[06]  END\n"
                                            "[20] | 00 01 02 03 04 05 06 07\n";
    }
    Result r = Cli({"build", "/tmp/cli-p2.txt", "-o", "/tmp/cli-p2.kxp"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"send", "/tmp/cli-p2.kxp", "-p", "2", "--verify"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("P2 verified"), std::string::npos) << r.out;
    r = Cli({"read", "-p", "2", "-o", "/tmp/cli-back.kxp"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile("/tmp/cli-back.kxp"), ReadFile("/tmp/cli-p2.kxp"));

    r = Cli({"set", "vmax", "40000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("29999 is sent"), std::string::npos) << r.err;
    r = Cli({"get", "vmax"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "29999\n");
    r = Cli({"set", "xdef", "-0x10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cli({"get", "xdef"}).out, "-16\n");

    r = Cli({"run", "-p", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::this_thread::sleep_for(300ms);
    r = Cli({"status"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("position ", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find("position 0\n"), std::string::npos) << "the program moves the axis";
    r = Cli({"stop", "-p", "2"});
    EXPECT_EQ(r.status, 0) << r.err;

    // The whole controller: backup, diff, restore with verification.
    r = Cli({"backup", "-o", "/tmp/cli-all.kxb"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cli({"diff", "/tmp/cli-all.kxb"}).status, 0);
    r = Cli({"set", "wdef", "777"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"diff", "/tmp/cli-all.kxb"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("-wdef = 777\n+wdef = "), std::string::npos) << r.out;
    r = Cli({"restore", "/tmp/cli-all.kxb"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Cli({"diff", "/tmp/cli-all.kxb"}).status, 0);

    EXPECT_EQ(StopSimulator(), 0);
    r = Cli({"status"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no KX-RD4 is connected"), std::string::npos) << r.err;
}

TEST_F(KernelCli, AVelocityJogAndWatchStopTheAxisLeavingTheTravelLimits) {
    StartSimulator();
    ASSERT_GT(simulator_, 0);
    Result r = Devices(Selected);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto limited = [](std::vector<std::string> args) {
        args.insert(args.end(), {"--settings", "/tmp/cli-limits.ini"});
        return Cli(args);
    };
    ASSERT_EQ(Cli({"enable", "on"}).status, 0);
    ASSERT_EQ(limited({"limits", "--min", "-100", "--max", "300"}).status, 0);
    // Followed until beyond 300, then stopped.
    r = limited({"jog", "velocity", "+", "400"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("jog: the axis reached "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("beyond the travel limits -100..300; the motor sent to a stop"),
              std::string::npos)
        << r.err;
    std::this_thread::sleep_for(1500ms);
    const Result first = Cli({"status"});
    EXPECT_NE(first.out.find("\nvelocity 0\n"), std::string::npos) << first.out;
    // Without limits a jog is not followed; watch stops the axis below -100.
    ASSERT_EQ(limited({"limits", "--clear"}).status, 0);
    ASSERT_EQ(limited({"jog", "velocity", "-", "400"}).status, 0);
    ASSERT_EQ(limited({"limits", "--min", "-100", "--max", "2000"}).status, 0);
    r = limited({"watch", "--seconds", "20"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("watch: the axis reached -1"), std::string::npos) << r.err;
    std::this_thread::sleep_for(1500ms);
    EXPECT_NE(Cli({"status"}).out.find("\nvelocity 0\n"), std::string::npos);
}

TEST_F(KernelCli, TwoSimulatorsAreToldApartByTheirSerialNumbers) {
    simulator_ = Start("KX-0001");
    second_ = Start("KX-0002");
    ASSERT_GT(simulator_, 0);
    ASSERT_GT(second_, 0);
    const Result devices = Devices([](const std::string& list) {
        return list.find("SN KX-0001") != std::string::npos &&
               list.find("SN KX-0002") != std::string::npos;
    });
    ASSERT_EQ(devices.status, 0) << devices.err;
    std::printf("%s", devices.out.c_str()); // shown in the console log
    EXPECT_NE(devices.out.find("read-write  KX-RD4 SN KX-0001"), std::string::npos) << devices.out;
    EXPECT_NE(devices.out.find("read-write  KX-RD4 SN KX-0002"), std::string::npos) << devices.out;

    // No guessing between the two; a serial that is not there is named.
    Result r = Cli({"status"});
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("serial KX-0001"), std::string::npos) << r.err;
    r = Cli({"status", "--device", "KX-0003"});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("--device KX-0003"), std::string::npos) << r.err;

    // A different program to each, read back from each.
    {
        std::ofstream("/tmp/two-1.txt") << "P4\n[00]  W_TIM  1111\n[01]  END\n";
        std::ofstream("/tmp/two-2.txt") << "P4\n[00]  W_TIM  2222\n[01]  END\n";
    }
    for (const char* n : {"1", "2"}) {
        const std::string listing = std::string("/tmp/two-") + n + ".txt";
        const std::string file = std::string("/tmp/two-") + n + ".kxp";
        ASSERT_EQ(Cli({"build", listing, "-o", file}).status, 0);
        r = Cli({"send", file, "-p", "4", "--device", std::string("KX-000") + n});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    for (const char* n : {"1", "2"}) {
        const std::string back = std::string("/tmp/two-back-") + n + ".kxp";
        r = Cli({"read", "-p", "4", "-o", back, "--device", std::string("KX-000") + n});
        ASSERT_EQ(r.status, 0) << r.err;
        r = Cli({"list", back, "-p", "4"});
        EXPECT_NE(r.out.find(std::string("W_TIM  0") + n + n + n + n), std::string::npos)
            << n << ": " << r.out;
    }
}

TEST_F(KernelCli, TwoSendsAtOnceLeaveOneWholeProgram) {
    StartSimulator();
    ASSERT_GT(simulator_, 0);
    const Result devices = Devices(Selected);
    ASSERT_EQ(devices.status, 0) << devices.err;

    // Two programs of 25 lines that differ in every line.
    for (const char* n : {"1", "2"}) {
        std::ofstream listing(std::string("/tmp/race-") + n + ".txt");
        listing << "P3\n";
        for (int l = 0; l < 24; ++l) {
            listing << "[" << (l < 10 ? "0" : "") << l << "]  W_TIM  " << n << n << n << "\n";
        }
        listing << "[24]  END\n";
    }
    for (const char* n : {"1", "2"}) {
        ASSERT_EQ(Cli({"build", std::string("/tmp/race-") + n + ".txt", "-o",
                       std::string("/tmp/race-") + n + ".kxp"})
                      .status,
                  0);
    }
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        Result one;
        Result two;
        std::thread first([&] { one = Cli({"send", "/tmp/race-1.kxp", "-p", "3"}); });
        std::thread second([&] { two = Cli({"send", "/tmp/race-2.kxp", "-p", "3"}); });
        first.join();
        second.join();
        // Each either sent its whole program or, the other holding the
        // controller past the time-out, failed naming it and sent nothing.
        for (const Result* r : {&one, &two}) {
            if (r->status != 0) {
                EXPECT_EQ(r->status, 1);
                EXPECT_NE(r->err.find("is busy: kxrd4-cli (process "), std::string::npos) << r->err;
            }
        }
        EXPECT_TRUE(one.status == 0 || two.status == 0) << one.err << two.err;
        const Result back = Cli({"read", "-p", "3", "-o", "/tmp/race-back.kxp"});
        ASSERT_EQ(back.status, 0) << back.err;
        const Result listed = Cli({"list", "/tmp/race-back.kxp", "-p", "3"});
        const bool ones = listed.out.find("W_TIM  00222") == std::string::npos;
        const bool twos = listed.out.find("W_TIM  00111") == std::string::npos;
        EXPECT_TRUE(ones != twos) << "one whole program, not a mix:\n" << listed.out;
        std::printf("round %d: send 1 -> %d, send 2 -> %d, P3 holds program %s\n", round,
                    one.status, two.status, ones ? "1" : "2");
    }
}

} // namespace
