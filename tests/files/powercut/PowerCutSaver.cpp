// Guest side of the power-cut test (scripts/power-cut.sh), and its checker on
// the host.
//
//   kxrd4_powercut_saver run FOLDER
//       Saves FOLDER/program.kxp and FOLDER/config.ini over and over. Every
//       generation g has its own complete content: the program set is a
//       pseudo-random pattern seeded by g (g in its first four bytes), and
//       config.ini carries [PowerCut] Generation=g beside a long filler line,
//       so the file spans several sectors. Prints "KXRD4-POWERCUT STARTED"
//       once generation 0 is saved, then "KXRD4-POWERCUT SAVED g" after both
//       saves of generation g have returned.
//   kxrd4_powercut_saver verify PROGRAM CONFIG LAST
//       Classifies the two files taken from the disk after the cut against
//       LAST, the last generation the guest reported saved: "old" (exactly
//       generation LAST), "new" (a complete later generation: the save under
//       way when the power went), "lost" (a complete earlier generation: a
//       reported save was undone) or "torn" (anything else: missing, empty,
//       cut short or mixed). Prints "program=VERDICT config=VERDICT".

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "FileAccess.h"
#include "ProgramFile.h"
#include "SettingsFile.h"

namespace {

constexpr const char* Section = "PowerCut";
constexpr const char* GenerationKey = "Generation";
constexpr const char* FillerKey = "Filler";

ProgramSet ProgramFor(std::uint32_t generation) {
    ProgramSet set;
    std::uint8_t* bytes = set.Data();
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(generation >> (8 * i));
    }
    std::uint32_t state = generation * 2654435761u + 1u;
    for (std::size_t i = 4; i < ProgramSet::Size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<std::uint8_t>(state);
    }
    return set;
}

// The settings file as the saver leaves it after generation 0.
void PrepareSettings(SettingsFile& settings) {
    settings.CreateIfMissing();
    settings.WriteString(Section, FillerKey, std::string(1500, 'x'));
    settings.WriteInteger(Section, GenerationKey, 0);
}

int Run(const std::string& folder) {
    const std::string programPath = FileAccess::JoinPath(folder, "program.kxp");
    SettingsFile settings(SettingsPath(folder));
    try {
        if (!WriteProgramFile(programPath, ProgramFor(0))) {
            throw std::runtime_error("Unable to write to " + programPath);
        }
        PrepareSettings(settings);
        std::printf("KXRD4-POWERCUT STARTED\n");
        std::fflush(stdout);
        for (std::uint32_t generation = 1;; ++generation) {
            if (!WriteProgramFile(programPath, ProgramFor(generation))) {
                throw std::runtime_error("Unable to write to " + programPath);
            }
            settings.WriteInteger(Section, GenerationKey, static_cast<int>(generation));
            std::printf("KXRD4-POWERCUT SAVED %u\n", generation);
            std::fflush(stdout);
        }
    } catch (const std::runtime_error& error) {
        std::printf("KXRD4-POWERCUT ERROR %s\n", error.what());
        std::fflush(stdout);
        return 1;
    }
}

const char* Verdict(std::optional<std::uint32_t> generation, std::uint32_t last) {
    if (!generation) {
        return "torn";
    }
    return *generation == last ? "old" : *generation > last ? "new" : "lost";
}

// The generation whose complete content the program file holds.
std::optional<std::uint32_t> ProgramGeneration(const std::string& path) {
    std::string text;
    if (FileAccess::ReadWhole(path, ProgramSet::Size(), text) != FileAccess::ReadStatus::Ok ||
        text.size() != ProgramSet::Size()) {
        return std::nullopt;
    }
    std::uint32_t generation = 0;
    for (int i = 0; i < 4; ++i) {
        generation |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[i])) << (8 * i);
    }
    const ProgramSet expected = ProgramFor(generation);
    if (text.compare(0, text.size(), reinterpret_cast<const char*>(expected.Data()),
                     ProgramSet::Size()) != 0) {
        return std::nullopt;
    }
    return generation;
}

// The generation whose complete content config.ini holds: the file must be
// byte for byte what the saver writes for that generation.
std::optional<std::uint32_t> SettingsGeneration(const std::string& path) {
    std::string text;
    if (FileAccess::ReadWhole(path, 1 << 20, text) != FileAccess::ReadStatus::Ok) {
        return std::nullopt;
    }
    const int generation = SettingsFile(path).ReadInteger(Section, GenerationKey, -1);
    if (generation < 0) {
        return std::nullopt;
    }
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("kxrd4-powercut-" + std::to_string(::getpid()));
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch);
    SettingsFile settings(SettingsPath(scratch.string()));
    PrepareSettings(settings);
    settings.WriteInteger(Section, GenerationKey, generation);
    std::string expected;
    FileAccess::ReadWhole(settings.Path(), 1 << 20, expected);
    std::filesystem::remove_all(scratch);
    if (text != expected) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(generation);
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 3) {
        return Run(argv[2]);
    }
    if (mode == "verify" && argc == 5) {
        const auto last = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
        std::printf("program=%s config=%s\n", Verdict(ProgramGeneration(argv[2]), last),
                    Verdict(SettingsGeneration(argv[3]), last));
        return 0;
    }
    std::fprintf(stderr, "usage: kxrd4_powercut_saver run FOLDER\n"
                         "       kxrd4_powercut_saver verify PROGRAM CONFIG LAST\n");
    return 2;
}
