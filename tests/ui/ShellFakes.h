#pragma once
// Scripted message boxes and file dialogs for the tests of the main window:
// every box is recorded, questions are answered from a script.

#include <QString>

#include "DialogFakes.h"
#include "FileDialogs.h"

// The same scripted boxes as the file command tests use.
using ShellBoxes = ScriptedBoxes;

class ShellDialogs : public FileDialogs {
public:
    int opened = 0;
    QString GetOpenFileName(const QString&, const QString&, const QString&) override {
        ++opened;
        return {};
    }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override {
        ++opened;
        return {};
    }
};
