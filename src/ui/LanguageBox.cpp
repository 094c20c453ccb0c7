#include "LanguageBox.h"

#include <QComboBox>

#include "SettingsFile.h"
#include "UiLanguage.h"

LanguageBox::LanguageBox(QWidget* page, Hooks hooks)
    : QGroupBox(tr("Język"), page), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("LanguageBox"));
    setGeometry(400, 3, 126, 62);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("LanguageChoice"));
    // Each language by its own name, in every language.
    choice_->addItem(QStringLiteral("Polski"), QStringLiteral("pl"));
    choice_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    choice_->setCurrentIndex(UiLanguage::Current() == Language::English ? 1 : 0);
    choice_->setGeometry(13, 22, 110, 22);
    choice_->setToolTip(tr("Język okna; zmiana obowiązuje od następnego uruchomienia programu"));
    connect(choice_, &QComboBox::activated, this, &LanguageBox::Chosen);
}

void LanguageBox::Chosen(int index) {
    const QString value = choice_->itemData(index).toString();
    SettingsFile(hooks_.settingsPath().toStdString()).WriteLanguage(value.toStdString());
    if (hooks_.status)
        hooks_.status(value == UiLanguage::Code(UiLanguage::Current())
                          ? tr("Język zapisany")
                          : tr("Język zostanie zmieniony po ponownym uruchomieniu programu"));
}
