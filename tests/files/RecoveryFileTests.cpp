#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "RecoveryFile.h"
#include "TempDir.h"

namespace {

const std::uint8_t* Bytes(const std::string& set) {
    return reinterpret_cast<const std::uint8_t*>(set.data());
}

std::string SetOf(char byte) {
    return std::string(RecoveryFile::SetSize, byte);
}

TEST(RecoveryFile, RoundTripAndDamagedFiles) {
    TempDir dir;
    for (const std::string& name :
         {std::string(), std::string("C:\\Programy\\wiersz\nz końcem.kxp"),
          std::string(5000, 'n')}) {
        ASSERT_TRUE(RecoveryFile::Write(dir / "r.kxr", name, Bytes(SetOf('\n'))));
        RecoveryFile::Contents contents;
        ASSERT_EQ(RecoveryFile::Read(dir / "r.kxr", contents), RecoveryFile::Status::Ok);
        EXPECT_EQ(contents.fileName, name.size() <= RecoveryFile::MaxNameSize ? name : "");
        EXPECT_EQ(contents.bytes, SetOf('\n'));
    }
    const std::string good = RecoveryFile::Encode("a.kxp", Bytes(SetOf(3)));
    const std::pair<std::string, RecoveryFile::Status> cases[] = {
        {"", RecoveryFile::Status::Empty},
        {good.substr(0, good.size() - 1), RecoveryFile::Status::Damaged}, // cut short
        {good + "x", RecoveryFile::Status::Damaged},
        {SetOf(3), RecoveryFile::Status::Damaged}, // a program file
        {"KXRD5" + good.substr(5), RecoveryFile::Status::Damaged},
        {"KXRD4-RECOVERY 2" + good.substr(16), RecoveryFile::Status::Damaged},
        {"KXRD4-RECOVERY 1 4 a.kxp\n" + SetOf(3), RecoveryFile::Status::Damaged},
        {"KXRD4-RECOVERY 1  a.kxp\n" + SetOf(3), RecoveryFile::Status::Damaged},
        {"KXRD4-RECOVERY 1 99999999999999999999999 a\n", RecoveryFile::Status::Damaged},
    };
    for (const auto& [data, status] : cases) {
        RecoveryFile::Contents contents;
        EXPECT_EQ(RecoveryFile::Decode(data, contents), status) << data.substr(0, 30);
    }
    RecoveryFile::Contents contents;
    EXPECT_EQ(RecoveryFile::Read(Utf8(dir.Path()), contents), RecoveryFile::Status::Damaged);
}

TEST(RecoveryFile, LeftoversOfProcessesThatNoLongerRunNewestFirst) {
    TempDir dir;
    const auto put = [&](const std::string& name, const std::string& data, int minutesAgo) {
        WriteBytes(dir / name, data);
        std::filesystem::last_write_time(PathOf(dir / name),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(minutesAgo));
    };
    put("recovery-100.kxr", RecoveryFile::Encode("old.kxp", Bytes(SetOf(1))), 30);
    // Crashed after its last write: the crash record wins.
    put("recovery-200.kxr", RecoveryFile::Encode("c.kxp", Bytes(SetOf(2))), 20);
    put("recovery-200-crash.kxr", RecoveryFile::Encode("c.kxp", Bytes(SetOf(22))), 10);
    // Killed: its empty crash file goes without a word.
    put("recovery-300.kxr", RecoveryFile::Encode("", Bytes(SetOf(3))), 1);
    put("recovery-300-crash.kxr", "", 1);
    put("recovery-400.kxr", RecoveryFile::Encode("live.kxp", Bytes(SetOf(4))), 0);  // running
    put("recovery-500-crash.kxr", "KXRD4-RECOVERY 1 0 \n" + SetOf(5).substr(9), 0); // torn
    for (const char* other : {"recovery-.kxr", "recovery-12a.kxr", "recovery-9.kxp", "x.txt"})
        put(other, "x", 0);

    std::vector<std::string> damaged;
    const auto found = RecoveryFile::Leftovers(
        Utf8(dir.Path()), [](long pid) { return pid == 400; }, damaged);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].pid, 300);
    EXPECT_EQ(found[1].contents.bytes, SetOf(22));
    EXPECT_EQ(found[2].contents.fileName, "old.kxp");
    EXPECT_EQ(damaged, std::vector<std::string>{dir / "recovery-500-crash.kxr"});
    EXPECT_FALSE(std::filesystem::exists(PathOf(dir / "recovery-300-crash.kxr")));

    EXPECT_TRUE(RecoveryFile::ProcessRunning(RecoveryFile::CurrentProcessId()));
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(RecoveryFile::ProcessRunning(child));
}

// Only a living process of this very program is a running tool: not a
// zombie that is not reaped yet, not another program that got the number.
TEST(RecoveryFileProcesses, AZombieOrAnotherProgramIsNoRunningTool) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t same = fork(); // this program, alive until told
    if (same == 0) {
        char c;
        [[maybe_unused]] const ssize_t n = read(ready[0], &c, 1);
        _exit(0);
    }
    const pid_t other = fork(); // another program
    if (other == 0) {
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    const pid_t zombie = fork();
    if (zombie == 0)
        _exit(0);
    // The zombie is there once its parent could reap it.
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(zombie), &info, WEXITED | WNOWAIT), 0);
    // The other program runs once its name is no longer this one's.
    for (int i = 0; i < 500 && RecoveryFile::ProcessRunning(other); ++i)
        usleep(10000);

    EXPECT_TRUE(RecoveryFile::ProcessRunning(same));
    EXPECT_FALSE(RecoveryFile::ProcessRunning(other)) << "sleep is not this tool";
    EXPECT_FALSE(RecoveryFile::ProcessRunning(zombie)) << "a zombie writes nothing any more";
    EXPECT_FALSE(RecoveryFile::ProcessRunning(0));

    kill(other, SIGKILL);
    [[maybe_unused]] const ssize_t n = write(ready[1], "x", 1);
    for (const pid_t pid : {same, other, zombie})
        waitpid(pid, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
}

// Under ASan or TSan the sanitizer's own handler, which the crash guard hands
// the signal on to, reports it and ends the process with an exit status
// instead of the signal.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SanitizerEndsFatalSignals = true;
#else
constexpr bool SanitizerEndsFatalSignals = false;
#endif

TEST(CrashGuard, AFatalSignalLeavesTheLastRecordInTheCrashFile) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"segv", {SIGSEGV}},  {"abort", {SIGABRT}},
        {"fpe", {SIGFPE}},    {"null", {SIGSEGV, SIGBUS, SIGILL}},
        {"clean", {SIGSEGV}}, // nothing unsaved
    };
    for (const auto& [how, signals] : cases) {
        if (SanitizerEndsFatalSignals && std::string(how) == "null") {
            continue; // UBSan stops the null write before it faults
        }
        TempDir dir;
        const std::string path = dir / "recovery-1-crash.kxr";
        const pid_t child = fork();
        if (child == 0) {
            execl(KX_CRASH_CHILD_PATH, "crash_child", path.c_str(), how, nullptr);
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 127)
            << "could not start " << KX_CRASH_CHILD_PATH;
        if (SanitizerEndsFatalSignals && WIFEXITED(status)) {
            EXPECT_NE(WEXITSTATUS(status), 0) << how;
        } else {
            ASSERT_TRUE(WIFSIGNALED(status)) << how;
            EXPECT_NE(std::find(signals.begin(), signals.end(), WTERMSIG(status)), signals.end());
        }
        RecoveryFile::Contents contents;
        const bool clean = std::string(how) == "clean";
        ASSERT_EQ(RecoveryFile::Read(path, contents),
                  clean ? RecoveryFile::Status::Empty : RecoveryFile::Status::Ok)
            << how;
        if (!clean) {
            EXPECT_EQ(contents.fileName + contents.bytes, "Oś.kxp" + SetOf(77));
        }
    }
}

} // namespace
