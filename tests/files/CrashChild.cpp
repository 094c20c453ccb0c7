// Test helper: installs the crash guard on FILE, keeps a set (every byte 77,
// of "Oś.kxp") as its record and dies as asked:
//   crash_child FILE segv|abort|fpe|null|clean   (clean: nothing unsaved, SIGSEGV)
#include <csignal>
#include <cstdlib>
#include <string>

#include "CrashGuard.h"
#include "RecoveryFile.h"

int main(int argc, char** argv) {
    if (argc != 3 || !CrashGuard::Install(argv[1]))
        return 2;
    const std::string set(RecoveryFile::SetSize, static_cast<char>(77));
    CrashGuard::Update("first.kxp", reinterpret_cast<const std::uint8_t*>(set.data()));
    CrashGuard::Update("Oś.kxp", reinterpret_cast<const std::uint8_t*>(set.data()));
    const std::string how = argv[2];
    if (how == "clean")
        CrashGuard::Clear();
    if (how == "abort")
        std::abort();
    if (how == "null")
        *static_cast<volatile int*>(nullptr) = 1;
    std::raise(how == "fpe" ? SIGFPE : SIGSEGV);
    return 0;
}
