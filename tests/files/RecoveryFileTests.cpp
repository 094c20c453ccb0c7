#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "RecoveryFile.h"
#include "TempDir.h"

namespace {

std::string SetOf(char byte) {
    std::string set(RecoveryFile::SetSize, byte);
    set[0] = 'P';
    set[1999] = '\n';
    return set;
}

const std::uint8_t* Bytes(const std::string& set) {
    return reinterpret_cast<const std::uint8_t*>(set.data());
}

TEST(RecoveryFile, RoundTripKeepsTheSetAndTheFileName) {
    TempDir dir;
    const std::string names[] = {"", "/home/operator/Programy/łożysko 2.kxp",
                                 "C:\\Programy\\wiersz\nz końcem.kxp",
                                 std::string(RecoveryFile::MaxNameSize, 'n')};
    for (const std::string& name : names) {
        const std::string set = SetOf(static_cast<char>(name.size() % 251));
        const std::string path = dir / "recovery-7.kxr";
        ASSERT_TRUE(RecoveryFile::Write(path, name, Bytes(set)));
        RecoveryFile::Contents contents;
        ASSERT_EQ(RecoveryFile::Read(path, contents), RecoveryFile::Status::Ok) << name;
        EXPECT_EQ(contents.fileName, name);
        EXPECT_EQ(contents.bytes, set);
    }
    // A name too long to keep is dropped; the set is kept all the same.
    RecoveryFile::Contents contents;
    const std::string set = SetOf(9);
    EXPECT_EQ(
        RecoveryFile::Decode(RecoveryFile::Encode(std::string(5000, 'x'), Bytes(set)), contents),
        RecoveryFile::Status::Ok);
    EXPECT_EQ(contents.fileName, "");
    EXPECT_EQ(contents.bytes, set);
}

TEST(RecoveryFile, DamagedFilesAreRefused) {
    const std::string good = RecoveryFile::Encode("a.kxp", Bytes(SetOf(3)));
    const std::string header = "KXRD4-RECOVERY 1 5 a.kxp\n";
    struct Case {
        const char* what;
        std::string data;
        RecoveryFile::Status status;
    };
    const Case cases[] = {
        {"empty", "", RecoveryFile::Status::Empty},
        {"header only", header, RecoveryFile::Status::Damaged},
        {"set cut short", good.substr(0, good.size() - 1), RecoveryFile::Status::Damaged},
        {"one byte more", good + "x", RecoveryFile::Status::Damaged},
        {"a program file", SetOf(3), RecoveryFile::Status::Damaged},
        {"other magic", "KXRD5-RECOVERY" + good.substr(14), RecoveryFile::Status::Damaged},
        {"later version", "KXRD4-RECOVERY 2" + good.substr(16), RecoveryFile::Status::Damaged},
        {"name longer than said", "KXRD4-RECOVERY 1 4 a.kxp\n" + SetOf(3),
         RecoveryFile::Status::Damaged},
        {"no length", "KXRD4-RECOVERY 1  a.kxp\n" + SetOf(3), RecoveryFile::Status::Damaged},
        {"huge length", "KXRD4-RECOVERY 1 99999999999999999999999 a\n" + SetOf(3),
         RecoveryFile::Status::Damaged},
        {"text", "hello\n", RecoveryFile::Status::Damaged},
    };
    for (const Case& c : cases) {
        RecoveryFile::Contents contents;
        EXPECT_EQ(RecoveryFile::Decode(c.data, contents), c.status) << c.what;
    }
    TempDir dir;
    RecoveryFile::Contents contents;
    EXPECT_EQ(RecoveryFile::Read(dir / "missing.kxr", contents), RecoveryFile::Status::Damaged);
    EXPECT_EQ(RecoveryFile::Read(Utf8(dir.Path()), contents), RecoveryFile::Status::Damaged);
}

TEST(RecoveryFile, LeftoversOfProcessesThatNoLongerRunAreOfferedNewestFirst) {
    TempDir dir;
    const auto age = [&](const std::string& name, int minutes) {
        std::filesystem::last_write_time(PathOf(dir / name),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(minutes));
    };
    // 100: dead, recovery file only, oldest.
    RecoveryFile::Write(dir / "recovery-100.kxr", "old.kxp", Bytes(SetOf(1)));
    age("recovery-100.kxr", 30);
    // 200: dead, crashed after its last write: the crash record wins.
    RecoveryFile::Write(dir / "recovery-200.kxr", "c.kxp", Bytes(SetOf(2)));
    WriteBytes(dir / "recovery-200-crash.kxr", RecoveryFile::Encode("c.kxp", Bytes(SetOf(22))));
    age("recovery-200.kxr", 20);
    age("recovery-200-crash.kxr", 10);
    // 300: dead, killed: an empty crash file, removed without a word.
    RecoveryFile::Write(dir / "recovery-300.kxr", "", Bytes(SetOf(3)));
    WriteBytes(dir / "recovery-300-crash.kxr", "");
    age("recovery-300.kxr", 1);
    // 400: still running.
    RecoveryFile::Write(dir / "recovery-400.kxr", "live.kxp", Bytes(SetOf(4)));
    // 500: dead, a torn crash record and nothing else.
    WriteBytes(dir / "recovery-500-crash.kxr", "KXRD4-RECOVERY 1 0 \n" + SetOf(5).substr(9));
    // Other names are none of its business.
    for (const char* other :
         {"recovery-.kxr", "recovery-12a.kxr", "recovery-9.kxp", "notes.txt", "recovery-0.kxr"}) {
        WriteBytes(dir / other, "x");
    }

    std::vector<std::string> damaged;
    const auto found = RecoveryFile::Leftovers(
        Utf8(dir.Path()), [](long pid) { return pid == 400; }, damaged);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].pid, 300);
    EXPECT_EQ(found[0].contents.bytes, SetOf(3));
    EXPECT_EQ(found[1].pid, 200);
    EXPECT_EQ(found[1].contents.bytes, SetOf(22));
    EXPECT_EQ(found[1].path, dir / "recovery-200-crash.kxr");
    EXPECT_EQ(found[2].pid, 100);
    EXPECT_EQ(found[2].contents.fileName, "old.kxp");
    EXPECT_EQ(damaged, std::vector<std::string>{dir / "recovery-500-crash.kxr"});
    EXPECT_FALSE(std::filesystem::exists(PathOf(dir / "recovery-300-crash.kxr")));

    RecoveryFile::SetAside(damaged[0]);
    RecoveryFile::Remove(Utf8(dir.Path()), 200);
    damaged.clear();
    const auto again = RecoveryFile::Leftovers(
        Utf8(dir.Path()), [](long pid) { return pid == 400; }, damaged);
    EXPECT_EQ(again.size(), 2u);
    EXPECT_TRUE(damaged.empty());
    EXPECT_TRUE(std::filesystem::exists(PathOf(dir / "recovery-500-crash.kxr.damaged")));

    // The process checks of this system.
    EXPECT_TRUE(RecoveryFile::ProcessRunning(RecoveryFile::CurrentProcessId()));
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(RecoveryFile::ProcessRunning(child));
}

TEST(RecoveryFile, DataFolderFollowsXdgDataHome) {
    TempDir dir;
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("XDG_DATA_HOME", (dir / "data/deeper").c_str(), 1);
    EXPECT_EQ(RecoveryFile::DataFolder(), dir / "data/deeper/kxrd4-pc");
    EXPECT_TRUE(std::filesystem::is_directory(PathOf(dir / "data/deeper/kxrd4-pc")));
    setenv("XDG_DATA_HOME", "relative/path", 1);
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", Utf8(dir.Path()).c_str(), 1);
    EXPECT_EQ(RecoveryFile::DataFolder(), dir / ".local/share/kxrd4-pc");
    setenv("HOME", home.c_str(), 1);
    if (saved != nullptr) {
        setenv("XDG_DATA_HOME", previous.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

// A process that dies of a fatal signal leaves its last record complete in
// the crash file opened at start.
TEST(CrashGuard, AFatalSignalLeavesTheLastRecordInTheCrashFile) {
    struct Case {
        const char* how;
        std::set<int> signals; // the signal the process must still die of
        bool record;
    };
    const Case cases[] = {
        {"segv", {SIGSEGV}, true},   {"abort", {SIGABRT}, true},
        {"fpe", {SIGFPE}, true},     {"null", {SIGSEGV, SIGBUS, SIGILL}, true},
        {"clean", {SIGSEGV}, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir / "recovery-1-crash.kxr";
        const pid_t child = fork();
        if (child == 0) {
            execl(KX_CRASH_CHILD_PATH, "crash_child", path.c_str(), "77", "Oś ą.kxp", c.how,
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << c.how << " exit " << WEXITSTATUS(status);
        EXPECT_TRUE(c.signals.count(WTERMSIG(status))) << c.how << " " << WTERMSIG(status);
        RecoveryFile::Contents contents;
        const auto read = RecoveryFile::Read(path, contents);
        if (!c.record) {
            EXPECT_EQ(read, RecoveryFile::Status::Empty) << c.how;
            continue;
        }
        ASSERT_EQ(read, RecoveryFile::Status::Ok) << c.how;
        EXPECT_EQ(contents.fileName, "Oś ą.kxp");
        EXPECT_EQ(contents.bytes, std::string(RecoveryFile::SetSize, static_cast<char>(77)));
    }
}

} // namespace
