// POSIX: a sigaction handler for the fatal signals, on an alternate stack so
// that a stack overflow is caught as well. The handler calls only lseek,
// write, ftruncate, fsync and raise (all async-signal-safe).
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
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

void OnFatalSignal(int signal) {
    const int savedErrno = errno;
    WriteRecord();
    errno = savedErrno;
    // SA_RESETHAND has put back the default action: die as without the guard
    // (a core dump where the system makes one).
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
    action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
    for (int signal : FatalSignals) {
        sigaction(signal, &action, nullptr);
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
    if (!installed) {
        InstallHandlers();
        installed = true;
    }
    return fd >= 0;
}

void CrashGuard::CloseAndRemove() {
    const int fd = crashFile.exchange(-1);
    if (fd >= 0) {
        close(fd);
        unlink(crashPath.c_str());
        crashPath.clear();
    }
}
