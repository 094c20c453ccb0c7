#pragma once
// Writes the unsaved program set into the process's crash recovery file when
// the tool dies of a fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT)
// or, on Windows, of an unhandled exception. The file is opened at Install and
// kept open; the record is kept ready in memory by Update on every change, so
// that the handler only writes, flushes and lets the process die as it would
// have (CrashGuardPosix.cpp: write/fsync, then the previous action raised again;
// CrashGuardWindows.cpp: WriteFile/FlushFileBuffers in an unhandled-exception
// filter). One guard per process.
//
// The record is double-buffered: Update fills the buffer not in use and then
// publishes it with one atomic store, so a crash on another thread always
// finds a complete record.

#include <cstddef>
#include <cstdint>
#include <string>

class CrashGuard {
public:
    // Opens (creates, empties) path and installs the handlers; false when the
    // file cannot be opened (the handlers then write nothing).
    static bool Install(const std::string& path);
    // The record to write on a crash: the set (RecoveryFile::SetSize bytes)
    // and the file it belongs to. On the user-interface thread only.
    static void Update(const std::string& fileName, const std::uint8_t* set);
    // Nothing unsaved: a crash writes nothing.
    static void Clear();
    // Closes and removes the file (a clean exit) and puts back the handlers
    // that were in place before Install.
    static void Uninstall();

    // The published record, for the handlers (async-signal-safe).
    static const char* RecordData(std::size_t& size);

private:
    // The system's part (CrashGuardPosix.cpp, CrashGuardWindows.cpp).
    static bool OpenAndInstall(const std::string& path);
    static void CloseAndRemove();
};
