#pragma once
// Scripted message boxes, file dialogs and a window stand-in for the tests of
// the file commands and the window settings.

#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "FileCommandsHost.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "ModifiedFlag.h"
#include "ProgramSet.h"

class ScriptedBoxes : public MessageBoxes {
public:
    struct Call {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        // Ask: the button Enter presses, and whether Escape answers Cancel.
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        bool escapeCancels = false;
    };
    std::vector<Call> calls;
    std::deque<QMessageBox::StandardButton> answers;

    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    bool escapeCancels) override {
        const auto answer = Show(icon, title, text, buttons);
        calls.back().defaultButton = defaultButton;
        calls.back().escapeCancels = escapeCancels;
        return answer;
    }

    QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& title,
                                     const QString& text,
                                     QMessageBox::StandardButtons buttons) override {
        calls.push_back({icon, title, text, buttons});
        if (answers.empty()) {
            if (buttons != QMessageBox::Ok) {
                ADD_FAILURE() << "unexpected question: " << text.toStdString();
            }
            return QMessageBox::Ok;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class ScriptedDialogs : public FileDialogs {
public:
    struct Call {
        bool save;
        QString title;
        QString filter;
    };
    std::vector<Call> calls;
    std::deque<QString> answers;       // an empty text cancels
    std::function<void()> throwOnCall; // set to make the dialog fail

    QString GetOpenFileName(const QString& title, const QString&, const QString& filter) override {
        return Answer(false, title, filter);
    }
    QString GetSaveFileName(const QString& title, const QString&, const QString& filter) override {
        return Answer(true, title, filter);
    }

private:
    QString Answer(bool save, const QString& title, const QString& filter) {
        calls.push_back({save, title, filter});
        if (throwOnCall) {
            throwOnCall();
        }
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return {};
        }
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeFileHost : public FileCommandsHost, public CaptionSink {
public:
    ProgramSet set;
    ModifiedFlag flag{*this};
    QString currentFile;
    QString caption = "KX-RD4 PC  -  [Nowy]";
    QString status = "(untouched)";
    int renders = 0;

    // What an edit does to the window: the flag and one "*" on the caption.
    void Edit() { flag.MarkModified(); }
    bool IsModified() const { return flag.IsSet(); }

    ProgramSet& Programs() override { return set; }
    ModifiedFlag& Modified() override { return flag; }
    const QString& CurrentFile() const override { return currentFile; }
    void SetCurrentFile(const QString& path) override { currentFile = path; }
    void SetCaptionText(const QString& text) override { caption = text; }
    void RenderProgram() override { ++renders; }
    void ShowStatus(const QString& message) override { status = message; }
    std::string Caption() const override { return caption.toStdString(); }
    void SetCaption(const std::string& text) override { caption = QString::fromStdString(text); }
};
