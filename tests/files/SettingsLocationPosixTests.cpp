// Where the running tool keeps config.ini, with real folders and a real
// environment: beside a writable executable folder, else under
// XDG_CONFIG_HOME, created when missing, with the usual write error when even
// that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

// Sets XDG_CONFIG_HOME for one test and restores it afterwards.
class XdgConfigHome {
public:
    explicit XdgConfigHome(const std::string& value) {
        if (const char* old = std::getenv(Name)) {
            old_ = old;
        }
        setenv(Name, value.c_str(), 1);
    }
    ~XdgConfigHome() {
        if (old_) {
            setenv(Name, old_->c_str(), 1);
        } else {
            unsetenv(Name);
        }
    }

private:
    static constexpr const char* Name = "XDG_CONFIG_HOME";
    std::optional<std::string> old_;
};

TEST(SettingsLocationPosixTest, WritableExecutableFolderKeepsTheFileBesideIt) {
    TempDir dir;
    XdgConfigHome xdg(dir / "config home");
    EXPECT_EQ(SettingsLocation::ForExecutableDirectory(dir.Path()), dir / "config.ini");
    EXPECT_FALSE(fs::exists(dir / "config home"));
}

TEST(SettingsLocationPosixTest, OtherwiseTheConfigurationFolderIsCreatedAndUsed) {
    // A missing executable folder is one nobody can write (root may write
    // into any existing one).
    TempDir dir;
    XdgConfigHome xdg(dir / "config home");
    const std::string path = SettingsLocation::ForExecutableDirectory(dir / "gone/bin");
    EXPECT_EQ(path, dir / "config home/kxrd4-pc/config.ini");
    for (const char* folder : {"config home", "config home/kxrd4-pc"}) {
        struct stat info {};
        ASSERT_EQ(stat((dir / folder).c_str(), &info), 0) << folder;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
    SettingsFile settings(path);
    EXPECT_TRUE(settings.CreateIfMissing());
    EXPECT_EQ(settings.ReadScreenLeft(), SettingsFile::DefaultScreenLeft);
    // A second start finds the same file and leaves it as it is.
    EXPECT_EQ(SettingsLocation::ForExecutableDirectory(dir / "gone/bin"), path);
    EXPECT_FALSE(SettingsFile(path).CreateIfMissing());
}

TEST(SettingsLocationPosixTest, UncreatableConfigurationFolderGivesTheWriteError) {
    TempDir dir;
    WriteBytes(dir / "not a folder", "x");
    XdgConfigHome xdg(dir / "not a folder");
    const std::string path = SettingsLocation::ForExecutableDirectory(dir / "gone/bin");
    EXPECT_EQ(path, dir / "not a folder/kxrd4-pc/config.ini");
    try {
        SettingsFile(path).CreateIfMissing();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
}

} // namespace
