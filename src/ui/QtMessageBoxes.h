#pragma once
// The real message boxes: a modal QMessageBox over the active window. Button
// texts come from Qt's own translation that the application loads.

#include "MessageBoxes.h"

class QtMessageBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title,
                                     const QString& text,
                                     QMessageBox::StandardButtons buttons) override;
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    bool escapeCancels) override;
    QMessageBox::StandardButton ShowDetailed(QMessageBox::Icon icon, const QString& title,
                                             const QString& text, const QString& details,
                                             QMessageBox::StandardButtons buttons) override;

private:
    static QMessageBox::StandardButton Run(QMessageBox& box);
};
