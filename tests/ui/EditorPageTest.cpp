// The page "Programowanie": switching programs, hover colours, the
// right-button exchange of lines, double-click, clear, copy and the
// transfer buttons.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>
#include <vector>

#include "EditorPage.h"
#include "ShellFixture.h"

namespace {

// Records the line edit dialog's opening step.
class RecordingWindow : public TFMain {
public:
    using TFMain::TFMain;
    void OpenLineEditor(int line) override { opened.push_back(line); }
    std::vector<int> opened;
};

class Editor : public ShellFixtureOf<RecordingWindow> {
protected:
    QLabel* Line(int n) const {
        return Find<QLabel>(QStringLiteral("line%1").arg(n, 2, 10, QLatin1Char('0')));
    }
    QString Text(int n) const { return Line(n)->text(); }
    QColor Colour(int n) const { return Line(n)->palette().color(QPalette::WindowText); }
    void Put(int program, int line, ProgramLine bytes) {
        window->Programs().SetLine(program, line, bytes);
    }
    void Choose(int program) {
        QTest::mouseClick(Find<QRadioButton>(QStringLiteral("p%1").arg(program)), Qt::LeftButton);
    }
    static QPoint Middle(QWidget* widget) { return widget->rect().center(); }
    // A right-button press on one widget and the release over another: the
    // release is sent where the pointer is, as the window system does.
    void RightDrag(QWidget* from, QWidget* to) {
        QTest::mousePress(from, Qt::RightButton, {}, Middle(from));
        QTest::mouseRelease(window.get(), Qt::RightButton, {}, to->mapTo(window.get(), Middle(to)));
    }
};

const ProgramLine VMax500{1, 0, 0, 5, 0, 0, 0, 0};
const ProgramLine JumpIn{16, 3, 0, 0, 0, 0, 0, 0};

TEST_F(Editor, ClickingAProgramButtonShowsThatProgram) {
    Put(4, 0, VMax500);
    Put(4, 24, ProgramLine{20, 0, 0, 0, 0, 0, 0, 0});
    Choose(4);
    EXPECT_EQ(window->CurrentProgram(), 4);
    EXPECT_EQ(Text(0), "[00]  V_MAX  00500");
    EXPECT_EQ(Text(1), "[01]  *****  ");
    EXPECT_EQ(Text(24), "[24]  END    ");
    Choose(0);
    EXPECT_EQ(Text(0), "[00]  *****  ");
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST_F(Editor, HoverWhitensOnlyTheLineUnderTheMouse) {
    QTest::mouseMove(Line(3), Middle(Line(3)));
    QTRY_COMPARE(Colour(3), QColor(255, 255, 255));
    QTest::mouseMove(Line(4), Middle(Line(4)));
    QTRY_COMPARE(Colour(4), QColor(255, 255, 255));
    EXPECT_EQ(Colour(3), QColor(0, 0, 0));
    // The white line stands on the selection colour, the others on none.
    EXPECT_TRUE(Line(4)->autoFillBackground());
    EXPECT_EQ(Line(4)->palette().color(QPalette::Window),
              window->ProgBox->palette().color(QPalette::Highlight));
    EXPECT_FALSE(Line(3)->autoFillBackground());
    for (int n = 0; n < 25; ++n) {
        if (n != 4) {
            EXPECT_EQ(Colour(n), QColor(0, 0, 0)) << n;
        }
    }
    // Off the labels, onto the box background: all black.
    QTest::mouseMove(window->ProgBox, QPoint(5, 5));
    QTRY_COMPARE(Colour(4), QColor(0, 0, 0));
    EXPECT_FALSE(Line(4)->autoFillBackground());
}

TEST_F(Editor, RightDragExchangesTwoLinesAndMarksTheCaption) {
    Put(0, 2, VMax500);
    Put(0, 10, JumpIn);
    window->RenderProgram();
    RightDrag(Line(2), Line(10));
    EXPECT_EQ(window->Programs().Line(0, 2), JumpIn);
    EXPECT_EQ(window->Programs().Line(0, 10), VMax500);
    EXPECT_EQ(Text(2), "[02]  J_INP  03  0  off");
    EXPECT_EQ(Text(10), "[10]  V_MAX  00500");
    for (int n : {0, 1, 3, 9, 11, 24})
        EXPECT_EQ(Text(n), QStringLiteral("[%1]  *****  ").arg(n, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]*");
    EXPECT_EQ(window->Editor().Drag().Line(), NoIndex);
    // A second exchange keeps exactly one mark.
    RightDrag(Line(10), Line(2));
    EXPECT_EQ(window->Programs().Line(0, 2), VMax500);
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]*");
}

TEST_F(Editor, RightDragOntoTheSameLineMarksButChangesNothing) {
    Put(0, 5, VMax500);
    window->RenderProgram();
    const ProgramSet before = window->Programs();
    RightDrag(Line(5), Line(5));
    EXPECT_EQ(std::vector<std::uint8_t>(before.Data(), before.Data() + ProgramSet::Size()),
              std::vector<std::uint8_t>(window->Programs().Data(),
                                        window->Programs().Data() + ProgramSet::Size()));
    EXPECT_TRUE(window->Modified().IsSet());
    EXPECT_TRUE(window->CaptionText().endsWith("]*"));
}

TEST_F(Editor, PendingMoveSurvivesAReleaseElsewhereAndAProgramSwitch) {
    Put(2, 3, VMax500);
    Put(2, 7, JumpIn);
    Choose(2);
    // Press on line 3, release outside any line: the move stays pending.
    QTest::mousePress(Line(3), Qt::RightButton, {}, Middle(Line(3)));
    QTest::mouseRelease(window.get(), Qt::RightButton, {},
                        window->pb->mapTo(window.get(), Middle(window->pb)));
    EXPECT_EQ(window->Editor().Drag().Line(), 3);
    EXPECT_FALSE(window->Modified().IsSet());
    // Switch to P5, then press somewhere that is neither a line nor the box,
    // and release over line 7: lines 3 and 7 of P2 trade places.
    Choose(5);
    RightDrag(window->pb, Line(7));
    EXPECT_EQ(window->Programs().Line(2, 3), JumpIn);
    EXPECT_EQ(window->Programs().Line(2, 7), VMax500);
    EXPECT_EQ(window->Programs().Line(5, 3), ProgramLine{});
    EXPECT_TRUE(window->Modified().IsSet());
}

TEST_F(Editor, RightPressThatEndsADoubleClickStartsAMoveToo) {
    Put(0, 3, VMax500);
    Put(0, 10, JumpIn);
    window->RenderProgram();
    // The window system's events with their times: the second press comes soon
    // after the first at the same place, which makes it a double-click.
    QWindow* handle = window->windowHandle();
    const int start = QTest::lastMouseTimestamp + 1000;
    auto send = [&](QEvent::Type type, QWidget* over, int time) {
        const QPoint local = over->mapTo(window.get(), Middle(over));
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton;
        qt_handleMouseEvent(handle, local, handle->mapToGlobal(local), held, Qt::RightButton, type,
                            {}, time);
        QCoreApplication::processEvents();
    };
    send(QEvent::MouseButtonPress, Line(3), start);
    send(QEvent::MouseButtonRelease, Line(3), start + 50);
    send(QEvent::MouseButtonPress, Line(3), start + 100);
    send(QEvent::MouseButtonRelease, Line(10), start + 200);
    QTest::lastMouseTimestamp = start + 1000;
    EXPECT_EQ(window->Programs().Line(0, 3), JumpIn);
    EXPECT_EQ(window->Programs().Line(0, 10), VMax500);
    EXPECT_EQ(Text(10), "[10]  V_MAX  00500");
    EXPECT_EQ(window->Editor().Drag().Line(), NoIndex);
    EXPECT_TRUE(window->opened.empty());
}

TEST_F(Editor, PressOnTheBoxBackgroundCancelsAPendingMove) {
    Put(0, 1, VMax500);
    QTest::mousePress(Line(1), Qt::RightButton, {}, Middle(Line(1)));
    QTest::mouseRelease(window.get(), Qt::RightButton, {},
                        window->pb->mapTo(window.get(), Middle(window->pb)));
    QTest::mouseClick(window->ProgBox, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->Editor().Drag().Line(), NoIndex);
    QTest::mouseRelease(window.get(), Qt::RightButton, {},
                        Line(6)->mapTo(window.get(), Middle(Line(6))));
    EXPECT_EQ(window->Programs().Line(0, 1), VMax500);
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST_F(Editor, LeftButtonMovesNothing) {
    Put(0, 0, VMax500);
    QTest::mousePress(Line(0), Qt::LeftButton, {}, Middle(Line(0)));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {},
                        Line(6)->mapTo(window.get(), Middle(Line(6))));
    EXPECT_EQ(window->Programs().Line(0, 0), VMax500);
    EXPECT_EQ(window->Editor().Drag().Line(), NoIndex);
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST_F(Editor, DoubleClickOpensTheLineEditorOnThatLine) {
    QTest::mouseDClick(Line(7), Qt::LeftButton, {}, Middle(Line(7)));
    QTest::mouseDClick(Line(24), Qt::LeftButton, {}, Middle(Line(24)));
    QTest::mouseDClick(Line(3), Qt::RightButton, {}, Middle(Line(3)));
    EXPECT_EQ(window->opened, (std::vector<int>{7, 24}));
}

TEST_F(Editor, ClearAnsweredNoChangesNothing) {
    Put(3, 0, VMax500);
    Choose(3);
    window->ShowStatus("vorher");
    boxes.answers = {QMessageBox::No};
    QTest::mouseClick(Find<QAbstractButton>("BitBtn5"), Qt::LeftButton);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes.calls[0].title, "Wyczyść program");
    EXPECT_EQ(boxes.calls[0].text, "Czy na pewno chcesz wyczyścić program 3");
    EXPECT_EQ(boxes.calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(window->Programs().Line(3, 0), VMax500);
    EXPECT_EQ(Text(0), "[00]  V_MAX  00500");
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]");
    EXPECT_EQ(window->StatusPanel(0)->text(), "vorher");
}

TEST_F(Editor, ClearAnsweredYesEmptiesTheProgramWithOneMark) {
    Put(3, 0, VMax500);
    Put(3, 24, JumpIn);
    Put(4, 0, VMax500);
    Choose(3);
    window->SetCaptionText("KX-RD4 PC  -  [Nowy]*");
    boxes.answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QAbstractButton>("BitBtn5"), Qt::LeftButton);
    for (int n = 0; n < 25; ++n) {
        EXPECT_EQ(window->Programs().Line(3, n), ProgramLine{}) << n;
        EXPECT_TRUE(Text(n).endsWith("*****  ")) << n;
    }
    EXPECT_EQ(window->Programs().Line(4, 0), VMax500);
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]*");
    EXPECT_EQ(window->StatusPanel(0)->text(), "Program został wczyszczony");
}

TEST_F(Editor, CopyKeepsEveryByteAndDoesNotRedraw) {
    // Operand bytes that the command does not use travel with the copy.
    const ProgramLine withLeftovers{4, 9, 8, 7, 6, 5, 4, 3};
    Put(2, 0, withLeftovers);
    Put(2, 24, VMax500);
    Choose(2);
    Find<QComboBox>("Prog")->setCurrentIndex(5);
    window->pb->setValue(3);
    QTest::mouseClick(Find<QAbstractButton>("BitBtn10"), Qt::LeftButton);
    for (int n = 0; n < 25; ++n)
        EXPECT_EQ(window->Programs().Line(5, n), window->Programs().Line(2, n)) << n;
    EXPECT_EQ(window->pb->value(), 25);
    EXPECT_EQ(window->StatusPanel(0)->text(), "Program został skopiowany");
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]*");
    EXPECT_EQ(window->CurrentProgram(), 2);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(Editor, CopyOntoItselfChangesNothingButIsReported) {
    Put(2, 4, VMax500);
    Choose(2);
    Find<QComboBox>("Prog")->setCurrentIndex(2);
    QTest::mouseClick(Find<QAbstractButton>("BitBtn10"), Qt::LeftButton);
    EXPECT_EQ(window->Programs().Line(2, 4), VMax500);
    EXPECT_EQ(window->StatusPanel(0)->text(), "Program został skopiowany");
    EXPECT_TRUE(window->Modified().IsSet());
}

TEST_F(Editor, ReadProgramAsksFirstAndNoLeavesTheBar) {
    Choose(3);
    window->pb->setValue(7);
    boxes.answers = {QMessageBox::No};
    QTest::mouseClick(Find<QAbstractButton>("BitBtn7"), Qt::LeftButton);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes.calls[0].title, "Odczytaj program");
    EXPECT_EQ(boxes.calls[0].text, "Czy na pewno chcesz zastąpić program 3");
    EXPECT_EQ(window->pb->value(), 7);
    boxes.answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QAbstractButton>("BitBtn7"), Qt::LeftButton);
    EXPECT_EQ(window->pb->value(), 0);
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST_F(Editor, TransferButtonsCarryTheirCaptionsAndAskNothingElse) {
    const char* names[] = {"BitBtn6", "BitBtn7", "BitBtn8", "BitBtn9", "BitBtn5", "BitBtn10"};
    const char* captions[] = {"Wyślij program",    "Odczytaj program", "Uruchom program",
                              "Zatrzymaj program", "Wyczyść program",  "Kopiuj program"};
    for (int i = 0; i < 6; ++i) {
        auto* button = Find<QAbstractButton>(QLatin1String(names[i]));
        EXPECT_EQ(button->text(), QString::fromUtf8(captions[i]));
        EXPECT_FALSE(button->icon().isNull()) << names[i];
    }
    window->pb->setValue(9);
    QTest::mouseClick(Find<QAbstractButton>("BitBtn6"), Qt::LeftButton);
    EXPECT_EQ(window->pb->value(), 0);
    QTest::mouseClick(Find<QAbstractButton>("BitBtn8"), Qt::LeftButton);
    QTest::mouseClick(Find<QAbstractButton>("BitBtn9"), Qt::LeftButton);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_FALSE(window->Modified().IsSet());
}

TEST(EditorLineNumbers, TakenFromTheLastTwoCharactersOfTheName) {
    QObject label;
    const std::pair<const char*, int> table[] = {
        {"line00", 0}, {"line07", 7}, {"line24", 24}, {"Label", -1}};
    for (const auto& [name, number] : table) {
        label.setObjectName(QLatin1String(name));
        EXPECT_EQ(EditorPage::LineNumberOf(&label), number) << name;
    }
}

} // namespace
