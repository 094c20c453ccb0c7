#pragma once
// The language of the tool's texts, shared by the window and the command-line
// tool's report: the choice kept in config.ini (Language= under [Options]),
// else the system's user-interface language (LanguageChoice: English when it is
// set and is not Polish, Polish otherwise, also for the C and POSIX locales).
// Install puts the tool's English translation (kxrd4-pc_en.qm, embedded in
// this library under :/i18n) into the running application, so every tr() of
// the window and of the report follows it.

#include <QString>

#include "LanguageChoice.h"

class ToolLanguage {
public:
    // The language for the settings file at settingsPath and this system.
    static Language Decide(const QString& settingsPath);
    // The system's first user-interface language ("en-US", "pl-PL", "C").
    static QString SystemLanguage();
    // English: the tool's English texts from now on; Polish: its source texts
    // again. Needs a QCoreApplication. False when the English translation
    // could not be loaded (the texts then stay Polish).
    static bool Install(Language language);
};
