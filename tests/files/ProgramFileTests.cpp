#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

// Every byte different from its neighbours, including unused operand bytes.
ProgramSet PatternSet(int seed) {
    ProgramSet set;
    for (int i = 0; i < ProgramSetBytes; ++i) {
        set.Data()[i] = static_cast<std::uint8_t>(i * 31 + seed);
    }
    return set;
}

std::string SetBytes(const ProgramSet& set) {
    return {reinterpret_cast<const char*>(set.Data()), ProgramSet::Size()};
}

TEST(FileCaptionTest, NamesTheFileOrNowy) {
    EXPECT_EQ(FileCaption(""), "KX-RD4 PC  -  [Nowy]");
    EXPECT_EQ(FileCaption("/home/op/Programy/oś X.kxp"),
              "KX-RD4 PC  -  [/home/op/Programy/oś X.kxp]");
}

TEST(ProgramFileTest, RoundTripKeepsEveryByte) {
    TempDir dir;
    const std::string path = dir / "set.kxp";
    ProgramSet written = PatternSet(5);
    // An END line with the operands of an earlier V_DST, and bytes outside
    // every range.
    written.SetLine(3, 4, {20, 1, 0, 1, 2, 0, 0, 0});
    written.SetLine(9, 24, {255, 128, 127, 100, 26, 99, 10, 255});

    ASSERT_TRUE(WriteProgramFile(path, written));
    EXPECT_EQ(ReadBytes(path), SetBytes(written));

    ProgramSet read;
    ASSERT_TRUE(ReadProgramFile(path, read));
    EXPECT_EQ(SetBytes(read), SetBytes(written));
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("set.kxp"));
}

TEST(ProgramFileTest, ShortFilesFillWithFFAndLongFilesGiveTheirStart) {
    for (std::size_t size : {0u, 1u, 1000u, 1999u, 2000u, 2001u, 2500u}) {
        SCOPED_TRACE(size);
        TempDir dir;
        const std::string path = dir / "any.kxp";
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            content[i] = static_cast<char>(i * 13 + 1);
        }
        WriteBytes(path, content);

        ProgramSet set = PatternSet(0);
        ASSERT_TRUE(ReadProgramFile(path, set));
        const std::string bytes = SetBytes(set);
        const std::size_t used = std::min<std::size_t>(size, ProgramSetBytes);
        EXPECT_EQ(bytes.substr(0, used), content.substr(0, used));
        EXPECT_EQ(bytes.substr(used), std::string(ProgramSetBytes - used, '\xFF'));
        // Whatever was read renders without touching anything outside the tables.
        for (int line = 0; line < LinesPerProgram; ++line) {
            EXPECT_FALSE(RenderLine(line, set.Line(9, line)).empty());
        }
    }
}

TEST(ProgramFileTest, UnreadablePathsFailAndLeaveTheSetUntouched) {
    TempDir dir;
    fs::create_directory(dir.Path() / "folder.kxp");
    ASSERT_EQ(mkfifo((dir / "pipe.kxp").c_str(), 0600), 0);
    for (const std::string& path :
         {dir / "missing.kxp", dir / "folder.kxp", dir / "no such folder/a.kxp", dir / "pipe.kxp",
          std::string()}) {
        SCOPED_TRACE(path);
        ProgramSet set = PatternSet(7);
        EXPECT_FALSE(ReadProgramFile(path, set));
        EXPECT_EQ(SetBytes(set), SetBytes(PatternSet(7)));
    }
}

TEST(ProgramFileTest, FileWithoutReadPermissionFails) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    TempDir dir;
    const std::string path = dir / "locked.kxp";
    WriteBytes(path, std::string(2000, '\1'));
    fs::permissions(path, fs::perms::none);
    ProgramSet set = PatternSet(2);
    EXPECT_FALSE(ReadProgramFile(path, set));
    EXPECT_EQ(SetBytes(set), SetBytes(PatternSet(2)));
}

TEST(ProgramFileTest, PolishLettersAndBlanksInPaths) {
    TempDir dir;
    fs::create_directory(dir.Path() / "Programy zażółć gęślą jaźń");
    const std::string path = dir / "Programy zażółć gęślą jaźń/Oś X – próba 1.kxp";
    const ProgramSet written = PatternSet(11);
    ASSERT_TRUE(WriteProgramFile(path, written));
    EXPECT_TRUE(FileExists(path));
    ProgramSet read;
    ASSERT_TRUE(ReadProgramFile(path, read));
    EXPECT_EQ(SetBytes(read), SetBytes(written));
}

TEST(ProgramFileTest, FileExistsOnlyForRegularFiles) {
    TempDir dir;
    WriteBytes(dir / "a.kxp", "x");
    EXPECT_TRUE(FileExists(dir / "a.kxp"));
    EXPECT_FALSE(FileExists(dir.Path().string()));
    EXPECT_FALSE(FileExists(dir / "b.kxp"));
    EXPECT_FALSE(FileExists("c:\\"));
    EXPECT_FALSE(FileExists(""));
}

TEST(ProgramFileTest, OverwriteReplacesContentAndKeepsPermissions) {
    TempDir dir;
    const std::string path = dir / "set.kxp";
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(1)));
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(1)));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(ProgramFileTest, WriteThroughSymbolicLinkReplacesTheLinkedFile) {
    TempDir dir;
    const std::string target = dir / "real.kxp";
    const std::string link = dir / "link.kxp";
    WriteBytes(target, "old");
    fs::create_symlink(target, link);
    ASSERT_TRUE(WriteProgramFile(link, PatternSet(3)));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), SetBytes(PatternSet(3)));
}

TEST(ProgramFileTest, WriteToImpossibleTargetsFails) {
    TempDir dir;
    fs::create_directory(dir.Path() / "folder.kxp");
    WriteBytes(dir / "folder.kxp/inside", "keep");
    for (const std::string& path : {dir / "folder.kxp", dir / "no such folder/a.kxp",
                                    dir.Path().string() + "/", std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(WriteProgramFile(path, PatternSet(4)));
    }
    EXPECT_EQ(ReadBytes(dir / "folder.kxp/inside"), "keep");
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("folder.kxp"));
}

// A write that fails in the middle (here: the file size limit, as a full disk
// would) reports failure, leaves the old file as it was and no temporary file.
TEST(ProgramFileTest, WriteFailingMidwayKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir / "set.kxp";
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(8)));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteProgramFile(path, PatternSet(9));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(8)));
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("set.kxp"));
}

// A folder that takes no new file leaves no room for the temporary file: a
// writable file there is written in place, a missing one cannot be created.
TEST(ProgramFileTest, WriteIntoReadOnlyFolderWritesAWritableFileInPlace) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    TempDir dir;
    const std::string path = dir / "set.kxp";
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(8)));
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(WriteProgramFile(path, PatternSet(9)));
    EXPECT_FALSE(WriteProgramFile(dir / "new.kxp", PatternSet(9)));
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(WriteProgramFile(path, PatternSet(10)));
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(9)));
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("set.kxp"));
}

// The process id of a process that has ended.
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

// A save killed before its rename leaves its temporary file; the next save of
// the same file removes it, and only it.
TEST(ProgramFileTest, SaveRemovesTemporaryFilesOfKilledSaves) {
    TempDir dir;
    const std::string path = dir / "set.kxp";
    const std::string dead = std::to_string(EndedProcess());
    const std::string live = std::to_string(getppid());
    const std::vector<std::string> stale = {".set.kxp.tmp" + dead + "-0-0",
                                            ".set.kxp.tmp" + dead + "-17-3"};
    const std::vector<std::string> kept = {
        ".set.kxp.tmp" + live + "-0-0",   // a save running in another process
        ".other.kxp.tmp" + dead + "-0-0", // another file's
        ".set.kxp.tmp" + dead + "-0",     // not our pattern
        ".set.kxp.tmp" + dead + "-0-0x",  //
        "set.kxp.tmp" + dead + "-0-0",    //
        ".set.kxp.tmpx-0-0",              //
    };
    for (const auto& names : {stale, kept}) {
        for (const std::string& name : names) {
            WriteBytes(dir / name, "partial");
        }
    }
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(5)));
    std::vector<std::string> expected = kept;
    expected.push_back("set.kxp");
    EXPECT_THAT(Entries(dir.Path()), ::testing::UnorderedElementsAreArray(expected));
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(5)));
}

TEST(ProgramFileTest, ReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    TempDir dir;
    const std::string path = dir / "set.kxp";
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(8)));
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(WriteProgramFile(path, PatternSet(9)));
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(8)));
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("set.kxp"));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace
