// kxrd4-sim: an emulated KX-RD4 on /dev/uhid for the tool and any HID
// program. Reads commands on standard input until its end (then keeps
// running), and removes the device on quit, Ctrl+C, SIGTERM or SIGHUP.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "KxVersion.h"
#include "SimulatorConsole.h"
#include "SimulatorOptions.h"
#include "UhidEmulatorPeer.h"

namespace {

void LogLine(const std::string& line) {
    std::fprintf(stderr, "kxrd4-sim: %s\n", line.c_str());
}

void Answer(const std::string& text) {
    if (text.empty())
        return;
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
}

// Why /dev/uhid could not be used, and what to do about it.
void ExplainNoUhid(const std::system_error& error) {
    const int code = error.code().value();
    if (code == ENOENT || code == ENODEV || code == ENXIO) {
        LogLine("/dev/uhid does not exist: the kernel module uhid is not loaded.\n"
                "  Load it as root:  modprobe uhid");
    } else if (code == EACCES || code == EPERM) {
        LogLine("no permission to open /dev/uhid for writing.\n"
                "  Run kxrd4-sim as root (sudo kxrd4-sim), or give your user access with a\n"
                "  udev rule, for example in /etc/udev/rules.d/70-uhid.rules:\n"
                "    KERNEL==\"uhid\", GROUP=\"plugdev\", MODE=\"0660\"");
    } else {
        LogLine(std::string(error.what()));
    }
}

// SIGINT, SIGTERM and SIGHUP arrive through a descriptor, so the loop ends
// cleanly and removes the device. Blocked before any thread starts, so that
// every thread inherits the mask. A signal the starter ignores (nohup, or
// SIGINT for a background job of a script) stays ignored.
int BlockTerminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        sigaddset(&set, signal);
    }
    if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0)
        return -1;
    return ::signalfd(-1, &set, SFD_CLOEXEC);
}

} // namespace

int main(int argc, char** argv) {
    const SimulatorOptions options =
        SimulatorOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
        std::fputs(SimulatorOptions::Usage().c_str(), stdout);
        return 0;
    }
    if (options.version && options.error.empty()) {
        std::printf("kxrd4-sim %s\n", KxVersion);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "kxrd4-sim: %s\n%s", options.error.c_str(),
                     SimulatorOptions::Usage().c_str());
        return 2;
    }

    std::signal(SIGPIPE, SIG_IGN); // a closed standard output ends nothing
    const int signals = BlockTerminationSignals();
    if (signals < 0) {
        LogLine(std::string("cannot receive signals: ") + std::strerror(errno));
        return 1;
    }

    std::unique_ptr<UhidEmulatorPeer> peer;
    try {
        peer = std::make_unique<UhidEmulatorPeer>(LogLine, options.verbose, options.serial);
    } catch (const std::system_error& error) {
        ExplainNoUhid(error);
        return 1;
    } catch (const std::exception& error) {
        LogLine(std::string("cannot create the device: ") + error.what());
        return 1;
    }
    peer->With(
        [&options](ControllerEmulator& emulator) { emulator.SetImperfection(options.axis); });
    const std::string node = peer->WaitForHidrawNode(std::chrono::seconds(2));
    const std::string imperfect =
        options.axis.Exact()
            ? std::string()
            : " with an imperfect axis (" + std::to_string(options.axis.lagMs) + " ms late, " +
                  std::to_string(options.axis.lostSteps) + " steps lost a move)";
    LogLine("KX-RD4" + (options.serial.empty() ? std::string() : " SN " + options.serial) +
            " plugged in" + (node.empty() ? std::string() : " as " + node) + imperfect +
            " (USB 1A2B:000C); " + SimulatorConsole::Commands + "; Ctrl+C ends");

    SimulatorConsole console(
        [&peer](const std::function<void(ControllerEmulator&)>& f) { peer->With(f); });
    bool inputOpen = true;
    bool running = true;
    std::string pending;
    while (running) {
        pollfd fds[2] = {{signals, POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}};
        // The clock advances the emulator and reports faults at least this often.
        const int ready = ::poll(fds, 2, 100);
        peer->Tick();
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            LogLine(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[0].revents != 0) {
            signalfd_siginfo info{};
            [[maybe_unused]] const ssize_t n = ::read(signals, &info, sizeof(info));
            LogLine(std::string("signal ") + ::strsignal(static_cast<int>(info.ssi_signo)) +
                    ": removing the device");
            break;
        }
        if (inputOpen && fds[1].revents != 0) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0) {
                // The end of the input (or none at all, as in the background
                // of a script) ends only the commands.
                inputOpen = false;
                pending.clear();
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; running && (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                const SimulatorConsole::Result result = console.Execute(line);
                Answer(result.text);
                running = !result.quit;
            }
            if (pending.size() > 4096) {
                Answer("line too long; ignored");
                pending.clear();
            }
        }
    }
    peer->Unplug();
    LogLine("KX-RD4 removed");
    ::close(signals);
    return 0;
}
