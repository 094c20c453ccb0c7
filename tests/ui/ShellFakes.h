#pragma once
// Scripted message boxes and file dialogs for the tests of the main window:
// every box is recorded, questions are answered from a script.

#include <QString>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

#include "FileDialogs.h"
#include "MessageBoxes.h"

class ShellBoxes : public MessageBoxes {
public:
    struct Call {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    std::vector<Call> calls;
    std::deque<QMessageBox::StandardButton> answers;

    QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title,
                                     const QString& text,
                                     QMessageBox::StandardButtons buttons) override {
        calls.push_back({icon, title, text, buttons});
        if (answers.empty()) {
            if (buttons != QMessageBox::Ok)
                ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return QMessageBox::Ok;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

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
