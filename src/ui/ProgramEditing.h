#pragma once
// The editing commands of the program editor beyond the form's own: undo and
// redo of every change to the program set, the lines on the system clipboard
// as text, inserting and deleting lines with their jumps renumbered, the text
// view, and choosing a program with Ctrl+digit. They make the menu "Edycja"
// and the context menu of the lines; their shortcuts work while the focus is
// on the page "Programowanie".

#include <QObject>
#include <QString>
#include <array>
#include <memory>

#include "ProgramHistory.h"

class EditorHost;
class EditorPage;
class QAction;
class QMenu;
class QMenuBar;
class TextView;

class ProgramEditing : public QObject {
    Q_OBJECT

public:
    ProgramEditing(EditorPage& editor, EditorHost& host, QWidget* window);
    ~ProgramEditing() override;

    ProgramHistory& History() { return *history_; }

    // Puts the menu "Edycja" into the menu bar before the given menu.
    void AddMenu(QMenuBar* bar, QAction* before);

    // The commands (menu, shortcuts, context menu).
    void Undo();
    void Redo();
    void CopyLines();   // Ctrl+C: the selected lines
    void CopyProgram(); // Ctrl+Shift+C: the whole program
    void CutLines();    // Ctrl+X
    void PasteLines();  // Ctrl+V: inserted at the selected line
    void InsertLine();  // Ins
    void DeleteLines(); // Ctrl+Del: the selected lines
    void EditAsText();  // Ctrl+T

    QMenu* Edycja = nullptr;
    QAction* Cofnij = nullptr;
    QAction* Ponow = nullptr;
    QAction* Wytnij = nullptr;
    QAction* KopiujLinie = nullptr;
    QAction* KopiujProgram = nullptr;
    QAction* Wklej = nullptr;
    QAction* WstawLinie = nullptr;
    QAction* UsunLinie = nullptr;
    QAction* EdytujTekst = nullptr;
    // The text view, made when first opened (its buttons' style icons would
    // delay the window's first frame).
    TextView* Text = nullptr;

private:
    QAction* MakeAction(const char* name, const QString& caption,
                        const QList<QKeySequence>& shortcuts, void (ProgramEditing::*handler)());
    void UpdateUndoActions();
    void ShowLineMenu(const QPoint& globalPosition);
    void Warn(const QString& title, const QString& text);
    // Deletes the selected lines after asking (question: %1 the lines, %2
    // the lines that jump into them, %3 the lines as removed) when other
    // lines jump into them; returns false when the operator said no.
    bool RemoveSelected(const QString& title, const QString& question);
    QString TextError(const QString& text) const;
    void ApplyText(int program, const QString& text);

    EditorPage& editor_;
    EditorHost& host_;
    QWidget* window_;
    std::unique_ptr<ProgramHistory> history_;
    std::unique_ptr<QMenu> lineMenu_;
};
