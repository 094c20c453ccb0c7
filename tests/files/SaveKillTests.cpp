#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "SettingsFile.h"
#include "TempDir.h"

namespace {

// Starts the save loop with the given arguments; returns its process id once
// its first save has completed, or -1.
pid_t StartSaveLoop(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv{const_cast<char*>("save_loop")};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(KX_SAVE_LOOP_PATH, argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    pollfd ready{pipeEnds[0], POLLIN, 0};
    char byte = 0;
    const bool started =
        child > 0 && poll(&ready, 1, 10000) == 1 && read(pipeEnds[0], &byte, 1) == 1;
    close(pipeEnds[0]);
    if (!started && child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

struct SaveKind {
    const char* name;
    const char* file;
    // The save loop's arguments for round r, and the two complete contents
    // the file may hold after a kill in that round.
    std::vector<std::string> (*arguments)(const std::string& path, int round);
    std::vector<std::string> (*contents)(int round);
};

std::vector<std::string> ProgramArguments(const std::string& path, int round) {
    return {path, std::to_string(2 * (round % 120) + 1), std::to_string(2 * (round % 120) + 2)};
}
std::vector<std::string> ProgramContents(int round) {
    return {std::string(2000, static_cast<char>(2 * (round % 120) + 1)),
            std::string(2000, static_cast<char>(2 * (round % 120) + 2))};
}
std::string Letter(int round, int which) {
    return std::string(1, static_cast<char>('a' + (2 * round + which) % 26));
}
std::vector<std::string> SettingsArguments(const std::string& path, int round) {
    return {"--settings", path, Letter(round, 0), Letter(round, 1)};
}
std::vector<std::string> SettingsContents(int round) {
    std::vector<std::string> texts;
    for (int which : {0, 1}) {
        texts.push_back("[Options]\nAutoLoadFile=" + std::string(3000, Letter(round, which)[0]) +
                        "\n");
    }
    return texts;
}

const SaveKind Kinds[] = {
    {"ProgramFile", "Program zażółć.kxp", ProgramArguments, ProgramContents},
    {"Settings", "config.ini", SettingsArguments, SettingsContents},
};

class SaveKillTest : public ::testing::TestWithParam<SaveKind> {};

// A save killed at any moment leaves the old or the new complete file, never
// a mixture or a short one; the temporary file a kill leaves is removed by
// the next save. KX_SAVE_KILLS sets the number of kills (scripts/save-kill.sh
// runs 1 000).
TEST_P(SaveKillTest, KilledSaveLeavesOldOrNewCompleteFile) {
    const SaveKind& kind = GetParam();
    const char* configured = std::getenv("KX_SAVE_KILLS");
    const int rounds = configured != nullptr ? std::atoi(configured) : 30;
    TempDir dir;
    const std::string path = dir / kind.file;
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);

    int outcome[2] = {0, 0};
    int temporariesLeft = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = StartSaveLoop(kind.arguments(path, round));
        ASSERT_GT(child, 0);
        usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop stopped by itself";

        const std::string content = ReadBytes(path);
        const std::vector<std::string> expected = kind.contents(round);
        const bool first = content == expected[0];
        ASSERT_TRUE(first || content == expected[1]) << "size " << content.size();
        ++outcome[first ? 0 : 1];
        // Before the next round: at most the one temporary file of the kill.
        const std::size_t entries = Entries(dir.Path()).size();
        ASSERT_LE(entries, 2u);
        temporariesLeft += static_cast<int>(entries) - 1;
    }
    // The next save of this process removes what the last kill left.
    if (std::string(kind.name) == "Settings") {
        SettingsFile(path).WriteScreenLeft(1);
    } else {
        ASSERT_TRUE(WriteProgramFile(path, ProgramSet{}));
    }
    EXPECT_EQ(Entries(dir.Path()).size(), 1u);
    std::printf("%s: %d kills, %d left the first content, %d the second, %d left a "
                "temporary file (each removed by the next save)\n",
                kind.name, rounds, outcome[0], outcome[1], temporariesLeft);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveKillTest, ::testing::ValuesIn(Kinds),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
