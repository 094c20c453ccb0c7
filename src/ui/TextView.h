#pragma once
// The text view of a program ("Edytuj jako tekst…"): the program as plain
// text in a monospace editor, edited freely. Every change is checked at once;
// the first error is shown with its line number and "OK" stays greyed until
// the text is valid. "OK" (or Ctrl+Enter) hands the text over, "Anuluj" drops
// it. Window-modal
// while open.

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

class TextView : public QDialog {
    Q_OBJECT

public:
    // The error of a text, empty when it is valid.
    using Check = std::function<QString(const QString& text)>;
    using Apply = std::function<void(const QString& text)>;

    explicit TextView(QWidget* parent = nullptr);

    // Shows the dialog with the text; apply runs on "OK" with the edited text.
    void Open(const QString& title, const QString& text, Check check, Apply apply);

    QPlainTextEdit* Text = nullptr;
    QLabel* Problem = nullptr;
    QDialogButtonBox* Buttons = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Recheck();
    void Accept();

    Check check_;
    Apply apply_;
};
