#pragma once
// "Instrukcja obsługi" (F1, menu "Pomoc"): the operator's manual, Markdown
// pages embedded in the program (docs/manual/<pl|en>/), in a window of its own
// in the window's language (UiLanguage). One window for the whole run: a later
// call shows the page asked for in it.

#include <QString>
#include <QWidget>

#include "LanguageChoice.h"

class QAction;
class QMenu;
class QTextBrowser;

class ManualView : public QWidget {
    Q_OBJECT

public:
    // The page of the manual, e.g. "index.md" or "commands/X_DST.md". The
    // window belongs to owner's window (closed with it) and never keeps the
    // tool running on its own.
    static ManualView* Show(const QString& page = QStringLiteral("index.md"),
                            QWidget* owner = nullptr);
    // "Instrukcja obsługi" (F1) at the end of the menu, opening the contents.
    static QAction* AddTo(QMenu* menu);
    // The page that describes command code 0..25 ("commands/X_DF+.md";
    // "commands/empty.md" for the empty line).
    static QString CommandPage(int code);
    // The resource folder of the pages in this language (":/manual/en").
    static QString Folder(Language language);

    // The page shown, relative to the language's folder.
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    explicit ManualView(QWidget* owner);
    void Open(const QString& page);

    QTextBrowser* browser_ = nullptr;
};
