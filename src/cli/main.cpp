#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"
#include "PlatformHidBackend.h"

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, CreatePlatformHidBackend, std::cout, std::cerr, &interrupted);
}
