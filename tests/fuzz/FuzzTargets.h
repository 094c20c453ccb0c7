#pragma once
// The fuzz targets: each takes any bytes and aborts (FUZZ_CHECK) when a
// property that must hold for every input is broken. The libFuzzer binaries
// (scripts/fuzz.sh) and the replay test of the ordinary build call the same
// functions.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// A folder of this process for the targets that go through files (in memory
// where /dev/shm exists), removed when the process ends.
class FuzzScratchFolder {
public:
    explicit FuzzScratchFolder(const std::string& name) {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        path_ = base / ("kxrd4-fuzz-" + name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(path_, error);
    }
    ~FuzzScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

using FuzzFunction = int (*)(const std::uint8_t* data, std::size_t size);

// Received reports, many per input, through the reply dispatcher.
int FuzzReplies(const std::uint8_t* data, std::size_t size);
// A program file loaded, every line rendered and the line edit dialog's
// fields filled from it for every command.
int FuzzProgramFile(const std::uint8_t* data, std::size_t size);
// The report lengths of a HID report descriptor.
int FuzzReportDescriptor(const std::uint8_t* data, std::size_t size);
// config.ini read and one key written.
int FuzzSettings(const std::uint8_t* data, std::size_t size);
// Requests written to the emulated controller.
int FuzzEmulator(const std::uint8_t* data, std::size_t size);
// The whole-number text of the write fields.
int FuzzIntegerText(const std::uint8_t* data, std::size_t size);
// A listing built into a program set by the command-line tool.
int FuzzListing(const std::uint8_t* data, std::size_t size);
// A controller backup file read, written back and compared.
int FuzzBackup(const std::uint8_t* data, std::size_t size);
// A recovery file decoded, and found in the data folder.
int FuzzRecovery(const std::uint8_t* data, std::size_t size);
// The clipboard's and the text view's text of program lines, and the check of
// the program it makes.
int FuzzLineText(const std::uint8_t* data, std::size_t size);
