// The window in child processes (recovery_child) with private data and
// configuration folders: edits survive a kill and a crash.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Folders {
    fs::path root =
        fs::temp_directory_path() / ("kxrd4-recovery-" + std::to_string(std::random_device()()));
    Folders() { fs::create_directories(root / "config"); }
    ~Folders() { fs::remove_all(root); }
    std::size_t RecoveryFiles() const {
        std::error_code error;
        auto entries = fs::directory_iterator(root / "data/kxrd4-pc", error);
        return error ? 0 : std::distance(fs::begin(entries), fs::end(entries));
    }
};

struct Child {
    pid_t pid = -1;
    int out = -1;
    // The next line of its output, "" at the end or after 20 s.
    std::string Line() {
        std::string line;
        char c = 0;
        pollfd ready{out, POLLIN, 0};
        while (poll(&ready, 1, 20000) == 1 && read(out, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    int End(bool kill = false) {
        if (kill)
            ::kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        close(out);
        return status;
    }
};

Child Start(const Folders& folders, const char* mode) {
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    const std::string config = (folders.root / "config").string();
    const std::string data = (folders.root / "data").string();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        execl(KX_RECOVERY_CHILD_PATH, "recovery_child", mode, config.c_str(), nullptr);
        _exit(127);
    }
    close(ends[1]);
    return {pid, ends[0]};
}

// Starts answering the questions; the questions asked and the set shown.
std::vector<std::string> StartAnswering(const Folders& folders, const char* answer) {
    Child child = Start(folders, answer);
    std::vector<std::string> lines;
    for (std::string line = child.Line(); !line.empty(); line = child.Line())
        lines.push_back(line);
    EXPECT_EQ(child.End(), 0);
    return lines;
}

const std::string Question = "question Odzyskać niezapisane zmiany z Nowy?";
const std::string EmptySet = "set " + std::string(4000, '0');

TEST(RecoveryEndToEnd, AKilledWindowsEditsAreOfferedAtTheNextStart) {
    for (const bool take : {true, false}) {
        Folders folders;
        Child editing = Start(folders, "edit");
        const std::string ready = editing.Line();
        ASSERT_EQ(ready.substr(0, 6), "ready ");
        const std::string edited = "set " + ready.substr(6);
        ASSERT_NE(edited, EmptySet);
        // Another window says nothing of the edits of one that runs.
        EXPECT_EQ(StartAnswering(folders, "yes").front().substr(0, 8), "caption ");
        editing.End(true);
        EXPECT_EQ(folders.RecoveryFiles(), 2u); // the file and the empty crash file

        EXPECT_EQ(StartAnswering(folders, take ? "yes" : "no"),
                  (std::vector<std::string>{Question,
                                            take ? "caption KX-RD4 PC  -  [Nowy]*"
                                                 : "caption KX-RD4 PC  -  [Nowy]",
                                            take ? edited : EmptySet}));
        // Declined, or taken over and then closed cleanly: nothing is left.
        EXPECT_EQ(folders.RecoveryFiles(), 0u);
    }
}

// Under ASan the sanitizer's handler, which the crash guard hands the signal
// on to, ends the process with an exit status instead of the signal.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SanitizerEndsFatalSignals = true;
#else
constexpr bool SanitizerEndsFatalSignals = false;
#endif

TEST(RecoveryEndToEnd, ACrashRightAfterAnEditLeavesItForTheNextStart) {
    Folders folders;
    Child crashing = Start(folders, "crash");
    const std::string line = crashing.Line();
    const int status = crashing.End();
    ASSERT_EQ(line.substr(0, 9), "crashing ");
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) ||
                (SanitizerEndsFatalSignals && WIFEXITED(status) && WEXITSTATUS(status) != 0))
        << status;
    // Only the crash record holds the edit: the delayed write had not come.
    const auto lines = StartAnswering(folders, "yes");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Question);
    EXPECT_EQ(lines[2], "set " + line.substr(9));
}

// A kill, a closed terminal, Ctrl+C: the edit made a moment before (the
// recovery file not yet due) is kept, the tool ends as a close would with
// status 0 and its settings written, and the next start offers the edit.
TEST(RecoveryEndToEnd, TermHupAndIntKeepTheEditOfTheMomentBefore) {
    for (const char* mode : {"term", "hup", "int"}) {
        SCOPED_TRACE(mode);
        Folders folders;
        Child ending = Start(folders, mode);
        const std::string line = ending.Line();
        ASSERT_EQ(line.substr(0, 7), "ending ");
        const int status = ending.End();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_GE(folders.RecoveryFiles(), 1u);
        EXPECT_TRUE(fs::exists(folders.root / "config/config.ini"));
        const auto lines = StartAnswering(folders, "yes");
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], Question);
        EXPECT_EQ(lines[1], "caption KX-RD4 PC  -  [Nowy]*");
        EXPECT_EQ(lines[2], "set " + line.substr(7));
    }
}

// A tool killed and started again before its zombie is reaped: the zombie
// is not a running tool, so its edits are offered at once.
TEST(RecoveryEndToEnd, AZombieHoldsNothingBack) {
    Folders folders;
    Child editing = Start(folders, "edit");
    const std::string ready = editing.Line();
    ASSERT_EQ(ready.substr(0, 6), "ready ");
    ::kill(editing.pid, SIGKILL);
    // Not reaped yet: /proc/PID/stat says Z once the kill has gone through.
    const std::string stat = "/proc/" + std::to_string(editing.pid) + "/stat";
    bool zombie = false;
    for (int i = 0; i < 500 && !zombie; ++i) {
        std::ifstream in(stat);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        const std::size_t close = text.rfind(')');
        zombie = close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
        if (!zombie)
            usleep(10000);
    }
    ASSERT_TRUE(zombie);
    const auto lines = StartAnswering(folders, "yes");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], Question);
    EXPECT_EQ(lines.back(), "set " + ready.substr(6));
    editing.End();
}

} // namespace
