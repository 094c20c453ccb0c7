// Test helper: installs the crash guard on FILE, keeps a set (every byte
// BYTE, belonging to NAME) as its record and dies as asked:
//   crash_child FILE BYTE NAME segv|abort|fpe|null|clean
// "clean" clears the record first (nothing unsaved) and then dies of SIGSEGV.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CrashGuard.h"
#include "RecoveryFile.h"

int main(int argc, char** argv) {
    if (argc != 5 || !CrashGuard::Install(argv[1])) {
        return 2;
    }
    const std::string set(RecoveryFile::SetSize, static_cast<char>(std::atoi(argv[2])));
    CrashGuard::Update("first.kxp", reinterpret_cast<const std::uint8_t*>(set.data()));
    CrashGuard::Update(argv[3], reinterpret_cast<const std::uint8_t*>(set.data()));
    const std::string how = argv[4];
    if (how == "clean") {
        CrashGuard::Clear();
        std::raise(SIGSEGV);
    } else if (how == "segv") {
        std::raise(SIGSEGV);
    } else if (how == "abort") {
        std::abort();
    } else if (how == "fpe") {
        std::raise(SIGFPE);
    } else if (how == "null") {
        *static_cast<volatile int*>(nullptr) = 1;
    }
    return 0;
}
