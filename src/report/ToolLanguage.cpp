#include "ToolLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include "SettingsFile.h"

namespace {

// Kept to the end of the process; removes itself from the application it
// was installed in when that goes first.
QTranslator& Translator() {
    static QTranslator translator;
    return translator;
}

} // namespace

Language ToolLanguage::Decide(const QString& settingsPath) {
    const SettingsFile settings(settingsPath.toStdString());
    return LanguageChoice::Choose(settings.ReadLanguage(), SystemLanguage().toStdString());
}

QString ToolLanguage::SystemLanguage() {
    const QLocale system = QLocale::system();
    // The C locale names no language: Qt reports it as "C" (or as American
    // English in its UI languages), which counts as none.
    if (system.language() == QLocale::C)
        return QStringLiteral("C");
    const QStringList languages = system.uiLanguages();
    return languages.isEmpty() ? system.name() : languages.first();
}

bool ToolLanguage::Install(Language language) {
    QTranslator& translator = Translator();
    QCoreApplication::removeTranslator(&translator);
    if (language == Language::Polish)
        return true;
    return translator.load(QStringLiteral(":/i18n/kxrd4-pc_en.qm")) &&
           QCoreApplication::installTranslator(&translator);
}
