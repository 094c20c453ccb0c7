#include "StopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

const int Signals[] = {SIGTERM, SIGHUP, SIGINT};
int pipeEnds[2] = {-1, -1};

extern "C" void OnStopSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

int StopSignals::Install() {
    if (pipeEnds[0] >= 0) {
        return pipeEnds[0];
    }
    if (::pipe(pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return -1;
    }
    for (const int end : pipeEnds) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : Signals) {
        ::sigaction(number, &action, nullptr);
    }
    return pipeEnds[0];
}

int StopSignals::Take() {
    char byte = 0;
    return pipeEnds[0] >= 0 && ::read(pipeEnds[0], &byte, 1) == 1 ? byte : 0;
}

void StopSignals::Uninstall() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : Signals) {
        ::sigaction(number, &action, nullptr);
    }
}
