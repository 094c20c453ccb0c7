#include "QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

#include "KxApplication.h"
#include "TextShaping.h"

QMessageBox::StandardButton QtMessageBoxes::Show(QMessageBox::Icon icon, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    return Run(box);
}

QMessageBox::StandardButton QtMessageBoxes::Ask(QMessageBox::Icon icon, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton,
                                                bool escapeCancels) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (escapeCancels && !(buttons & QMessageBox::Cancel)) {
        // Escape and the title bar's close press a Cancel button that is not
        // shown, so that they do not count as No.
        QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
        cancel->hide();
        box.setEscapeButton(cancel);
    } else if (escapeCancels) {
        box.setEscapeButton(QMessageBox::Cancel);
    }
    return Run(box);
}

QMessageBox::StandardButton QtMessageBoxes::ShowDetailed(QMessageBox::Icon icon,
                                                         const QString& title, const QString& text,
                                                         const QString& details,
                                                         QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(details);
    return Run(box);
}

QMessageBox::StandardButton QtMessageBoxes::Run(QMessageBox& box) {
    // A box may come before the main window's first frame: with the icon.
    KxApplication::CompleteWindowIcon();
    // A file name in the text may need shaping.
    if (TextShaping::Needed(box.text() + box.informativeText() + box.detailedText()))
        box.setFont(TextShaping::Shaped(box.font()));
    const int answer = box.exec();
    if (QAbstractButton* clicked = box.clickedButton())
        return box.standardButton(clicked);
    // Closed without a button: the box's escape button, if it has one.
    if (QAbstractButton* escape = box.escapeButton())
        return box.standardButton(escape);
    return static_cast<QMessageBox::StandardButton>(answer);
}
