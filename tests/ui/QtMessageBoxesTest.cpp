// The real message boxes: the answer is the button pressed; closing a
// question with Escape answers No, or Cancel where asked; Enter presses the
// default button asked for.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "QtMessageBoxes.h"

namespace {

// Acts on the box once it is shown.
void WhenShown(const std::function<void(QMessageBox*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(box);
    });
}

TEST(QtMessageBoxes, AnswerIsTheButtonPressed) {
    QtMessageBoxes boxes;
    QString seenTitle, seenText;
    WhenShown([&](QMessageBox* box) {
        seenTitle = box->windowTitle();
        seenText = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(boxes.Show(QMessageBox::Question, "Wyczyść program",
                         "Czy na pewno chcesz wyczyścić program 3",
                         QMessageBox::Yes | QMessageBox::No),
              QMessageBox::Yes);
    EXPECT_EQ(seenTitle, "Wyczyść program");
    EXPECT_EQ(seenText, "Czy na pewno chcesz wyczyścić program 3");

    WhenShown([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    EXPECT_EQ(boxes.Show(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
}

TEST(QtMessageBoxes, EscapeOnAQuestionAnswersNo) {
    QtMessageBoxes boxes;
    WhenShown([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(boxes.Show(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
}

TEST(QtMessageBoxes, AQuestionsDefaultAndEscapeAreTheOnesAsked) {
    // Enter presses the default button; with escapeCancels Escape (and the
    // title bar's close) answers Cancel, not No, though no Cancel is shown.
    struct Case {
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        bool escapeCancels;
        int key;
        QMessageBox::StandardButton answer;
    };
    const auto yesNo = QMessageBox::Yes | QMessageBox::No;
    const Case cases[] = {
        {yesNo, QMessageBox::No, false, Qt::Key_Return, QMessageBox::No},
        {yesNo, QMessageBox::Yes, false, Qt::Key_Return, QMessageBox::Yes},
        {yesNo, QMessageBox::Yes, true, Qt::Key_Escape, QMessageBox::Cancel},
        {yesNo, QMessageBox::Yes, false, Qt::Key_Escape, QMessageBox::No},
        {yesNo | QMessageBox::Cancel, QMessageBox::Cancel, true, Qt::Key_Return,
         QMessageBox::Cancel},
    };
    QtMessageBoxes boxes;
    for (const Case& c : cases) {
        int shown = 0;
        WhenShown([&](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons())
                shown += button->isVisibleTo(box) ? 1 : 0;
            QTest::keyClick(box, static_cast<Qt::Key>(c.key));
        });
        EXPECT_EQ(
            boxes.Ask(QMessageBox::Question, "t", "q", c.buttons, c.defaultButton, c.escapeCancels),
            c.answer)
            << c.key << " " << c.defaultButton;
        EXPECT_EQ(shown, c.buttons & QMessageBox::Cancel ? 3 : 2);
    }
}

TEST(QtMessageBoxes, TextIsShownAsWritten) {
    QtMessageBoxes boxes;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    WhenShown([&](QMessageBox* box) {
        icon = box->icon();
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(boxes.Show(QMessageBox::Warning, "Zapisz plik", "<b>a.kxp</b>", QMessageBox::Ok),
              QMessageBox::Ok);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
