#pragma once
// The language the window shows, decided once at start-up (ToolLanguage::Decide,
// the rule the command-line tool's report shares: the operator's choice in
// config.ini, else the system's user-interface language) and loaded by
// KxApplication::LoadTranslations. Parts that pick between texts of their own
// (the manual, the check's findings carried by the model in both languages)
// ask Current().

#include <QString>

#include "LanguageChoice.h"

class UiLanguage {
public:
    // The language in use (Polish until KxApplication::LoadTranslations).
    static Language Current();
    static void SetCurrent(Language language);
    // "pl" or "en": the manual's folder, the settings value.
    static QString Code(Language language);
};
