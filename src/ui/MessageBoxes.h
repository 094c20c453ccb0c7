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
    // A box whose long part (a list of items) is shown on request below the
    // text; by default the two are joined into one text.
    virtual QMessageBox::StandardButton ShowDetailed(QMessageBox::Icon icon, const QString& title,
                                                     const QString& text, const QString& details,
                                                     QMessageBox::StandardButtons buttons) {
        return Show(icon, title, details.isEmpty() ? text : text + "\n\n" + details, buttons);
    }
};
