// The editing commands of the page "Programowanie": undo and redo of every
// change, the lines on the system clipboard, insert and delete, the text view
// and the keyboard on the listing.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <cstdio>
#include <vector>

#include "EditorPage.h"
#include "FileCommands.h"
#include "ProgramEditing.h"
#include "ShellFixture.h"
#include "TFProg.h"
#include "TextView.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const ProgramSet& set) {
    return Bytes(set.Data(), set.Data() + ProgramSet::Size());
}

class Editing : public ShellFixture {
protected:
    ProgramEditing& Commands() { return window->Editing(); }
    EditorPage& Page() { return window->Editor(); }
    Bytes Now() const { return BytesOf(window->Programs()); }
    QString Text(int n) const { return window->Editor().line[static_cast<std::size_t>(n)]->text(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->ProgBox, static_cast<Qt::Key>(key), modifiers);
    }
    void Paste(const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        Commands().PasteLines();
    }
    void EditLineInDialog(int line, int command) {
        TFProg* dialog = window->LineEditor();
        ASSERT_NE(dialog, nullptr);
        dialog->Open(line, window->CurrentProgram());
        dialog->FunctionChange(command);
        dialog->OkButtonClick();
    }
};

TEST_F(Editing, EveryEditIsOneStepAndUndoAndRedoRestoreEveryByte) {
    EXPECT_FALSE(Commands().Cofnij->isEnabled());
    EXPECT_EQ(Commands().Cofnij->text(), "Cofnij");
    EXPECT_FALSE(Commands().Ponow->isEnabled());

    struct Step {
        const char* undoText;
        std::function<void()> edit;
    };
    const std::vector<Step> steps = {
        {"edycja linii 03", [&] { EditLineInDialog(3, 20); }},
        {"wklejenie linii 00–01", [&] { Paste("V_MAX 00500\nJ_LIN 03"); }},
        {"wstawienie linii 01",
         [&] {
             Page().SelectLine(1);
             Commands().InsertLine();
         }},
        {"wyczyszczenie linii 00",
         [&] {
             Page().SelectLine(0);
             Key(Qt::Key_Delete);
         }},
        {"usunięcie linii 01",
         [&] {
             Page().SelectLine(1);
             Commands().DeleteLines();
         }},
        {"kopiowanie programu 0 do 5",
         [&] {
             window->Prog->setCurrentIndex(5);
             Page().BitBtn10->click();
         }},
        {"wyczyszczenie programu 0",
         [&] {
             boxes.answers.push_back(QMessageBox::Yes);
             Page().BitBtn5->click();
         }},
        {"edycja programu 5 jako tekst",
         [&] {
             Page().ShowProgram(5);
             Commands().EditAsText();
             Commands().Text->Text->setPlainText("M_EN\nW_TIM 00100\nJ_LIN 00");
             Commands().Text->Buttons->button(QDialogButtonBox::Ok)->click();
         }},
        {"odczyt programu 2 ze sterownika",
         [&] {
             window->Programs().SetLine(2, 7, ProgramLine{20, 1, 2, 3, 4, 5, 6, 7});
             window->ProgramRead(2);
         }},
    };
    std::vector<Bytes> states{Now()};
    std::vector<std::pair<int, int>> views{{0, 0}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.undoText);
        step.edit();
        EXPECT_NE(Now(), states.back()) << "the edit changed nothing";
        states.push_back(Now());
        views.emplace_back(window->CurrentProgram(), Page().Selection().Current());
        EXPECT_EQ(Commands().Cofnij->text(), QStringLiteral("Cofnij: ") + step.undoText);
    }
    EXPECT_EQ(Commands().History().Stack().count(), static_cast<int>(steps.size()));
    EXPECT_TRUE(boxes.answers.empty());

    // Undo all, then redo all: the 2000 bytes of every step come back.
    for (std::size_t i = steps.size(); i > 0; --i) {
        SCOPED_TRACE(steps[i - 1].undoText);
        EXPECT_TRUE(Commands().Cofnij->isEnabled());
        Commands().Cofnij->trigger();
        EXPECT_EQ(Now(), states[i - 1]);
        EXPECT_EQ(Commands().Ponow->text(), QStringLiteral("Ponów: ") + steps[i - 1].undoText);
    }
    EXPECT_FALSE(Commands().Cofnij->isEnabled());
    EXPECT_TRUE(window->CaptionText().endsWith("*"));
    EXPECT_EQ(window->CurrentProgram(), 0);
    EXPECT_EQ(Text(3), "[03]  *****  ");
    for (std::size_t i = 1; i <= steps.size(); ++i) {
        SCOPED_TRACE(steps[i - 1].undoText);
        Commands().Ponow->trigger();
        EXPECT_EQ(Now(), states[i]);
        EXPECT_EQ(window->CurrentProgram(), views[i].first);
        EXPECT_EQ(Page().Selection().Current(), views[i].second);
    }
    EXPECT_FALSE(Commands().Ponow->isEnabled());

    // New starts a fresh history.
    window->Modified().ClearModified();
    window->Files().New();
    EXPECT_FALSE(Commands().Cofnij->isEnabled());
}

TEST_F(Editing, UndoRestoresTheProgramShownAndTheSelectedLine) {
    Page().ShowProgram(4);
    Page().SelectLine(6);
    Key(Qt::Key_Delete); // clears nothing: the line is empty, no step
    EXPECT_FALSE(Commands().Cofnij->isEnabled());
    window->Programs().SetLine(4, 6, ProgramLine{20, 0, 0, 0, 0, 0, 0, 0});
    Commands().History().Reset();
    Key(Qt::Key_Delete);
    EXPECT_EQ(window->Programs().Line(4, 6), ProgramLine{});
    Page().ShowProgram(1);
    Page().SelectLine(20);
    Commands().Undo();
    EXPECT_EQ(window->CurrentProgram(), 4);
    EXPECT_EQ(Page().Selection().Current(), 6);
    EXPECT_EQ(Text(6), "[06]  END    ");
    EXPECT_EQ(window->Programs().Line(4, 6), (ProgramLine{20, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Editing, ABadPasteIsRefusedWithItsLineAndChangesNothing) {
    window->Programs().SetLine(0, 24, ProgramLine{20, 0, 0, 0, 0, 0, 0, 0});
    window->Programs().SetLine(0, 2, ProgramLine{14, 9, 0, 0, 0, 0, 0, 0});
    window->RenderProgram();
    Commands().History().Reset();
    const Bytes before = Now();
    struct Row {
        const char* text;
        const char* part;
    };
    const std::vector<Row> rows = {
        {"", "nie zawiera linii programu"},
        {"dzień dobry", "Linia 1 tekstu"},
        {"[00]  V_MAX  00500\n[01]  V_MAX  9999999", "Linia 2 tekstu"},
        {"[00]  END  | 01 02", "surowe bajty"},
        {"P1\n[00]  END\nP2\n[00]  END", "więcej niż jeden program"},
        {"[00]  END", "poza linię 24"}, // line 24 of P0 is not empty
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        boxes.calls.clear();
        Paste(QString::fromUtf8(row.text));
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Warning);
        EXPECT_EQ(boxes.calls[0].title, "Wklej linie");
        EXPECT_TRUE(boxes.calls[0].text.contains(QString::fromUtf8(row.part)))
            << boxes.calls[0].text.toStdString();
        EXPECT_EQ(Now(), before);
        EXPECT_FALSE(Commands().Cofnij->isEnabled());
    }
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST_F(Editing, CopyAndPasteBetweenTwoWindowsGiveIdenticalBytes) {
    // Stray bytes that no command uses come across too.
    window->Programs().SetLine(3, 0, ProgramLine{1, 0, 0, 5, 0, 0, 9, 9});
    window->Programs().SetLine(3, 1, ProgramLine{107, 1, 2, 3, 4, 5, 6, 7});
    window->Programs().SetLine(3, 24, ProgramLine{20, 0, 0, 0, 0, 0, 0, 0xFF});
    Page().ShowProgram(3);
    Commands().CopyProgram();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("P3\n[00]  V_MAX  00500 | "));

    ShellBoxes otherBoxes;
    ShellDialogs otherDialogs;
    TFMain other(otherBoxes, otherDialogs, std::make_shared<SimulatedHidBackend>());
    other.Settings().SetSettingsPath(settingsDir.filePath(QStringLiteral("other.ini")));
    other.StartUp();
    other.Editor().ShowProgram(7);
    other.Editing().PasteLines();
    EXPECT_TRUE(otherBoxes.calls.empty());
    for (int l = 0; l < LinesPerProgram; ++l)
        EXPECT_EQ(other.Programs().Line(7, l), window->Programs().Line(3, l)) << l;

    // A range: lines 0..1 pasted at line 5 of the other window's P7 after
    // clearing it; the lines below move down.
    Page().SelectLine(0);
    Page().SelectLine(1, true);
    Commands().CopyLines();
    other.Programs().ClearProgram(7);
    other.Programs().SetLine(7, 5, ProgramLine{4, 0, 0, 0, 0, 0, 0, 0});
    other.Editor().SelectLine(5);
    other.Editing().PasteLines();
    EXPECT_EQ(other.Programs().Line(7, 5), window->Programs().Line(3, 0));
    EXPECT_EQ(other.Programs().Line(7, 6), window->Programs().Line(3, 1));
    EXPECT_EQ(other.Programs().Line(7, 7), (ProgramLine{4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(other.Editor().Selection().First(), 5);
    EXPECT_EQ(other.Editor().Selection().Last(), 6);
    other.ShutDown();
}

TEST_F(Editing, CutAndDeleteAskWhenOtherLinesJumpIntoTheLines) {
    window->Programs().SetLine(0, 1, ProgramLine{4, 0, 0, 0, 0, 0, 0, 0});
    window->Programs().SetLine(0, 8, ProgramLine{14, 1, 0, 0, 0, 0, 0, 0});
    window->Programs().SetLine(0, 9, ProgramLine{15, 1, 0, 0, 0, 0, 0, 0});
    window->RenderProgram();
    Commands().History().Reset();
    const Bytes before = Now();
    Page().SelectLine(1);
    boxes.answers.push_back(QMessageBox::No);
    Commands().DeleteLines();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes.calls[0].text.toStdString(),
              "Do linii 01 skaczą linie: 08, 09. Czy na pewno chcesz usunąć linię 01?");
    EXPECT_EQ(Now(), before);
    boxes.answers.push_back(QMessageBox::Yes);
    Commands().CutLines();
    EXPECT_EQ(Text(7), "[07]  J_LIN  01");
    EXPECT_EQ(Text(8), "[08]  J_CNT  01");
    EXPECT_EQ(Commands().Cofnij->text(), "Cofnij: wycięcie linii 01");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("[01]  M_EN "));

    // Insert is refused while line 24 is not empty.
    window->Programs().SetLine(0, 24, ProgramLine{20, 0, 0, 0, 0, 0, 0, 0});
    const Bytes full = Now();
    boxes.calls.clear();
    Commands().InsertLine();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Nie można wstawić linii: linia 24 nie jest pusta.");
    EXPECT_EQ(Now(), full);
}

TEST_F(Editing, TheKeyboardAloneMovesSelectsOpensAndChooses) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // The listing has the focus from the start.
    EXPECT_EQ(QApplication::focusWidget(), window->ProgBox);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Page().Selection().Current(), 2);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Page().Selection().Current(), 12);
    Key(Qt::Key_End);
    EXPECT_EQ(Page().Selection().Current(), 24);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Page().Selection().First(), 22);
    EXPECT_EQ(Page().Selection().Last(), 24);
    // The selected lines are shown on a background of their own.
    EXPECT_TRUE(Page().line[23]->autoFillBackground());
    EXPECT_FALSE(Page().line[21]->autoFillBackground());
    Key(Qt::Key_Home);
    EXPECT_EQ(Page().Selection().Count(), 1);
    EXPECT_FALSE(Page().line[23]->autoFillBackground());

    // Ctrl+digit chooses the program; Ins and Ctrl+Z reach their commands.
    Key(Qt::Key_6, Qt::ControlModifier);
    EXPECT_EQ(window->CurrentProgram(), 6);
    window->Programs().SetLine(6, 0, ProgramLine{4, 0, 0, 0, 0, 0, 0, 0});
    Commands().History().Reset();
    Key(Qt::Key_Insert);
    EXPECT_EQ(Text(1), "[01]  M_EN   ");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(0), "[00]  M_EN   ");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Text(1), "[01]  M_EN   ");

    // Enter opens the line edit dialog on the selected line.
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    ASSERT_NE(window->LineEditor(), nullptr);
    EXPECT_TRUE(window->LineEditor()->isVisible());
    EXPECT_EQ(window->LineEditor()->Target().line, 1);
    EXPECT_EQ(window->LineEditor()->Target().program, 6);
}

TEST_F(Editing, TheEditMenuListsTheCommands) {
    QStringList menus;
    for (QAction* action : window->MainMenu1->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"Plik", "Edycja", "Program", "Pomoc"}));
    QStringList items;
    for (QAction* action : Commands().Edycja->actions())
        if (!action->isSeparator())
            items << action->text() + " " + action->shortcut().toString();
    EXPECT_EQ(items, QStringList({"Cofnij Ctrl+Z", "Ponów Ctrl+Y", "Wytnij linie Ctrl+X",
                                  "Kopiuj linie Ctrl+C", "Kopiuj cały program Ctrl+Shift+C",
                                  "Wklej linie Ctrl+V", "Wstaw linię Ins", "Usuń linię Ctrl+Del",
                                  "Edytuj jako tekst… Ctrl+T", "Sprawdź program F7"}));
    EXPECT_EQ(Commands().Ponow->shortcuts().size(), 2);
}

TEST_F(Editing, TheTextViewShowsErrorsWhileTypingAndChangesNothingUntilValid) {
    const Bytes before = Now();
    Commands().EditAsText();
    TextView* view = Commands().Text;
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(view->Text->toPlainText().startsWith("[00]  *****  \n[01]  *****  \n"));
    QPushButton* ok = view->Buttons->button(QDialogButtonBox::Ok);
    view->Text->setPlainText("V_MAX 00500\nX_DST +12345678");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(view->Problem->text().startsWith("Linia 2 tekstu"))
        << view->Problem->text().toStdString();
    ok->click();
    EXPECT_EQ(Now(), before);
    view->Text->setPlainText("V_MAX 00500\nX_DST +1234567");
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(Text(0), "[00]  V_MAX  00500");
    EXPECT_EQ(Text(1), "[01]  X_DST  +1234567");
    EXPECT_EQ(Commands().History().Stack().count(), 1);
    EXPECT_TRUE(window->Modified().IsSet());
}

// The operator's round: ten lines typed with the keyboard alone, pasted into
// another program as a text editor would hand them over, a line inserted in
// the middle with the jumps following, then everything undone.
TEST_F(Editing, TenLinesFromTheKeyboardPastedInsertedAndAllUndone) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->ProgBox->setFocus();
    int keys = 0;
    auto press = [&](QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(to, static_cast<Qt::Key>(key), modifiers);
        ++keys;
    };
    auto type = [&](QWidget* to, const QString& text) {
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                press(to, Qt::Key_Return);
            QTest::keyClicks(to, lines[i]);
            keys += static_cast<int>(lines[i].size());
        }
    };
    press(window->ProgBox, Qt::Key_T, Qt::ControlModifier);
    TextView* view = Commands().Text;
    ASSERT_TRUE(view->isVisible());
    press(view->Text, Qt::Key_A, Qt::ControlModifier);
    const QString program = "M_EN\nV_MAX 1000\nA_MAX 500\nS_CNT 3\nX_DST 10000\nW_TIM 500\n"
                            "X_DST 0\nW_TIM 500\nJ_CNT 4\nEND";
    type(view->Text, program);
    EXPECT_EQ(view->Problem->text().toStdString(), "Tekst jest poprawny.");
    press(view->Text, Qt::Key_Return, Qt::ControlModifier); // applies, as "OK" does
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(Text(0), "[00]  M_EN   ");
    EXPECT_EQ(Text(4), "[04]  X_DST  +0010000");
    EXPECT_EQ(Text(8), "[08]  J_CNT  04");
    EXPECT_EQ(Text(9), "[09]  END    ");
    std::printf("ten lines written with %d key presses\n", keys);
    EXPECT_LT(keys, 110);

    // As a text editor hands the lines over: the editor's own texts.
    QString plain;
    for (int n = 0; n < 10; ++n)
        plain += Text(n) + "\n";
    QGuiApplication::clipboard()->setText(plain);
    press(window->ProgBox, Qt::Key_2, Qt::ControlModifier);
    press(window->ProgBox, Qt::Key_V, Qt::ControlModifier);
    for (int l = 0; l < LinesPerProgram; ++l)
        EXPECT_EQ(window->Programs().Line(2, l), window->Programs().Line(0, l)) << l;

    // A line inserted above line 04: the loop's jump follows its line.
    // The pasted lines are selected; Home goes back to line 00.
    EXPECT_EQ(Page().Selection().Count(), 10);
    press(window->ProgBox, Qt::Key_Home);
    for (int n = 0; n < 4; ++n)
        press(window->ProgBox, Qt::Key_Down);
    press(window->ProgBox, Qt::Key_Insert);
    EXPECT_EQ(Text(4), "[04]  *****  ");
    EXPECT_EQ(Text(5), "[05]  X_DST  +0010000");
    EXPECT_EQ(Text(9), "[09]  J_CNT  05");

    // Undo to the empty set.
    int undos = 0;
    while (Commands().Cofnij->isEnabled() && undos < 10) {
        press(window->ProgBox, Qt::Key_Z, Qt::ControlModifier);
        ++undos;
    }
    EXPECT_EQ(undos, 3);
    EXPECT_EQ(Now(), Bytes(ProgramSet::Size(), 0));
    EXPECT_EQ(window->CurrentProgram(), 0);
}

TEST_F(Editing, MoreThanAHundredStepsAreKept) {
    for (int step = 1; step <= 150; ++step) {
        window->Programs().SetLine(step % 10, step % 25,
                                   ProgramLine{18, 0, 0, 0, static_cast<std::uint8_t>(step % 10),
                                               static_cast<std::uint8_t>(step / 10), 0, 0});
        ASSERT_TRUE(Commands().History().Record(QStringLiteral("krok %1").arg(step)));
    }
    int undone = 0;
    while (Commands().Cofnij->isEnabled()) {
        Commands().Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 150);
    EXPECT_EQ(Now(), Bytes(ProgramSet::Size(), 0));
}

} // namespace
