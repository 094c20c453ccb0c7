#pragma once
// The recovery file: unsaved edits of the program set, kept in the user's data
// folder so that a crash, a kill or a power cut loses nothing. Each running
// tool keeps its own files, named by its process id:
//   recovery-<pid>.kxr        written atomically a moment after each change
//   recovery-<pid>-crash.kxr  opened at start-up, written by the crash guard
// Format: one header line "KXRD4-RECOVERY 1 <name length> <name>\n" (the name
// of the program file the set belongs to, UTF-8, may be empty) followed by
// exactly the 2000 bytes of the set. Anything else is damaged and is never
// loaded.
//
// The data folder: $XDG_DATA_HOME/kxrd4-pc (default ~/.local/share/kxrd4-pc)
// on Linux, %LOCALAPPDATA%\kxrd4-pc on Windows; each in its own source file
// (RecoveryFilePosix.cpp, RecoveryFileWindows.cpp), chosen by CMake, with the
// process checks.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class RecoveryFile {
public:
    static constexpr std::size_t SetSize = 2000;
    // Longer file names are not kept (the set still is, with an empty name).
    static constexpr std::size_t MaxNameSize = 4096;
    static constexpr std::size_t MaxFileSize = 64 + MaxNameSize + SetSize;
    static constexpr const char* Magic = "KXRD4-RECOVERY";
    static constexpr int Version = 1;

    struct Contents {
        std::string fileName; // UTF-8, empty for an unnamed set
        std::string bytes;    // exactly SetSize bytes
    };
    enum class Status {
        Ok,
        Empty,   // no bytes at all (a crash file of a process that did not crash)
        Damaged, // truncated, too long, another format or version
    };

    // The whole file for the set (SetSize bytes at set).
    static std::string Encode(const std::string& fileName, const std::uint8_t* set);
    static Status Decode(const std::string& data, Contents& contents);

    // The folder of the recovery files, created when missing; empty when
    // there is no usable one (no home folder).
    static std::string DataFolder();
    static long CurrentProcessId();
    // True while a process with this id runs and is this tool: not a zombie,
    // and running the same program as this process (Linux: /proc/PID/exe,
    // or /proc/PID/comm where that cannot be read; Windows: the image name).
    static bool ProcessRunning(long pid);

    static std::string PathFor(const std::string& folder, long pid);
    static std::string CrashPathFor(const std::string& folder, long pid);

    // Writes the set atomically; false on failure.
    static bool Write(const std::string& path, const std::string& fileName,
                      const std::uint8_t* set);
    // Reads and decodes a file; a missing or unreadable one is Damaged unless
    // it is empty.
    static Status Read(const std::string& path, Contents& contents);
    // Removes both files of a process (missing ones are fine).
    static void Remove(const std::string& folder, long pid);

    // What a folder holds for processes that no longer run: one candidate
    // per process (its crash record when complete, else its recovery file),
    // newest first. Files that cannot be decoded are listed in damaged
    // (empty crash files of dead processes are removed silently).
    struct Candidate {
        long pid = 0;
        std::string path;
        std::filesystem::file_time_type written{};
        Contents contents;
    };
    static std::vector<Candidate> Leftovers(const std::string& folder,
                                            const std::function<bool(long)>& running,
                                            std::vector<std::string>& damaged);
    // Moves a damaged file aside ("<name>.damaged") so that it is reported
    // once and kept for inspection.
    static void SetAside(const std::string& path);
};
