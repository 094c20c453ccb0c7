#include "TextView.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormControls.h"

TextView::TextView(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TextView"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    Text = new QPlainTextEdit(this);
    Text->setObjectName(QStringLiteral("TextViewText"));
    Text->setFont(FixedPitchFont(13));
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text->setTabChangesFocus(true);
    layout->addWidget(Text);
    Problem = new QLabel(this);
    Problem->setObjectName(QStringLiteral("TextViewProblem"));
    Problem->setTextFormat(Qt::PlainText);
    Problem->setWordWrap(true);
    layout->addWidget(Problem);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TextView::Accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Text, &QPlainTextEdit::textChanged, this, &TextView::Recheck);
    Text->installEventFilter(this);
    // Room for 25 lines of the listing and a little more.
    const QFontMetrics metrics(Text->font());
    resize(metrics.horizontalAdvance(QString(34, QLatin1Char('W'))) + 40,
           metrics.lineSpacing() * 27 + 100);
}

void TextView::Open(const QString& title, const QString& text, Check check, Apply apply) {
    setWindowTitle(title);
    check_ = std::move(check);
    apply_ = std::move(apply);
    Text->setPlainText(text);
    Recheck();
    open();
    Text->setFocus();
}

void TextView::Recheck() {
    const QString error = check_ ? check_(Text->toPlainText()) : QString();
    Problem->setText(error.isEmpty() ? tr("Tekst jest poprawny.") : error);
    QPalette palette = Problem->palette();
    palette.setColor(QPalette::WindowText, error.isEmpty() ? QColor(0, 0, 0) : QColor(192, 0, 0));
    Problem->setPalette(palette);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(error.isEmpty());
}

void TextView::Accept() {
    if (check_ && !check_(Text->toPlainText()).isEmpty())
        return;
    const QString text = Text->toPlainText();
    accept();
    if (apply_)
        apply_(text);
}

bool TextView::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Enter applies the text from the editor itself.
    if (watched == Text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            Accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
