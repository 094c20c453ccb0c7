// The window's settings: first start, autoload, window position, writing back
// and write errors, against real config.ini files in a temporary folder.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include "DialogFakes.h"
#include "FileCommands.h"
#include "WindowSettings.h"

namespace {

class WindowSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeFileHost host;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FileCommands commands{host, boxes, dialogs};
    QWidget window;
    QCheckBox autoLoad{&window};
    WindowSettings settings{host, commands, window, autoLoad};

    void SetUp() override { settings.SetSettingsPath(Ini()); }

    QString Ini() { return dir.filePath("config.ini"); }
    void WriteIni(const QByteArray& text) {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadIni() {
        QFile f(Ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList IniLines() {
        return QString::fromUtf8(ReadIni()).split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    }
    QString ProgramFile(const QString& name, char fill) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(ProgramSetBytes, fill));
        return f.fileName();
    }
    bool SetIsZero() {
        return std::all_of(host.set.Data(), host.set.Data() + ProgramSetBytes,
                           [](std::uint8_t b) { return b == 0; });
    }
};

TEST_F(WindowSettingsTest, FirstStartCreatesTheDefaults) {
    autoLoad.setChecked(false);
    window.move(300, 300);
    settings.LoadSettings();
    EXPECT_EQ(settings.SettingsPath(), Ini());
    WindowSettings fresh{host, commands, window, autoLoad};
    EXPECT_EQ(fresh.SettingsPath(), QCoreApplication::applicationDirPath() + "/config.ini");
    const QStringList lines = IniLines();
    EXPECT_EQ(lines, (QStringList{"[Options]", "AutoLoad=1", "AutoLoadFile=c:\\", "[Screen]",
                                  "ScreenLeft=10", "ScreenTop=10"}));
    EXPECT_TRUE(autoLoad.isChecked());
    EXPECT_EQ(window.pos(), QPoint(10, 10));
    EXPECT_TRUE(SetIsZero());
    EXPECT_EQ(host.currentFile, "");
    EXPECT_EQ(host.caption, "KX-RD4 PC  -  [Nowy]");
    EXPECT_EQ(host.renders, 0);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(WindowSettingsTest, ExistingFileIsNotRewrittenAtStart) {
    const QByteArray text = "; by hand\r\n[Screen]\r\nScreenTop=7\r\n";
    WriteIni(text);
    settings.LoadSettings();
    EXPECT_EQ(ReadIni(), text);
    EXPECT_EQ(window.pos(), QPoint(10, 7));
    EXPECT_TRUE(autoLoad.isChecked()); // missing key: default
}

TEST_F(WindowSettingsTest, AutoLoadOfTheLastProgramFile) {
    const QString program = ProgramFile("ostatni program ż.kxp", '\x05');
    struct Case {
        const char* autoLoadValue;
        QString file;
        bool loads;
    };
    const Case cases[] = {
        {"1", program, true},
        {"0", program, false},
        {"1", dir.path(), false},                  // a directory
        {"1", dir.filePath("missing.kxp"), false}, // no such file
        {"1", "", false},                          // stored after New
        {"abc", program, true},                    // not an integer: default true
        {"0x0", program, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.autoLoadValue) + " " + c.file.toStdString());
        host.set.ClearAllPrograms();
        host.currentFile.clear();
        host.caption = "KX-RD4 PC  -  [Nowy]";
        host.renders = 0;
        WriteIni("[Options]\nAutoLoad=" + QByteArray(c.autoLoadValue) +
                 "\nAutoLoadFile=" + c.file.toUtf8() + "\n");
        settings.LoadSettings();
        EXPECT_EQ(autoLoad.isChecked(),
                  QByteArray(c.autoLoadValue) != "0" && QByteArray(c.autoLoadValue) != "0x0");
        if (c.loads) {
            EXPECT_EQ(host.set.Data()[1999], 5);
            EXPECT_EQ(host.currentFile, program);
            EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + program + "]");
            EXPECT_EQ(host.renders, 1);
        } else {
            EXPECT_TRUE(SetIsZero());
            EXPECT_EQ(host.currentFile, "");
            EXPECT_EQ(host.caption, "KX-RD4 PC  -  [Nowy]");
            EXPECT_EQ(host.renders, 0);
        }
        EXPECT_EQ(host.status, "(untouched)");
        EXPECT_FALSE(host.IsModified());
        EXPECT_TRUE(boxes.calls.empty());
    }
}

TEST_F(WindowSettingsTest, WindowPositionFromTheFile) {
    struct Case {
        const char* left;
        const char* top;
        QPoint expected;
    };
    const Case cases[] = {
        {"0x20", "-5", QPoint(32, -5)},
        {"abc", "0X1f", QPoint(10, 31)},
        {"", " 12", QPoint(10, 12)},
        {"0x", "99999999999", QPoint(10, 10)},
        {"-3000", "4000", QPoint(-3000, 4000)}, // off-screen stays off-screen
    };
    for (const auto& c : cases) {
        WriteIni(QByteArray("[Screen]\nScreenLeft=") + c.left + "\nScreenTop=" + c.top + "\n");
        window.move(500, 500);
        settings.LoadSettings();
        EXPECT_EQ(window.pos(), c.expected) << c.left << " " << c.top;
    }
}

TEST_F(WindowSettingsTest, StoreWritesTheFourKeysAndKeepsOtherLines) {
    WriteIni("; comment\r\n[Other]\r\nx = 1\r\n[Options]\r\nAutoLoad=1\r\nExtra=yes\r\n");
    settings.LoadSettings();
    autoLoad.setChecked(false);
    host.currentFile = "/programy/ćma 1.kxp";
    window.move(123, -45);
    settings.StoreSettings();
    const QStringList lines = IniLines();
    for (const char* kept : {"; comment", "[Other]", "x = 1", "Extra=yes"}) {
        EXPECT_TRUE(lines.contains(kept)) << kept;
    }
    EXPECT_TRUE(lines.contains("AutoLoad=0"));
    EXPECT_TRUE(lines.contains("AutoLoadFile=/programy/ćma 1.kxp"));
    EXPECT_TRUE(lines.contains("ScreenLeft=123"));
    EXPECT_TRUE(lines.contains("ScreenTop=-45"));

    // The next start reads back what was stored and loads nothing.
    autoLoad.setChecked(true);
    window.move(0, 0);
    settings.LoadSettings();
    EXPECT_FALSE(autoLoad.isChecked());
    EXPECT_EQ(window.pos(), QPoint(123, -45));
}

TEST_F(WindowSettingsTest, NewThenCloseStoresAnEmptyAutoLoadFile) {
    const QString program = ProgramFile("p.kxp", '\x01');
    WriteIni("[Options]\nAutoLoad=1\nAutoLoadFile=" + program.toUtf8() + "\n");
    settings.LoadSettings();
    ASSERT_EQ(host.currentFile, program);
    commands.New();
    settings.StoreSettings();
    EXPECT_TRUE(IniLines().contains("AutoLoadFile="));

    host.set.ClearAllPrograms();
    settings.LoadSettings();
    EXPECT_TRUE(SetIsZero());
    EXPECT_EQ(host.currentFile, "");
}

// The file opened or saved is the one the next start loads even when this
// run ends by a crash or a kill, without writing the settings at the exit.
TEST_F(WindowSettingsTest, OpenAndSaveWriteTheLastFileAtOnce) {
    settings.LoadSettings();
    const QString opened = ProgramFile("opened.kxp", '\x02');
    dialogs.answers = {opened};
    commands.Open();
    EXPECT_TRUE(IniLines().contains("AutoLoadFile=" + opened)) << ReadIni().toStdString();

    const QString saved = dir.filePath("saved.kxp");
    dialogs.answers = {saved};
    ASSERT_TRUE(commands.SaveAs());
    EXPECT_TRUE(IniLines().contains("AutoLoadFile=" + saved)) << ReadIni().toStdString();

    // New is not saving: the last file stays the one to load after a crash.
    commands.New();
    EXPECT_TRUE(IniLines().contains("AutoLoadFile=" + saved));

    // Where the settings cannot be written, the commands go on without a word.
    settings.SetSettingsPath(dir.filePath("missing-folder/config.ini"));
    dialogs.answers = {opened};
    commands.Open();
    EXPECT_EQ(host.currentFile, opened);
}

TEST_F(WindowSettingsTest, LongPathIsCut) {
    const QString longPath = "/" + QString(4999, 'a');
    WriteIni("[Options]\nAutoLoad=1\nAutoLoadFile=" + longPath.toUtf8() + "\n");
    settings.LoadSettings();
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(host.currentFile, "");
    // Storing writes only the four keys; the file stays readable.
    host.currentFile = longPath;
    settings.StoreSettings();
    EXPECT_TRUE(IniLines().contains("AutoLoadFile=" + longPath));
}

TEST_F(WindowSettingsTest, MinimisedWindowStoresItsRestoredPosition) {
    settings.LoadSettings();
    window.resize(200, 100);
    window.show();
    window.move(150, 60);
    QCoreApplication::processEvents();
    window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isMinimized());
    window.move(-32000, -32000); // where some platforms park a minimised window
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.RestoredPosition(), QPoint(150, 60));
    settings.StoreSettings();
    EXPECT_TRUE(IniLines().contains("ScreenLeft=150"));
    EXPECT_TRUE(IniLines().contains("ScreenTop=60"));
    window.hide();
}

TEST_F(WindowSettingsTest, WriteFailureEscapesWithThePath) {
    // The settings file cannot be created: a missing folder, or a directory
    // standing where the file should be.
    const QString folderInTheWay = dir.filePath("config.ini");
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    for (const QString& path : {dir.filePath("missing/config.ini"), folderInTheWay}) {
        SCOPED_TRACE(path.toStdString());
        autoLoad.setChecked(false);
        window.move(300, 300);
        try {
            settings.SetSettingsPath(path);
            settings.LoadSettings();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path.toStdString());
        }
        // The rest of the step did not run.
        EXPECT_FALSE(autoLoad.isChecked());
        EXPECT_EQ(window.pos(), QPoint(300, 300));

        try {
            settings.StoreSettings();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path.toStdString());
        }
    }
}

} // namespace
