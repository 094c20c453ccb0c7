// The file commands against scripted boxes and dialogs and real files in a
// temporary folder: every message box path, the round trip, short and long
// files, and the cases where a command must stop without discarding anything.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DialogFakes.h"
#include "FileCommands.h"

namespace {

using Button = QMessageBox::StandardButton;

const QString SaveQuestion = "Czy chcesz zapisać bieżący program?";
const QString OverwriteQuestion =
    "Plik o podanej nazwie juz istnieje.\n\rCzy chcesz zastąpić istniejący plik?";
const QString NoFileCaption = "KX-RD4 PC  -  [Nowy]";

QByteArray Pattern(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + seed) % 256);
    }
    return bytes;
}

QByteArray SetBytes(const ProgramSet& set) {
    return QByteArray(reinterpret_cast<const char*>(set.Data()), ProgramSetBytes);
}

void Fill(ProgramSet& set, int seed) {
    const QByteArray bytes = Pattern(ProgramSetBytes, seed);
    std::copy(bytes.begin(), bytes.end(), set.Data());
}

class FileCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeFileHost host;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FileCommands commands{host, boxes, dialogs};

    QString PathOf(const QString& name) { return dir.filePath(name); }
    QString WriteFile(const QString& name, const QByteArray& bytes) {
        QFile f(PathOf(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray ReadFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    void ExpectBox(size_t index, QMessageBox::Icon icon, const QString& title,
                   const QString& text) {
        ASSERT_GT(boxes.calls.size(), index);
        EXPECT_EQ(boxes.calls[index].icon, icon);
        EXPECT_EQ(boxes.calls[index].title, title);
        EXPECT_EQ(boxes.calls[index].text, text);
        EXPECT_EQ(boxes.calls[index].buttons, icon == QMessageBox::Warning
                                                  ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                                  : QMessageBox::Yes | QMessageBox::No);
    }
    // A modified set that came from an edit, with a known content.
    void EditedSet(int seed) {
        Fill(host.set, seed);
        host.Edit();
    }
};

TEST(FileCommandsFilter, ConvertsToQtForm) {
    EXPECT_EQ(FileCommands::QtFilter(FileCommands::ProgramFilter), "Plik program (*.kxp)");
    EXPECT_EQ(FileCommands::QtFilter("Teksty|*.txt;*.log|Wszystkie (*.*)|*.*"),
              "Teksty (*.txt *.log);;Wszystkie (*.*)");
    EXPECT_EQ(FileCommands::FileCaption("Nowy"), NoFileCaption);
    EXPECT_EQ(FileCommands::FileCaption("/a b/ż.kxp"), "KX-RD4 PC  -  [/a b/ż.kxp]");
}

TEST_F(FileCommandsTest, RoundTripKeepsEveryByte) {
    EditedSet(3); // includes operand bytes that no command uses
    const QByteArray saved = SetBytes(host.set);
    const QString path = PathOf("zażółć gęślą jaźń/program 1.kxp");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    dialogs.answers = {path};
    EXPECT_TRUE(commands.SaveAs());
    EXPECT_EQ(ReadFile(path), saved);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_TRUE(dialogs.calls[0].save);
    EXPECT_EQ(dialogs.calls[0].title, "Zapisz program");
    EXPECT_EQ(dialogs.calls[0].filter, "Plik program (*.kxp)");
    EXPECT_EQ(host.status, "Program został zapisany");
    EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + path + "]");
    EXPECT_EQ(host.currentFile, path);
    EXPECT_FALSE(host.IsModified());

    commands.New();
    EXPECT_EQ(SetBytes(host.set), QByteArray(ProgramSetBytes, '\0'));
    dialogs.answers = {path};
    commands.Open();
    EXPECT_EQ(SetBytes(host.set), saved);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FileCommandsTest, OpenFillsShortFilesAndIgnoresTheRestOfLongOnes) {
    for (int size : {0, 1, 1000, 1999, 2000, 2001, 2500}) {
        const QByteArray bytes = Pattern(size, size);
        const QString path = WriteFile(QString("f%1.kxp").arg(size), bytes);
        Fill(host.set, 99);
        host.Edit();
        host.renders = 0;
        dialogs.answers = {path};
        boxes.answers = {Button::No}; // do not save the edit
        commands.Open();
        QByteArray expected = bytes.left(ProgramSetBytes);
        expected.append(QByteArray(ProgramSetBytes - expected.size(), '\xFF'));
        EXPECT_EQ(SetBytes(host.set), expected) << size;
        EXPECT_EQ(host.status, "Program został otwarty") << size;
        EXPECT_EQ(host.currentFile, path);
        EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + path + "]");
        EXPECT_EQ(host.renders, 1);
        EXPECT_FALSE(host.IsModified());
    }
}

TEST_F(FileCommandsTest, OpenCancelledWarnsAndChangesNothing) {
    EditedSet(5);
    host.currentFile = "/old.kxp";
    host.caption = "KX-RD4 PC  -  [/old.kxp]*";
    boxes.answers = {Button::No};
    dialogs.answers = {QString()};
    commands.Open();
    ASSERT_EQ(boxes.calls.size(), 2u);
    ExpectBox(0, QMessageBox::Question, "Nowy plik", SaveQuestion);
    ExpectBox(1, QMessageBox::Warning, "Otwórz plik", "Nie można otworzyć pliku");
    EXPECT_FALSE(dialogs.calls[0].save);
    EXPECT_EQ(dialogs.calls[0].title, "");
    EXPECT_EQ(dialogs.calls[0].filter, "Plik program (*.kxp)");
    EXPECT_EQ(SetBytes(host.set), Pattern(ProgramSetBytes, 5));
    EXPECT_EQ(host.currentFile, "/old.kxp");
    EXPECT_EQ(host.caption, "KX-RD4 PC  -  [/old.kxp]*");
    EXPECT_TRUE(host.IsModified());
    EXPECT_EQ(host.status, "(untouched)");
}

TEST_F(FileCommandsTest, UnreadableFileWarnsAndKeepsEverything) {
    const QString folder = PathOf("folder.kxp");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& path : {PathOf("missing.kxp"), folder}) {
        boxes.calls.clear();
        EditedSet(8);
        host.currentFile = "/old.kxp";
        host.caption = "KX-RD4 PC  -  [/old.kxp]*";
        boxes.answers = {Button::No};
        dialogs.answers = {path};
        commands.Open();
        ASSERT_EQ(boxes.calls.size(), 2u) << path.toStdString();
        ExpectBox(1, QMessageBox::Warning, "Otwarcie pliku", "Nie można otworzyć pliku");
        EXPECT_EQ(SetBytes(host.set), Pattern(ProgramSetBytes, 8));
        EXPECT_EQ(host.currentFile, "/old.kxp");
        EXPECT_EQ(host.caption, "KX-RD4 PC  -  [/old.kxp]*");
        EXPECT_TRUE(host.IsModified());
        EXPECT_EQ(host.status, "(untouched)");
    }
}

TEST_F(FileCommandsTest, NewWithoutChangesAsksNothing) {
    Fill(host.set, 1);
    host.currentFile = "/x.kxp";
    host.caption = "KX-RD4 PC  -  [/x.kxp]";
    host.status = "Program został otwarty";
    commands.New();
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(SetBytes(host.set), QByteArray(ProgramSetBytes, '\0'));
    EXPECT_EQ(host.renders, 1);
    EXPECT_EQ(host.currentFile, "");
    EXPECT_EQ(host.caption, NoFileCaption);
    EXPECT_EQ(host.status, "");
    EXPECT_FALSE(host.IsModified());
}

TEST_F(FileCommandsTest, NewAnsweredNoDiscardsTheEdits) {
    EditedSet(2);
    boxes.answers = {Button::No};
    commands.New();
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(0, QMessageBox::Question, "Nowy plik", SaveQuestion);
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(SetBytes(host.set), QByteArray(ProgramSetBytes, '\0'));
    EXPECT_EQ(host.caption, NoFileCaption);
    EXPECT_FALSE(host.IsModified());
}

TEST_F(FileCommandsTest, NewAnsweredYesSavesThenClears) {
    const QString path = WriteFile("old.kxp", Pattern(2000, 0));
    host.currentFile = path;
    EditedSet(4);
    boxes.answers = {Button::Yes};
    commands.New();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(dialogs.calls.empty()); // Save with a file asks nothing more
    EXPECT_EQ(ReadFile(path), Pattern(ProgramSetBytes, 4));
    EXPECT_EQ(SetBytes(host.set), QByteArray(ProgramSetBytes, '\0'));
    EXPECT_EQ(host.currentFile, "");
    EXPECT_EQ(host.status, "");
}

// The save asked for before New or Open did not complete: the command stops
// and nothing is discarded.
TEST_F(FileCommandsTest, NewAndOpenStopWhenTheOfferedSaveFails) {
    const QString existing = WriteFile("existing.kxp", Pattern(2000, 0));
    struct Case {
        const char* name;
        QString currentFile;
        std::deque<Button> answers;
        std::deque<QString> dialogAnswers;
        QString warningTitle; // empty: no warning
    };
    const Case cases[] = {
        {"save dialog cancelled", "", {Button::Yes}, {QString()}, "Zapisz plik"},
        {"overwrite refused", "", {Button::Yes, Button::No}, {existing}, ""},
        {"write failed", PathOf("no such folder/p.kxp"), {Button::Yes}, {}, "Zapis pliku"},
    };
    for (bool open : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (open ? " / Open" : " / New"));
            boxes.calls.clear();
            dialogs.calls.clear();
            host.currentFile = c.currentFile;
            host.caption =
                FileCommands::FileCaption(c.currentFile.isEmpty() ? "Nowy" : c.currentFile);
            host.status = "(untouched)";
            EditedSet(6);
            const QString caption = host.caption;
            boxes.answers = c.answers;
            dialogs.answers = c.dialogAnswers;
            if (open) {
                commands.Open();
            } else {
                commands.New();
            }
            EXPECT_EQ(SetBytes(host.set), Pattern(ProgramSetBytes, 6));
            EXPECT_TRUE(host.IsModified());
            EXPECT_EQ(host.caption, caption);
            EXPECT_EQ(host.currentFile, c.currentFile);
            EXPECT_EQ(host.status, "(untouched)");
            EXPECT_EQ(ReadFile(existing), Pattern(2000, 0));
            // No open dialog follows the failed save.
            for (const auto& d : dialogs.calls) {
                EXPECT_TRUE(d.save);
            }
            ExpectBox(0, QMessageBox::Question, "Nowy plik", SaveQuestion);
            if (!c.warningTitle.isEmpty()) {
                ASSERT_EQ(boxes.calls.size(), 2u);
                ExpectBox(1, QMessageBox::Warning, c.warningTitle, "Nie można zapisać pliku");
            } else {
                ASSERT_EQ(boxes.calls.size(), 2u);
                ExpectBox(1, QMessageBox::Question, "Zapisz plik", OverwriteQuestion);
            }
        }
    }
}

TEST_F(FileCommandsTest, SaveWithoutFileRunsSaveAsThenSavesQuietly) {
    EditedSet(7);
    const QString path = PathOf("p.kxp");
    dialogs.answers = {path};
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(host.status, "Program został zapisany");
    EXPECT_EQ(ReadFile(path), Pattern(ProgramSetBytes, 7));

    EditedSet(8);
    EXPECT_TRUE(host.caption.endsWith("]*"));
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(dialogs.calls.size(), 1u); // no dialog, no question
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(host.status, "Program zostal zapisany");
    EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + path + "]");
    EXPECT_FALSE(host.IsModified());
    EXPECT_EQ(ReadFile(path), Pattern(ProgramSetBytes, 8));
}

TEST_F(FileCommandsTest, SaveAsCancelledWarns) {
    EditedSet(1);
    dialogs.answers = {QString()};
    EXPECT_FALSE(commands.SaveAs());
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(0, QMessageBox::Warning, "Zapisz plik", "Nie można zapisać pliku");
    EXPECT_TRUE(host.IsModified());
    EXPECT_EQ(host.status, "(untouched)");
    EXPECT_EQ(host.currentFile, "");
}

TEST_F(FileCommandsTest, OverwriteQuestion) {
    const QString path = WriteFile("exists.kxp", "old content");
    for (Button answer : {Button::No, Button::Yes}) {
        boxes.calls.clear();
        EditedSet(9);
        host.currentFile = "";
        host.caption = NoFileCaption + "*";
        host.status = "(untouched)";
        dialogs.answers = {path};
        boxes.answers = {answer};
        EXPECT_EQ(commands.SaveAs(), answer == Button::Yes);
        ASSERT_EQ(boxes.calls.size(), 1u);
        ExpectBox(0, QMessageBox::Question, "Zapisz plik", OverwriteQuestion);
        if (answer == Button::No) {
            EXPECT_EQ(ReadFile(path), "old content");
            EXPECT_EQ(host.caption, NoFileCaption + "*");
            EXPECT_EQ(host.status, "(untouched)");
            EXPECT_TRUE(host.IsModified());
            EXPECT_EQ(host.currentFile, "");
        } else {
            EXPECT_EQ(ReadFile(path), Pattern(ProgramSetBytes, 9));
            EXPECT_EQ(host.status, "Program został zapisany");
            EXPECT_FALSE(host.IsModified());
        }
    }
}

TEST_F(FileCommandsTest, FailedWriteIsReportedAndNotTakenForSuccess) {
    const QString folder = PathOf("a folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString targets[] = {PathOf("missing folder/x.kxp"), folder};
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        // Save as onto a path that cannot be written.
        boxes.calls.clear();
        host.currentFile = "";
        host.caption = NoFileCaption + "*";
        host.status = "(untouched)";
        EditedSet(10);
        dialogs.answers = {target};
        EXPECT_FALSE(commands.SaveAs());
        ASSERT_EQ(boxes.calls.size(), 1u);
        ExpectBox(0, QMessageBox::Warning, "Zapis pliku", "Nie można zapisać pliku");
        EXPECT_TRUE(host.IsModified());
        EXPECT_EQ(host.caption, NoFileCaption + "*");
        EXPECT_EQ(host.currentFile, "");
        EXPECT_EQ(host.status, "(untouched)");

        // Save onto the file in use that has become unwritable.
        boxes.calls.clear();
        host.currentFile = target;
        host.caption = "KX-RD4 PC  -  [" + target + "]*";
        EXPECT_FALSE(commands.Save());
        ASSERT_EQ(boxes.calls.size(), 1u);
        ExpectBox(0, QMessageBox::Warning, "Zapis pliku", "Nie można zapisać pliku");
        EXPECT_TRUE(host.IsModified());
        EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + target + "]*");
        EXPECT_EQ(host.status, "(untouched)");
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(FileCommandsTest, ErrorsInsideTheDialogsEndTheCommandQuietly) {
    EditedSet(11);
    dialogs.throwOnCall = [] { throw std::runtime_error("dialog failed"); };
    boxes.answers = {Button::No};
    commands.Open();
    EXPECT_FALSE(commands.SaveAs());
    EXPECT_EQ(boxes.calls.size(), 1u); // only the question before Open
    EXPECT_EQ(dialogs.calls.size(), 2u);
    EXPECT_TRUE(host.IsModified());
    EXPECT_EQ(SetBytes(host.set), Pattern(ProgramSetBytes, 11));
}

TEST_F(FileCommandsTest, CloseQuestion) {
    EXPECT_TRUE(commands.CloseQuery()); // nothing to lose: no question
    EXPECT_TRUE(boxes.calls.empty());

    const QString path = PathOf("c.kxp");
    struct Case {
        Button answer;
        QString dialogAnswer; // for the save as that Tak starts
        bool closes;
        bool written;
    };
    const Case cases[] = {
        {Button::Yes, path, true, true},
        {Button::Yes, QString(), false, false}, // save dialog cancelled
        {Button::No, QString(), true, false},
        {Button::Cancel, QString(), false, false},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        boxes.calls.clear();
        host.currentFile = "";
        EditedSet(12);
        boxes.answers = {c.answer};
        if (c.answer == Button::Yes) {
            dialogs.answers = {c.dialogAnswer};
        }
        EXPECT_EQ(commands.CloseQuery(), c.closes) << c.answer;
        ASSERT_GE(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
        EXPECT_EQ(boxes.calls[0].text, SaveQuestion);
        EXPECT_EQ(boxes.calls[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(QFile::exists(path), c.written) << c.answer;
        EXPECT_EQ(host.IsModified(), !c.written) << c.answer;
    }
}

TEST_F(FileCommandsTest, AutoLoad) {
    const QString path = WriteFile("auto.kxp", Pattern(2000, 13));
    commands.AutoLoad(path);
    EXPECT_EQ(SetBytes(host.set), Pattern(2000, 13));
    EXPECT_EQ(host.renders, 1);
    EXPECT_EQ(host.currentFile, path);
    EXPECT_EQ(host.caption, "KX-RD4 PC  -  [" + path + "]");
    EXPECT_EQ(host.status, "(untouched)");
    EXPECT_FALSE(host.IsModified());
    EXPECT_TRUE(boxes.calls.empty());

    // A file that cannot be read: the warning, and nothing else changes.
    commands.AutoLoad(PathOf("gone.kxp"));
    ASSERT_EQ(boxes.calls.size(), 1u);
    ExpectBox(0, QMessageBox::Warning, "Otwarcie pliku", "Nie można otworzyć pliku");
    EXPECT_EQ(SetBytes(host.set), Pattern(2000, 13));
    EXPECT_EQ(host.currentFile, path);
    EXPECT_EQ(host.renders, 1);
}

} // namespace
