#include "UiLanguage.h"

namespace {
Language current = Language::Polish;
} // namespace

Language UiLanguage::Current() {
    return current;
}

void UiLanguage::SetCurrent(Language language) {
    current = language;
}

QString UiLanguage::Code(Language language) {
    return QString::fromStdString(LanguageChoice::SettingValue(language));
}
