#include "UiLanguage.h"

#include <QLocale>
#include <QStringList>

#include "SettingsFile.h"

namespace {
Language current = Language::Polish;
} // namespace

Language UiLanguage::Decide(const QString& settingsPath) {
    const SettingsFile settings(settingsPath.toStdString());
    return LanguageChoice::Choose(settings.ReadLanguage(), SystemLanguage().toStdString());
}

QString UiLanguage::SystemLanguage() {
    const QLocale system = QLocale::system();
    // The C locale names no language: Qt reports it as "C" (or as American
    // English in its UI languages), which counts as none.
    if (system.language() == QLocale::C)
        return QStringLiteral("C");
    const QStringList languages = system.uiLanguages();
    return languages.isEmpty() ? system.name() : languages.first();
}

Language UiLanguage::Current() {
    return current;
}

void UiLanguage::SetCurrent(Language language) {
    current = language;
}

QString UiLanguage::Code(Language language) {
    return QString::fromStdString(LanguageChoice::SettingValue(language));
}
