#pragma once
// Finds texts left in Polish: in a widget tree (window titles, labels, buttons,
// group box titles, tab texts, list and combo box items, tool tips, actions)
// or in single texts. Polish is told by its letters (ą, ć, ę, ł, ń, ó, ś, ź, ż)
// or by common Polish words written without them.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <string>

inline bool LooksPolish(const QString& text) {
    static const QRegularExpression letters(QStringLiteral("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]"));
    static const QSet<QString> words{
        "nie",        "tak",        "jest",       "czy",           "lub",          "dla",
        "przy",       "oraz",       "plik",       "pliku",         "linia",        "linii",
        "anuluj",     "zapisz",     "nowy",       "stan",          "typ",          "funkcja",
        "parametr",   "wejscie",    "wyjscie",    "sterownik",     "sterownika",   "program",
        "programu",   "uruchom",    "zatrzymaj",  "kopiuj",        "odczytaj",     "czysc",
        "generuj",    "opcje",      "sterowanie", "programowanie", "pomoc",        "edycja",
        "symulacja",  "koniec",     "brak",       "nadaj",         "konfiguracja", "zostal",
        "juz",        "istnieje",   "wy",         "symulator",     "jezyk",        "polaczony",
        "rozlaczony", "zgodne",     "bledy",      "czeka",         "na",           "od",
        "po",         "ze",         "jako",       "operacje",      "plikach",      "automatycznie",
        "wczytaj",    "ostatni",    "starcie",    "kopia",         "granice",      "ruchu",
        "przerwij",   "instrukcja", "pozycja",    "zadana",        "definiowana",  "definiowany",
        "czas",       "filtracji",  "adres",      "linie",         "odczyt",       "zapis",
        "tekst",      "tekstu",     "wybierz",    "otworz",        "cofnij"};
    if (letters.match(text).hasMatch())
        return true;
    static const QRegularExpression separators(QStringLiteral("[^A-Za-z]+"));
    for (const QString& word : text.toLower().split(separators, Qt::SkipEmptyParts)) {
        // "program" is English too: only when another Polish word is with it.
        if (word != QLatin1String("program") && words.contains(word))
            return true;
    }
    return false;
}

// "objectName: text" of every text in the tree of root that looks Polish;
// widgets named in skip (and what lies in them) are left out, and so are the
// widgets' actions unless withActions.
inline QStringList PolishTextsIn(QWidget* root, const QSet<QString>& skip = {},
                                 bool withActions = true) {
    QStringList found;
    auto check = [&found](const QObject* owner, const QString& text) {
        if (LooksPolish(text))
            found << owner->objectName() + QStringLiteral(": ") + text;
    };
    std::function<void(QWidget*)> walk = [&](QWidget* widget) {
        if (skip.contains(widget->objectName()))
            return;
        if (widget->isWindow())
            check(widget, widget->windowTitle());
        check(widget, widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget))
            check(widget, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            check(widget, button->text());
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            check(widget, box->title());
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                check(widget, combo->itemText(i));
        }
        if (auto* list = qobject_cast<QListWidget*>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                check(widget, list->item(i)->text());
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(widget, tabs->tabText(i));
        }
        for (QAction* action : withActions ? widget->actions() : QList<QAction*>()) {
            check(action, action->text());
            check(action, action->toolTip());
        }
        for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            walk(child);
    };
    walk(root);
    return found;
}

// Those of texts that look Polish.
inline QStringList PolishAmong(const QStringList& texts) {
    QStringList polish;
    for (const QString& text : texts) {
        if (LooksPolish(text))
            polish << text;
    }
    return polish;
}

// Texts one a line, for a test's failure message.
inline std::string Joined(const QStringList& texts) {
    return texts.join(QLatin1Char('\n')).toStdString();
}
