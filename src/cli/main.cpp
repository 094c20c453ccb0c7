#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"
#include "CommandLine.h"
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
    UseUtf8Console();
    const std::vector<std::string> args = Utf8Arguments(argc, argv);
    return RunCli(args, CreatePlatformHidBackend, std::cout, std::cerr, &interrupted);
}
