// The window in child processes with a private data and configuration
// folder: edits survive a kill and a crash, and the next start offers them.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Folders {
public:
    Folders() {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("kxrd4-recovery-" + std::to_string(random()));
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "data");
    }
    ~Folders() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    std::string Config() const { return (root_ / "config").string(); }
    std::string Data() const { return (root_ / "data").string(); }
    // The recovery files left in the data folder.
    std::vector<std::string> RecoveryFiles() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root_ / "data/kxrd4-pc", error))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    fs::path root_;
};

// A running child with its standard output.
struct Child {
    pid_t pid = -1;
    int out = -1;

    // The next line, or "" after the time-out or at the end.
    std::string Line(int timeoutMs = 20000) {
        std::string line;
        char c = 0;
        while (true) {
            pollfd ready{out, POLLIN, 0};
            if (poll(&ready, 1, timeoutMs) != 1 || read(out, &c, 1) != 1)
                return line;
            if (c == '\n')
                return line;
            line += c;
        }
    }
    // All lines until the end, and the exit status.
    std::vector<std::string> Rest(int& status) {
        std::vector<std::string> lines;
        for (std::string line = Line(); !line.empty(); line = Line())
            lines.push_back(line);
        waitpid(pid, &status, 0);
        close(out);
        return lines;
    }
    void Kill() {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        close(out);
    }
};

Child Start(const Folders& folders, const std::string& mode, const std::string& answer = {}) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const std::string config = folders.Config();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        setenv("XDG_DATA_HOME", folders.Data().c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>("recovery_child"),
                                const_cast<char*>(mode.c_str()), const_cast<char*>(config.c_str())};
        if (!answer.empty())
            argv.push_back(const_cast<char*>(answer.c_str()));
        argv.push_back(nullptr);
        execv(KX_RECOVERY_CHILD_PATH, argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    return {pid, pipeEnds[0]};
}

// What a start answering the questions shows.
struct StartResult {
    std::vector<std::string> questions;
    std::string caption;
    std::string set;
};

StartResult StartAnswering(const Folders& folders, const char* answer) {
    Child child = Start(folders, "start", answer);
    int status = -1;
    StartResult result;
    for (const std::string& line : child.Rest(status)) {
        if (line.rfind("question ", 0) == 0)
            result.questions.push_back(line.substr(9));
        else if (line.rfind("caption ", 0) == 0)
            result.caption = line.substr(8);
        else if (line.rfind("set ", 0) == 0)
            result.set = line.substr(4);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return result;
}

const std::string Question = "4 Odzyskać niezapisane zmiany z Nowy?"; // 4: question icon
const std::string EmptySet(4000, '0');

// Edits in a child, waits for its recovery file and kills it.
std::string EditAndKill(const Folders& folders) {
    Child child = Start(folders, "edit");
    const std::string ready = child.Line();
    child.Kill();
    EXPECT_EQ(ready.rfind("ready ", 0), 0u) << ready;
    return ready.size() > 6 ? ready.substr(6) : std::string();
}

TEST(RecoveryEndToEnd, AKilledWindowsEditsAreOfferedAtTheNextStart) {
    struct Case {
        const char* answer;
        bool recovered;
    };
    for (const Case c : {Case{"yes", true}, Case{"no", false}}) {
        SCOPED_TRACE(c.answer);
        Folders folders;
        const std::string edited = EditAndKill(folders);
        ASSERT_NE(edited, EmptySet);
        ASSERT_EQ(folders.RecoveryFiles().size(), 2u); // the file and the empty crash file

        const StartResult start = StartAnswering(folders, c.answer);
        EXPECT_EQ(start.questions, std::vector<std::string>{Question});
        EXPECT_EQ(start.set, c.recovered ? edited : EmptySet);
        EXPECT_EQ(start.caption, c.recovered ? "KX-RD4 PC  -  [Nowy]*" : "KX-RD4 PC  -  [Nowy]");
        // Declined, or taken over and then closed cleanly: nothing is left.
        EXPECT_TRUE(folders.RecoveryFiles().empty());
        EXPECT_TRUE(StartAnswering(folders, "yes").questions.empty());
    }
}

TEST(RecoveryEndToEnd, ARunningWindowsEditsAreNotOfferedToAnother) {
    Folders folders;
    Child running = Start(folders, "edit");
    ASSERT_EQ(running.Line().rfind("ready ", 0), 0u);
    EXPECT_TRUE(StartAnswering(folders, "yes").questions.empty());
    running.Kill();
    EXPECT_EQ(StartAnswering(folders, "no").questions, std::vector<std::string>{Question});
}

TEST(RecoveryEndToEnd, ACrashRightAfterAnEditLeavesItForTheNextStart) {
    Folders folders;
    Child crashing = Start(folders, "crash");
    const std::string line = crashing.Line();
    int status = 0;
    crashing.Rest(status);
    ASSERT_EQ(line.rfind("crashing ", 0), 0u) << line;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << status;
    // Only the crash record holds the edit: the delayed write had not come.
    const StartResult start = StartAnswering(folders, "yes");
    EXPECT_EQ(start.questions, std::vector<std::string>{Question});
    EXPECT_EQ(start.set, line.substr(9));
}

} // namespace
