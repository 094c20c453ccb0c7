// The Windows side of the file layer: wide-character paths, atomic
// replacement and the read-only attribute, pipes, and the executable's folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "FileAccess.h"
#include "ProgramFile.h"
#include "SettingsFile.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

ProgramSet PatternSet(int seed) {
    ProgramSet set;
    for (int i = 0; i < ProgramSetBytes; ++i) {
        set.Data()[i] = static_cast<std::uint8_t>(i * 7 + seed);
    }
    return set;
}

std::string SetBytes(const ProgramSet& set) {
    return {reinterpret_cast<const char*>(set.Data()), ProgramSet::Size()};
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(PathOf(path).c_str());
}

TEST(WindowsFileTest, PolishNamesSaveAndLoad) {
    TempDir dir;
    const std::string folder = dir / "Programy zażółć gęślą jaźń ŁÓDŹ";
    ASSERT_TRUE(fs::create_directory(PathOf(folder)));
    const std::string path = FileAccess::JoinPath(folder, "Oś X – próba 1.kxp");

    ASSERT_TRUE(WriteProgramFile(path, PatternSet(3)));
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(4))); // replaces the existing file
    EXPECT_TRUE(FileExists(path));
    ProgramSet read;
    ASSERT_TRUE(ReadProgramFile(path, read));
    EXPECT_EQ(SetBytes(read), SetBytes(PatternSet(4)));
    // The name on the disk is the one given, letter for letter.
    EXPECT_THAT(Entries(PathOf(folder)), ::testing::ElementsAre("Oś X – próba 1.kxp"));

    SettingsFile settings(SettingsPath(folder));
    EXPECT_EQ(SettingsPath(folder), folder + "\\config.ini");
    ASSERT_TRUE(settings.CreateIfMissing());
    settings.WriteAutoLoadFile(path);
    EXPECT_EQ(settings.ReadAutoLoadFile(), path);
    // New settings files get the system's line ends.
    EXPECT_NE(ReadBytes(SettingsPath(folder)).find("\r\n"), std::string::npos);
}

TEST(WindowsFileTest, ReplacementKeepsAttributesAndRefusesReadOnlyFiles) {
    TempDir dir;
    const std::string path = dir / "set.kxp";
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(1)));

    ASSERT_TRUE(::SetFileAttributesW(PathOf(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteProgramFile(path, PatternSet(2)));
    EXPECT_NE(AttributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(2)));

    ASSERT_TRUE(::SetFileAttributesW(PathOf(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteProgramFile(path, PatternSet(3)));
    EXPECT_EQ(ReadBytes(path), SetBytes(PatternSet(2)));
    EXPECT_THROW(SettingsFile(path).WriteScreenLeft(5), std::runtime_error);
    ::SetFileAttributesW(PathOf(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    // No temporary file is left behind by any of the saves.
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("set.kxp"));
}

TEST(WindowsFileTest, FoldersPipesAndMissingPathsAreRefused) {
    TempDir dir;
    ASSERT_TRUE(fs::create_directory(PathOf(dir / "folder.kxp")));
    const std::string pipeName = "\\\\.\\pipe\\kxrd4-files-test";
    HANDLE pipe = ::CreateNamedPipeW(PathOf(pipeName).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                     2, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    for (const std::string& path :
         {dir / "folder.kxp", dir / "missing.kxp", dir / "no such folder\\a.kxp", pipeName}) {
        SCOPED_TRACE(path);
        ProgramSet set = PatternSet(6);
        EXPECT_FALSE(ReadProgramFile(path, set)); // and does not wait for the pipe
        EXPECT_EQ(SetBytes(set), SetBytes(PatternSet(6)));
    }
    ::CloseHandle(pipe);
    EXPECT_FALSE(WriteProgramFile(dir / "folder.kxp", PatternSet(1)));
    EXPECT_FALSE(WriteProgramFile(dir / "no such folder\\a.kxp", PatternSet(1)));
    EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("folder.kxp"));
}

TEST(WindowsFileTest, SettingsPathIsBesideTheExecutable) {
    const std::string directory = FileAccess::ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    EXPECT_EQ(PathOf(directory), fs::path(module).parent_path());
    EXPECT_EQ(SettingsPath(directory), directory + "\\config.ini");
    EXPECT_EQ(SettingsPath("C:\\KX\\"), "C:\\KX\\config.ini");
    EXPECT_EQ(SettingsPath("C:/KX/"), "C:/KX/config.ini");
}

} // namespace
