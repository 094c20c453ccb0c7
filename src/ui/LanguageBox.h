#pragma once
// The box "Język" on "Opcje": the window's language, "Polski" or "English".
// It shows the language in use; choosing one writes Language=pl|en under
// [Options] in config.ini (nothing is written until the operator chooses) and
// says in the status bar that the window changes at the next start.

#include <QGroupBox>
#include <QString>
#include <functional>

class QComboBox;

class LanguageBox : public QGroupBox {
    Q_OBJECT

public:
    struct Hooks {
        std::function<QString()> settingsPath; // config.ini in use
        std::function<void(const QString&)> status;
    };

    LanguageBox(QWidget* page, Hooks hooks);

    QComboBox* Choice() const { return choice_; }

private:
    void Chosen(int index);

    Hooks hooks_;
    QComboBox* choice_ = nullptr;
};
