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
};
