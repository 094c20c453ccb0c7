#pragma once
// kxrd4-cli: the command-line companion of the window. Lists and builds
// program files and talks to the KX-RD4 through the same device layer. The
// whole tool is RunCli; main() only hands it the platform's HID back end, and
// tests hand it a simulated one with an emulated controller.

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class HidBackend;

class Cli {
public:
    static constexpr int Done = 0;
    static constexpr int Failed = 1;
    static constexpr int Usage = 2;
    static constexpr int Trouble = 2; // diff: the comparison could not be made
    static constexpr int NoDevice = 3;
    static constexpr int SeveralDevices = 4;

    using BackendFactory = std::function<std::shared_ptr<HidBackend>()>;

    // args: the arguments after the program name. The back end is created
    // only for commands that talk to a device. interrupted (Ctrl+C) ends
    // waits early; "watch" then ends normally. Returns the exit status.
    static int Run(const std::vector<std::string>& args, const BackendFactory& backend,
                   std::ostream& out, std::ostream& err,
                   const std::atomic<bool>* interrupted = nullptr);

    static std::string HelpText();
};

// Cli::Run as a plain function.
int RunCli(const std::vector<std::string>& args, const Cli::BackendFactory& backend,
           std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted = nullptr);
