#pragma once
// The real open and save dialogs (QFileDialog). An empty path means cancelled.

#include "FileDialogs.h"

class QWidget;

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the dialogs are centred on.
    void SetParent(QWidget* parent) { parent_ = parent; }

    QString GetOpenFileName(const QString& title, const QString& directory,
                            const QString& filter) override;
    QString GetSaveFileName(const QString& title, const QString& directory,
                            const QString& filter) override;

private:
    QWidget* parent_;
};
