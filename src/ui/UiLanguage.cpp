#include "UiLanguage.h"

#include "ToolLanguage.h"

namespace {
Language current = Language::Polish;
} // namespace

Language UiLanguage::Decide(const QString& settingsPath) {
    return ToolLanguage::Decide(settingsPath);
}

QString UiLanguage::SystemLanguage() {
    return ToolLanguage::SystemLanguage();
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
