// POSIX: a sigaction handler for the fatal signals, on an alternate stack so
// that a stack overflow is caught as well. The handler calls only lseek,
// write, ftruncate, fsync, sigaction and raise (all async-signal-safe); then
// the action that was in place before the guard takes over.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iterator>
#include <string>
#include <vector>

#include "CrashGuard.h"

namespace {

const int FatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
std::atomic<int> crashFile{-1};
std::string crashPath;
bool installed = false;

void WriteRecord() {
    const int fd = crashFile.load();
    std::size_t size = 0;
    const char* data = CrashGuard::RecordData(size);
    if (fd < 0 || data == nullptr || lseek(fd, 0, SEEK_SET) != 0) {
        return;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        done += static_cast<std::size_t>(written);
    }
    (void)ftruncate(fd, static_cast<off_t>(size));
    fsync(fd);
}

// The actions in place before the guard, put back when it goes and used to
// end the process as it would have ended without the guard.
struct sigaction previous[std::size(FatalSignals)];

void OnFatalSignal(int signal) {
    const int savedErrno = errno;
    WriteRecord();
    errno = savedErrno;
    for (std::size_t i = 0; i < std::size(FatalSignals); ++i) {
        if (FatalSignals[i] != signal) {
            continue;
        }
        struct sigaction next = previous[i];
        if (next.sa_handler == SIG_IGN) {
            next.sa_handler = SIG_DFL;
        }
        sigaction(signal, &next, nullptr);
    }
    // SA_NODEFER: delivered at once, to the previous handler or the default
    // action (a core dump where the system makes one).
    raise(signal);
}

void InstallHandlers() {
    // The handler's own stack, for a crash on an exhausted stack.
    static std::vector<char> alternate(std::max<std::size_t>(SIGSTKSZ, 65536));
    stack_t stack{};
    stack.ss_sp = alternate.data();
    stack.ss_size = alternate.size();
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a fault inside the handler ends the process at once.
    action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
    for (std::size_t i = 0; i < std::size(FatalSignals); ++i) {
        sigaction(FatalSignals[i], &action, &previous[i]);
    }
}

void RestoreHandlers() {
    for (std::size_t i = 0; i < std::size(FatalSignals); ++i) {
        sigaction(FatalSignals[i], &previous[i], nullptr);
    }
}

} // namespace

bool CrashGuard::OpenAndInstall(const std::string& path) {
    CloseAndRemove();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        crashPath = path;
        crashFile.store(fd);
    }
    InstallHandlers();
    installed = true;
    return fd >= 0;
}

void CrashGuard::CloseAndRemove() {
    const int fd = crashFile.exchange(-1);
    if (fd >= 0) {
        close(fd);
        unlink(crashPath.c_str());
        crashPath.clear();
    }
    if (installed) {
        RestoreHandlers();
        installed = false;
    }
}
