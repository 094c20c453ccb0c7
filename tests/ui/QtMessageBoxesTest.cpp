// The real message boxes: the answer is the button pressed; closing a
// question with Escape answers No.

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
