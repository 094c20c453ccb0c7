// The link's latency on a real kernel, as kxrd4-bench-link measures it:
// kxrd4-sim is started in the background, VminRead round trips go through the
// tool's own path and through a plain write/poll/read loop on the same hidraw
// node, in alternating blocks, in the same boot. The figures and their ratio (target: under
// 1.3) are printed for the log; the test itself only requires that every
// round trip was answered, since timings under software emulation vary.

#include "LinkRoundTrips.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int RoundTrips = 1000;

// The simulator: KXRD4_SIM names it, else it is looked up on the PATH.
pid_t StartSimulator() {
    const char* named = std::getenv("KXRD4_SIM");
    const std::string path = named != nullptr && *named != '\0' ? named : "kxrd4-sim";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        ::execlp(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

void StopSimulator(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

TEST(KernelLinkBench, RoundTripsThroughTheLinkAndAPlainLoop) {
    const pid_t simulator = StartSimulator();
    ASSERT_GT(simulator, 0);
    std::vector<double> link;
    std::vector<double> plain;
    std::string path;
    std::string error;
    const bool done = LinkRoundTrips::Compare(RoundTrips, 5, link, plain, path, error);
    StopSimulator(simulator);
    ASSERT_TRUE(done) << error;
    EXPECT_EQ(link.size(), static_cast<std::size_t>(RoundTrips));
    EXPECT_EQ(plain.size(), static_cast<std::size_t>(RoundTrips));

    const LinkRoundTrips::Figures l = LinkRoundTrips::Summarise(link);
    const LinkRoundTrips::Figures p = LinkRoundTrips::Summarise(plain);
    std::printf("KXRD4-LINK-BENCH: %d VminRead round trips to kxrd4-sim on %s\n"
                "KXRD4-LINK-BENCH: link median %.1f us, p99 %.1f us\n"
                "KXRD4-LINK-BENCH: plain hidraw loop median %.1f us, p99 %.1f us\n"
                "KXRD4-LINK-BENCH: ratio (median) %.2f (target under 1.3)\n",
                RoundTrips, path.c_str(), l.median, l.p99, p.median, p.p99, l.median / p.median);
    std::fflush(stdout);
    RecordProperty("link_median_us", std::to_string(l.median));
    RecordProperty("plain_median_us", std::to_string(p.median));
}

} // namespace
