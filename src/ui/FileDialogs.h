#pragma once
// The open and save file dialogs, behind an interface so widget tests can
// answer them. An empty result means the dialog was cancelled.

#include <QString>

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // filter in Qt form, e.g. "Plik program (*.kxp)".
    virtual QString GetOpenFileName(const QString& title, const QString& directory,
                                    const QString& filter) = 0;
    virtual QString GetSaveFileName(const QString& title, const QString& directory,
                                    const QString& filter) = 0;
};
