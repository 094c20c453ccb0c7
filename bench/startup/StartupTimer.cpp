// Start-up benchmark driver: starts two probe programs alternately (the tool
// and its peer, a bare window), each time taking the time from just before
// the program is started to its first frame, and prints the median of each,
// the ratio, the same for the CPU time the process used up to its first
// frame, and the tool's resident memory at its first frame.
//
// Usage: kx_startup_timer RUNS TOOL_PROBE PEER_PROBE
// Both probes print "first_frame_ns N cpu_us C rss_kb K" (FirstFrame.h) and exit.
// Needs a display (the benchmark script runs it under Xvfb).

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Sample {
    double ms = 0;
    double cpuMs = 0;
    long rssKb = 0;
};

// One start of program; false when it printed no first frame.
bool RunOnce(const char* program, Sample& sample) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const long long started = NowNs();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        std::fprintf(stderr, "cannot start %s\n", program);
        return false;
    }
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long frame = 0;
    long long cpu = 0;
    long rss = 0;
    const std::size_t at = output.find("first_frame_ns ");
    if (at == std::string::npos ||
        std::sscanf(output.c_str() + at, "first_frame_ns %lld cpu_us %lld rss_kb %ld", &frame, &cpu,
                    &rss) != 3) {
        std::fprintf(stderr, "%s printed no first frame: %s\n", program, output.c_str());
        return false;
    }
    sample.ms = static_cast<double>(frame - started) / 1e6;
    sample.cpuMs = static_cast<double>(cpu) / 1e3;
    sample.rssKb = rss;
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS TOOL_PROBE PEER_PROBE\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<double> tool;
    std::vector<double> peer;
    std::vector<double> toolCpu;
    std::vector<double> peerCpu;
    std::vector<double> rss;
    // One start of each first, not counted: it fills the file cache.
    Sample sample;
    if (!RunOnce(argv[2], sample) || !RunOnce(argv[3], sample)) {
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        if (!RunOnce(argv[2], sample)) {
            return 1;
        }
        tool.push_back(sample.ms);
        toolCpu.push_back(sample.cpuMs);
        rss.push_back(static_cast<double>(sample.rssKb) / 1024.0);
        if (!RunOnce(argv[3], sample)) {
            return 1;
        }
        peer.push_back(sample.ms);
        peerCpu.push_back(sample.cpuMs);
    }
    const double toolMs = Median(tool);
    const double peerMs = Median(peer);
    std::printf("startup_tool_ms %.1f\n", toolMs);
    std::printf("startup_peer_ms %.1f\n", peerMs);
    std::printf("startup_ratio %.2f\n", toolMs / peerMs);
    std::printf("startup_tool_cpu_ms %.1f\n", Median(toolCpu));
    std::printf("startup_peer_cpu_ms %.1f\n", Median(peerCpu));
    std::printf("startup_cpu_ratio %.2f\n", Median(toolCpu) / Median(peerCpu));
    std::printf("startup_rss_mb %.1f\n", Median(rss));
    return 0;
}
