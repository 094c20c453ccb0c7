#pragma once
// Stand-ins for the operator in the window benchmarks: file dialogs that are
// cancelled and message boxes answered with OK, so nothing waits for a person.

#include <QString>

#include "FileDialogs.h"
#include "MessageBoxes.h"

class NoDialogs : public FileDialogs {
public:
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

class NoBoxes : public MessageBoxes {
public:
    QMessageBox::StandardButton Show(QMessageBox::Icon, const QString&, const QString&,
                                     QMessageBox::StandardButtons) override {
        return QMessageBox::Ok;
    }
};
