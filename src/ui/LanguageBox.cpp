#include "LanguageBox.h"

#include <QComboBox>

#include "SettingsFile.h"
#include "UiLanguage.h"

LanguageBox::LanguageBox(QWidget* page, Hooks hooks)
    : QGroupBox(tr("Język"), page), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("LanguageBox"));
    // Beside "Operacje na plikach", over the free right end of that box.
    setGeometry(409, 3, 117, 62);
    setAutoFillBackground(true);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("LanguageChoice"));
    // Each language by its own name, in every language.
    choice_->addItem(QStringLiteral("Polski"), QStringLiteral("pl"));
    choice_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    choice_->setCurrentIndex(UiLanguage::Current() == Language::English ? 1 : 0);
    choice_->setGeometry(10, 22, 97, 22);
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
