#include "NumberField.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "FontFamilies.h"
#include "IntegerText.h"

NumberField::NumberField(const QString& objectName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(objectName);
    setMaxLength(MaxTypedLength);
    QFont f(FontFamilies::Proportional());
    f.setPixelSize(13);
    setFont(f);
    // A text shown by the program may be longer than 8 characters (a reply
    // with an 11-character value); once the operator edits it, the limit
    // shrinks with the text until it is 8 again.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        setMaxLength(std::max<int>(MaxTypedLength, static_cast<int>(text.size())));
    });
}

QColor NumberField::WarningColour() {
    return QColor(253, 124, 102);
}

void NumberField::ShowValue(std::int32_t value) {
    ShowText(QString::fromStdString(IntegerText::Format(value)));
    ClearWarning();
}

std::optional<std::int32_t> NumberField::TakeClamped(std::int32_t lower, std::int32_t upper) {
    const std::optional<std::int32_t> parsed = IntegerText::Parse(text().toStdString());
    if (!parsed) {
        MarkWarning();
        return std::nullopt;
    }
    const std::int32_t value = IntegerText::Clamp(*parsed, lower, upper);
    ShowText(QString::fromStdString(IntegerText::Format(value)));
    return value;
}

void NumberField::MarkWarning() {
    SetBackground(WarningColour());
}

void NumberField::ClearWarning() {
    SetBackground(QApplication::palette(this).color(QPalette::Base));
}

bool NumberField::IsWarned() const {
    return palette().color(QPalette::Base) == WarningColour();
}

void NumberField::ShowText(const QString& text) {
    const int limit = std::max<int>(MaxTypedLength, static_cast<int>(text.size()));
    if (limit > maxLength()) {
        setMaxLength(limit); // never cuts the current text
        setText(text);
    } else {
        setText(text);
        setMaxLength(limit);
    }
}

void NumberField::SetBackground(const QColor& colour) {
    QPalette p = palette();
    if (p.color(QPalette::Base) == colour) {
        return;
    }
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}
