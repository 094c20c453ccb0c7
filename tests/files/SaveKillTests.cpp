#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "ProgramFile.h"
#include "TempDir.h"

namespace {

// Starts the save loop on `path` with the two byte values; returns its process
// id once its first save has completed, or -1.
pid_t StartSaveLoop(const std::string& path, int first, int second) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        const std::string a = std::to_string(first);
        const std::string b = std::to_string(second);
        execl(KX_SAVE_LOOP_PATH, "save_loop", path.c_str(), a.c_str(), b.c_str(),
              static_cast<char*>(nullptr));
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

// A save killed at any moment leaves the old or the new complete file, never
// a mixture or a short one.
TEST(SaveKillTest, KilledSaveLeavesOldOrNewCompleteFile) {
    TempDir dir;
    const std::string path = dir / "Program zażółć.kxp";
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);

    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        const int first = 2 * round + 1;
        const int second = 2 * round + 2;
        const pid_t child = StartSaveLoop(path, first, second);
        ASSERT_GT(child, 0);
        usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop stopped by itself";

        const std::string content = ReadBytes(path);
        ASSERT_EQ(content.size(), 2000u);
        const char value = content[0];
        EXPECT_TRUE(value == first || value == second) << int(value);
        EXPECT_EQ(content, std::string(2000, value));

        ProgramSet set;
        ASSERT_TRUE(ReadProgramFile(path, set));
        EXPECT_EQ(set.Data()[1999], static_cast<std::uint8_t>(value));
    }
}

} // namespace
