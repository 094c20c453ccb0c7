#pragma once
// The program check in the window: "Sprawdź program" (F7) checks the program
// shown, lists the findings in the log and marks the lines on the listing
// (pale red errors, pale yellow warnings, the texts as tool tips). From then
// on the marks follow every change and every program shown. Sending and
// running ask first when the program has errors.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "ProgramCheck.h"

class EditorHost;
class EditorPage;
class QAction;
class QMenu;

class ProgramCheckView : public QObject {
    Q_OBJECT

public:
    using Log = std::function<void(const QString&)>;

    ProgramCheckView(EditorPage& editor, EditorHost& host, Log log, QObject* parent = nullptr);

    // Adds "Sprawdź program" at the end of the menu (after a separator).
    void AddTo(QMenu* menu);

    // F7: checks the program shown, logs the findings, marks the lines.
    void CheckShownProgram();

    // Before "Wyślij program" / "Uruchom program" on a program: checks it,
    // marks it, and when it has errors asks whether to go on. True to go on.
    bool ConfirmSend(int program);
    bool ConfirmRun(int program);

    // The findings of the last check.
    const std::vector<ProgramCheck::Finding>& Findings() const { return findings_; }

    QAction* CheckProgram1 = nullptr;

private:
    bool Confirm(int program, const QString& title, const QString& question);
    void Check(int program, bool log);
    void Mark();

    EditorPage& editor_;
    EditorHost& host_;
    Log log_;
    bool marking_ = false;
    int checkedProgram_ = -1;
    std::vector<ProgramCheck::Finding> findings_;
};
