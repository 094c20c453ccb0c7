// The Windows side of the file layer: wide-character paths, atomic
// replacement and the read-only attribute, pipes, the executable's folder,
// saves against a file another program holds for a moment, and paths longer
// than MAX_PATH.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

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

// Another process (file_holder, beside this test) holds path open without
// sharing for holdMs.
class FileHolder {
public:
    FileHolder(const std::string& path, int holdMs) {
        wchar_t module[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, module, MAX_PATH);
        const fs::path holder = fs::path(module).parent_path() / L"file_holder.exe";
        std::wstring command = L"\"" + holder.native() + L"\" \"" + PathOf(path).native() + L"\" " +
                               std::to_wstring(holdMs);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(holder.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, nullptr, &startup, &process_) != FALSE;
        if (started_) {
            ::CloseHandle(process_.hThread);
        }
        // Held once nobody else may open it.
        for (int i = 0; started_ && i < 2000 && !held_; ++i) {
            const HANDLE probe =
                ::CreateFileW(PathOf(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (probe != INVALID_HANDLE_VALUE) {
                ::CloseHandle(probe);
                ::Sleep(10);
            } else {
                held_ = ::GetLastError() == ERROR_SHARING_VIOLATION;
            }
        }
    }
    ~FileHolder() {
        if (started_) {
            ::WaitForSingleObject(process_.hProcess, 20000);
            ::CloseHandle(process_.hProcess);
        }
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool Held() const { return held_; }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    bool held_ = false;
};

TEST(WindowsFileTest, SavesWaitForAFileAnotherProgramHoldsForAMoment) {
    struct Case {
        int holdMs;
        bool saved; // within the retry window, or failed cleanly
    } cases[] = {{250, true}, {3000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.holdMs);
        TempDir dir;
        const std::string path = dir / "held.kxp";
        ASSERT_TRUE(WriteProgramFile(path, PatternSet(1)));
        bool saved = false;
        std::chrono::milliseconds took{};
        {
            FileHolder holder(path, c.holdMs);
            ASSERT_TRUE(holder.Held());
            const auto start = std::chrono::steady_clock::now();
            saved = WriteProgramFile(path, PatternSet(2));
            took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
        }
        EXPECT_EQ(saved, c.saved);
        EXPECT_LT(took.count(), 2000); // no hang, whatever the holder does
        EXPECT_TRUE(ReadBytes(path) == SetBytes(PatternSet(c.saved ? 2 : 1)))
            << "the file does not hold the set expected";
        EXPECT_THAT(Entries(dir.Path()), ::testing::ElementsAre("held.kxp"));
    }
}

// Names in a folder given in its long form.
std::vector<std::string> LongEntries(const std::wstring& longForm) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((longForm + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Utf8(fs::path(name)));
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        ::FindClose(search);
    }
    return names;
}

// Creates every folder of a path given in its long form.
bool CreateLongFolders(const std::wstring& longForm) {
    for (std::size_t at = longForm.find(L'\\', 7); at != std::wstring::npos;
         at = longForm.find(L'\\', at + 1)) {
        ::CreateDirectoryW(longForm.substr(0, at).c_str(), nullptr);
    }
    return ::CreateDirectoryW(longForm.c_str(), nullptr) != FALSE ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

TEST(WindowsFileTest, PathsAtAndPastMaxPathSaveAndLoad) {
    TempDir dir;
    const std::string base = Utf8(fs::absolute(dir.Path()));
    const std::string name = "\\program.kxp";
    const std::string segment = "\\Długa nazwa folderu z programami osi X – zażółć gęślą jaźń";
    // Short enough itself, too long with the temporary name; past MAX_PATH;
    // far past it.
    for (const std::size_t length : {std::size_t{250}, std::size_t{270}, std::size_t{400}}) {
        SCOPED_TRACE(length);
        std::string folder = base;
        while (PathOf(folder + segment + name).native().size() <= length) {
            folder += segment;
        }
        const std::size_t missing = length - PathOf(folder + name).native().size();
        folder += "\\" + std::string(missing > 1 ? missing - 1 : 1, 'k');
        ASSERT_TRUE(CreateLongFolders(L"\\\\?\\" + PathOf(folder).native()));
        const std::string path = folder + name;

        EXPECT_FALSE(FileExists(path));
        ASSERT_TRUE(WriteProgramFile(path, PatternSet(3)));
        ASSERT_TRUE(WriteProgramFile(path, PatternSet(4))); // replaces it
        EXPECT_TRUE(FileExists(path));
        EXPECT_FALSE(FileExists(folder));
        ProgramSet read;
        ASSERT_TRUE(ReadProgramFile(path, read));
        EXPECT_EQ(SetBytes(read), SetBytes(PatternSet(4)));
        SettingsFile settings(SettingsPath(folder));
        ASSERT_TRUE(settings.CreateIfMissing());
        settings.WriteAutoLoadFile(path);
        EXPECT_EQ(settings.ReadAutoLoadFile(), path);
        // Nothing but the two files, no temporary one.
        EXPECT_THAT(LongEntries(L"\\\\?\\" + PathOf(folder).native()),
                    ::testing::UnorderedElementsAre("program.kxp", "config.ini"));
    }
}

} // namespace
