#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "SettingsFile.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir_ / "config.ini"; }
    SettingsFile File() const { return SettingsFile(Path()); }
    void Store(const std::string& text) const { WriteBytes(Path(), text); }
    std::string Stored() const { return ReadBytes(Path()); }

    TempDir dir_;
};

TEST(SettingsPathTest, ConfigIniInTheDirectory) {
    EXPECT_EQ(SettingsPath("/opt/kx rd4"), "/opt/kx rd4/config.ini");
    EXPECT_EQ(SettingsPath("/opt/kx rd4/"), "/opt/kx rd4/config.ini");
    EXPECT_EQ(SettingsPath(""), "config.ini");
}

TEST_F(SettingsFileTest, FirstStartCreatesTheFourDefaultsOnce) {
    SettingsFile file = File();
    EXPECT_FALSE(file.Exists());
    EXPECT_TRUE(file.CreateIfMissing());
    EXPECT_EQ(Stored(), "[Options]\nAutoLoad=1\nAutoLoadFile=c:\\\n\n[Screen]\nScreenLeft=10\n"
                        "ScreenTop=10\n");
    EXPECT_TRUE(file.ReadAutoLoad());
    EXPECT_EQ(file.ReadAutoLoadFile(), "c:\\");
    EXPECT_EQ(file.ReadScreenLeft(), 10);
    EXPECT_EQ(file.ReadScreenTop(), 10);

    // An existing file is never rewritten at start, even an empty one.
    Store("");
    EXPECT_FALSE(file.CreateIfMissing());
    EXPECT_EQ(Stored(), "");
}

TEST_F(SettingsFileTest, MissingFileSectionsAndKeysGiveDefaults) {
    for (const char* text : {"", "\n\n", "[Other]\nAutoLoad=0\n", "[Options]\n[Screen]\n",
                             "AutoLoad=0\nScreenLeft=3\n", "; [Options]\n; AutoLoad=0\n"}) {
        SCOPED_TRACE(text);
        Store(text);
        EXPECT_TRUE(File().ReadAutoLoad());
        EXPECT_EQ(File().ReadAutoLoadFile(), "c:\\");
        EXPECT_EQ(File().ReadScreenLeft(), 10);
        EXPECT_EQ(File().ReadScreenTop(), 10);
    }
    fs::remove(Path());
    EXPECT_EQ(File().ReadScreenLeft(), 10);
    EXPECT_EQ(SettingsFile(dir_ / "no such folder/config.ini").ReadScreenTop(), 10);
}

struct IntegerCase {
    std::string stored;
    int expected; // with the default 10
};

class IntegerReadingTest : public SettingsFileTest,
                           public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(IntegerReadingTest, ReadsScreenLeft) {
    Store("[Screen]\nScreenLeft=" + GetParam().stored + "\n");
    EXPECT_EQ(File().ReadScreenLeft(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerReadingTest,
    ::testing::Values(IntegerCase{"0x20", 32}, IntegerCase{"0X1f", 31}, IntegerCase{"abc", 10},
                      IntegerCase{"-5", -5}, IntegerCase{"+7", 7}, IntegerCase{"0", 0},
                      IntegerCase{"  42  ", 42}, IntegerCase{"", 10}, IntegerCase{"0x", 10},
                      IntegerCase{"0x1G", 10}, IntegerCase{"12abc", 10}, IntegerCase{"1 2", 10},
                      IntegerCase{"-", 10}, IntegerCase{"2147483647", INT_MAX},
                      IntegerCase{"-2147483648", INT_MIN}, IntegerCase{"2147483648", 10},
                      IntegerCase{"0x7FFFFFFF", INT_MAX}, IntegerCase{"0x80000000", 10},
                      IntegerCase{"99999999999999999999999", 10}, IntegerCase{"3.5", 10}));

TEST_F(SettingsFileTest, BooleansAreIntegersNotZero) {
    struct Case {
        std::string stored;
        bool expected; // with the default true
    };
    for (const Case& c :
         {Case{"1", true}, Case{"0", false}, Case{"2", true}, Case{"-1", true}, Case{"0x0", false},
          Case{"abc", true}, Case{"", true}, Case{"false", true}}) {
        SCOPED_TRACE(c.stored);
        Store("[Options]\nAutoLoad=" + c.stored + "\n");
        EXPECT_EQ(File().ReadAutoLoad(), c.expected);
    }
}

TEST_F(SettingsFileTest, WritesRoundTrip) {
    SettingsFile file = File();
    file.WriteAutoLoad(false);
    file.WriteAutoLoadFile("/home/operator/Programy zażółć/oś X.kxp");
    file.WriteScreenLeft(-5);
    file.WriteScreenTop(1200);
    EXPECT_EQ(Stored(), "[Options]\nAutoLoad=0\nAutoLoadFile=/home/operator/Programy zażółć/oś "
                        "X.kxp\n\n[Screen]\nScreenLeft=-5\nScreenTop=1200\n");
    EXPECT_FALSE(file.ReadAutoLoad());
    EXPECT_EQ(file.ReadAutoLoadFile(), "/home/operator/Programy zażółć/oś X.kxp");
    EXPECT_EQ(file.ReadScreenLeft(), -5);
    EXPECT_EQ(file.ReadScreenTop(), 1200);

    // After New and close: an empty file name, read back as empty, not the default.
    file.WriteAutoLoadFile("");
    EXPECT_EQ(file.ReadAutoLoadFile(), "");
    file.WriteAutoLoad(true);
    EXPECT_TRUE(file.ReadAutoLoad());
}

TEST_F(SettingsFileTest, WriteChangesOnlyItsLine) {
    const std::string before = "; settings of the KX-RD4 tool\n"
                               "[Options]\n"
                               "AutoLoad = 1   \n"
                               "; the last file\n"
                               "AutoLoadFile=/a.kxp\n"
                               "Unknown=keep me\n"
                               "\n"
                               "[Screen]\n"
                               "ScreenLeft=0x20\n"
                               "[Printer]\n"
                               "Name=HP\n";
    Store(before);
    File().WriteAutoLoad(false);
    std::string expected = before;
    expected.replace(expected.find("AutoLoad = 1   "), 15, "AutoLoad=0");
    EXPECT_EQ(Stored(), expected);

    // A key missing from its section goes after the section's last key.
    File().WriteScreenTop(77);
    expected.insert(expected.find("[Printer]"), "ScreenTop=77\n");
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(File().ReadScreenLeft(), 32);
    EXPECT_EQ(File().ReadScreenTop(), 77);
}

TEST_F(SettingsFileTest, KeysAndSectionsIgnoreCase) {
    Store("[options]\nautoload=0\n");
    EXPECT_FALSE(File().ReadAutoLoad());
    File().WriteAutoLoad(true);
    EXPECT_EQ(Stored(), "[options]\nAutoLoad=1\n");
}

TEST_F(SettingsFileTest, GarbageIsKeptAndDoesNotConfuse) {
    const std::string before = "this is not ini at all\n"
                               "=no key\n"
                               "[Options\n"
                               "AutoLoad=0\n"
                               "\x01\x02 binary \xFF\xFE\n"
                               "[Screen]]\n"
                               "ScreenLeft\n"
                               "ScreenTop==5\n"
                               "]]]\n";
    Store(before);
    SettingsFile file = File();
    // "[Options" is no section header, so its AutoLoad=0 is not ours.
    EXPECT_TRUE(file.ReadAutoLoad());
    EXPECT_EQ(file.ReadScreenLeft(), 10);
    EXPECT_EQ(file.ReadScreenTop(), 10); // "=5" is no integer

    file.WriteAutoLoad(false);
    file.WriteScreenLeft(3);
    EXPECT_FALSE(file.ReadAutoLoad());
    EXPECT_EQ(file.ReadScreenLeft(), 3);
    const std::string after = Stored();
    EXPECT_EQ(after.substr(0, before.find("ScreenTop")),
              before.substr(0, before.find("ScreenTop")));
    EXPECT_NE(after.find("ScreenTop==5\nScreenLeft=3\n]]]\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[Options]\nAutoLoad=0\n"), std::string::npos) << after;
}

TEST_F(SettingsFileTest, SectionHeaderSpreadOverLinesIsFoundByReadAndWrite) {
    Store("[\n  \n Options ]\nAutoLoad=0\n");
    EXPECT_FALSE(File().ReadAutoLoad());
    File().WriteAutoLoad(true);
    EXPECT_EQ(Stored(), "[\n  \n Options ]\nAutoLoad=1\n");
    EXPECT_TRUE(File().ReadAutoLoad());
}

TEST_F(SettingsFileTest, TextAfterAZeroByteIsKeptButNotRead) {
    const std::string tail = std::string(1, '\0') + "ScreenTop=3\n[Options]\nAutoLoad=0\n";
    Store("[Screen]\nScreenLeft=5\n" + tail);
    SettingsFile file = File();
    EXPECT_EQ(file.ReadScreenLeft(), 5);
    EXPECT_EQ(file.ReadScreenTop(), 10);
    EXPECT_TRUE(file.ReadAutoLoad());

    file.WriteScreenTop(8);
    file.WriteAutoLoad(false);
    EXPECT_EQ(file.ReadScreenTop(), 8);
    EXPECT_FALSE(file.ReadAutoLoad());
    EXPECT_EQ(Stored(), "[Screen]\nScreenLeft=5\nScreenTop=8\n\n[Options]\nAutoLoad=0\n" + tail);
}

TEST_F(SettingsFileTest, DuplicateKeysReadAndWriteTheFirst) {
    Store("[Screen]\nScreenLeft=1\nScreenLeft=2\n[Screen]\nScreenLeft=3\nScreenTop=4\n");
    EXPECT_EQ(File().ReadScreenLeft(), 1);
    EXPECT_EQ(File().ReadScreenTop(), 4);
    File().WriteScreenLeft(50);
    EXPECT_EQ(Stored(),
              "[Screen]\nScreenLeft=50\nScreenLeft=2\n[Screen]\nScreenLeft=3\nScreenTop=4\n");
    EXPECT_EQ(File().ReadScreenLeft(), 50);
}

TEST_F(SettingsFileTest, CrLfLineEndsAreReadAndKept) {
    Store("\xEF\xBB\xBF[Options]\r\nAutoLoad=0\r\nAutoLoadFile=C:\\Programy\\a.kxp\r\n[Screen]\r\n"
          "ScreenLeft=0x20\r\n");
    SettingsFile file = File();
    EXPECT_FALSE(file.ReadAutoLoad());
    EXPECT_EQ(file.ReadAutoLoadFile(), "C:\\Programy\\a.kxp");
    EXPECT_EQ(file.ReadScreenLeft(), 32);

    file.WriteAutoLoad(true);
    file.WriteScreenTop(5);
    file.WriteInteger("Extra", "Key", 1);
    EXPECT_EQ(Stored(),
              "\xEF\xBB\xBF[Options]\r\nAutoLoad=1\r\nAutoLoadFile=C:\\Programy\\a.kxp\r\n"
              "[Screen]\r\nScreenLeft=0x20\r\nScreenTop=5\r\n\r\n[Extra]\r\nKey=1\r\n");
}

TEST_F(SettingsFileTest, LastLineWithoutLineEnd) {
    Store("[Screen]\nScreenLeft=4");
    File().WriteScreenTop(6);
    EXPECT_EQ(Stored(), "[Screen]\nScreenLeft=4\nScreenTop=6");
    File().WriteAutoLoad(false);
    EXPECT_EQ(Stored(), "[Screen]\nScreenLeft=4\nScreenTop=6\n\n[Options]\nAutoLoad=0\n");
}

TEST_F(SettingsFileTest, LongValuesAreCutOnReadingAndKeptInTheFile) {
    const std::string longPath = "/" + std::string(4999, 'p');
    std::string letters;
    for (int i = 0; i < 3000; ++i) {
        letters += "ą";
    }
    Store("[Options]\nAutoLoadFile=" + longPath + "\nOther=" + letters +
          "\n[Screen]\nScreenTop=3\n");
    SettingsFile file = File();
    EXPECT_EQ(file.ReadAutoLoadFile(), longPath.substr(0, 2047));
    const std::string other = file.ReadString("Options", "Other", "");
    EXPECT_EQ(other.size(), 2047u * 2);
    EXPECT_EQ(other.substr(0, 4), "ąą");

    file.WriteScreenTop(4);
    EXPECT_EQ(Stored(), "[Options]\nAutoLoadFile=" + longPath + "\nOther=" + letters +
                            "\n[Screen]\nScreenTop=4\n");

    // A long value is written unchanged.
    file.WriteAutoLoadFile(longPath + "q");
    EXPECT_NE(Stored().find("AutoLoadFile=" + longPath + "q\n"), std::string::npos);
}

TEST_F(SettingsFileTest, LineBreaksInAWrittenValueEndIt) {
    File().WriteAutoLoadFile("/a.kxp\n[Options]\nAutoLoad=0");
    EXPECT_EQ(Stored(), "[Options]\nAutoLoadFile=/a.kxp\n");
    EXPECT_TRUE(File().ReadAutoLoad());
}

TEST_F(SettingsFileTest, WriteFailureThrowsWithThePath) {
    fs::create_directory(Path());
    for (const std::string& path : {Path(), dir_ / "no such folder/config.ini"}) {
        SCOPED_TRACE(path);
        SettingsFile file(path);
        EXPECT_FALSE(file.Exists());
        try {
            file.CreateIfMissing();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
        }
        EXPECT_THROW(file.WriteScreenLeft(1), std::runtime_error);
        EXPECT_EQ(file.ReadScreenLeft(), 10);
    }
    EXPECT_TRUE(fs::is_directory(Path()));
}

TEST_F(SettingsFileTest, UnreadableFileIsNeverReplaced) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    Store("[Screen]\nScreenLeft=4\n");
    fs::permissions(Path(), fs::perms::owner_write);
    EXPECT_EQ(File().ReadScreenLeft(), 10);
    EXPECT_THROW(File().WriteScreenTop(1), std::runtime_error);
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Stored(), "[Screen]\nScreenLeft=4\n");
}

// The folder beside the executable may be closed to new files while
// config.ini itself is writable: the key is written in place.
TEST_F(SettingsFileTest, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    Store("; kept\n[Screen]\nScreenLeft=4\n");
    fs::permissions(dir_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_NO_THROW(File().WriteScreenLeft(123456));
    EXPECT_NO_THROW(File().WriteScreenLeft(7));
    SettingsFile missing(dir_ / "other.ini");
    EXPECT_THROW(missing.CreateIfMissing(), std::runtime_error);
    fs::permissions(dir_.Path(), fs::perms::owner_all);
    EXPECT_EQ(Stored(), "; kept\n[Screen]\nScreenLeft=7\n");
    EXPECT_EQ(Entries(dir_.Path()).size(), 1u);
}

TEST_F(SettingsFileTest, PolishLettersInTheSettingsPath) {
    fs::create_directory(dir_.Path() / "Narzędzia KX zażółć");
    SettingsFile file(SettingsPath(dir_ / "Narzędzia KX zażółć"));
    EXPECT_TRUE(file.CreateIfMissing());
    file.WriteScreenLeft(99);
    EXPECT_EQ(file.ReadScreenLeft(), 99);
}

} // namespace

namespace {

// The window's language is read as stored and written only when chosen: the
// other keys and every other byte stay as they were.
TEST_F(SettingsFileTest, LanguageIsOptionalAndWrittenAlone) {
    const std::string before = "[Options]\r\nAutoLoad=1\r\n; mine\r\n[Screen]\r\nScreenLeft=5\r\n";
    Store(before);
    EXPECT_EQ(File().ReadLanguage(), std::nullopt);
    EXPECT_EQ(Stored(), before);
    File().WriteLanguage("en");
    EXPECT_EQ(File().ReadLanguage(), "en");
    EXPECT_EQ(Stored(),
              "[Options]\r\nAutoLoad=1\r\nLanguage=en\r\n; mine\r\n[Screen]\r\nScreenLeft=5\r\n");
    File().WriteLanguage("pl");
    EXPECT_EQ(File().ReadLanguage(), "pl");
    EXPECT_EQ(SettingsFile(dir_ / "none.ini").ReadLanguage(), std::nullopt);
}

} // namespace
