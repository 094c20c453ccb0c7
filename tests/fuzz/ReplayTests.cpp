// Replays every committed input of the fuzz targets (the seed corpus and the
// inputs of past findings) through the same target functions, so the ordinary
// test run catches a finding that comes back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTargets.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    FuzzFunction run;
};

const Target Targets[] = {
    {"replies", FuzzReplies},
    {"program_file", FuzzProgramFile},
    {"report_descriptor", FuzzReportDescriptor},
    {"settings", FuzzSettings},
    {"emulator", FuzzEmulator},
    {"integer_text", FuzzIntegerText},
    {"listing", FuzzListing},
    {"backup", FuzzBackup},
    {"recovery", FuzzRecovery},
    {"line_text", FuzzLineText},
};

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EveryCommittedInputPasses) {
    const Target& target = GetParam();
    std::size_t inputs = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(KX_FUZZ_DIR) / kind / target.name;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            SCOPED_TRACE(entry.path().string());
            target.run(bytes.empty() ? nullptr : bytes.data(), bytes.size());
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0u) << "no committed input for " << target.name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(Targets),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
