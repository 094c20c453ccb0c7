#pragma once
// Every message box of the tool goes through this interface, so widget tests
// can answer the boxes without a person. QtMessageBoxes shows real boxes.

#include <QMessageBox>
#include <QString>

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a box and returns the button pressed (the escape button when closed).
    virtual QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title,
                                             const QString& text,
                                             QMessageBox::StandardButtons buttons) = 0;
    // A question with the button Enter presses (defaultButton: No for every
    // question whose Yes moves the axis or sends a program with errors) and,
    // with escapeCancels, Escape or closing the box answering Cancel even
    // where the box shows no Cancel button (a question whose No deletes).
    virtual QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton,
                                            bool escapeCancels = false) {
        (void)defaultButton;
        (void)escapeCancels;
        return Show(icon, title, text, buttons);
    }
    // A box whose long part (a list of items) is shown on request below the
    // text; by default the two are joined into one text.
    virtual QMessageBox::StandardButton ShowDetailed(QMessageBox::Icon icon, const QString& title,
                                                     const QString& text, const QString& details,
                                                     QMessageBox::StandardButtons buttons) {
        return Show(icon, title, details.isEmpty() ? text : text + "\n\n" + details, buttons);
    }
};
