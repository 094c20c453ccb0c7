#pragma once
// Runs kxrd4-cli in-process against simulated HID devices, and a temporary
// folder for its files.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "ProgramSet.h"
#include "SimulatedHidBackend.h"

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliRig {
public:
    CliRig() {
        dir_ = std::filesystem::temp_directory_path() /
               ("kxrd4-cli-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(dir_);
    }
    ~CliRig() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    CliRig(const CliRig&) = delete;
    CliRig& operator=(const CliRig&) = delete;

    CliResult Tool(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CliResult r;
        r.status = RunCli(
            args, [this] { return backend; }, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();

private:
    static inline int counter_ = 0;
    std::filesystem::path dir_;
};

// Program P (0 to 9) of the bytes of a program file.
inline std::string ProgramOf(const std::string& file, int p) {
    return file.substr(static_cast<std::size_t>(p * ProgramBytes), ProgramBytes);
}
