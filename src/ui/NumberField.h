#pragma once
// A numeric edit field of the "Sterowanie" and "Opcje" pages: at most 8 typed
// characters, Tahoma 10 point, and the warning background that marks a text
// which is not a whole number.

#include <QColor>
#include <QLineEdit>
#include <cstdint>
#include <optional>

class NumberField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int MaxTypedLength = 8;

    NumberField(const QString& objectName, QWidget* parent);

    // Red 253, green 124, blue 102.
    static QColor WarningColour();

    // The value of a controller reply: signed decimal text, window colour.
    // The whole number is shown even where it is longer than 8 characters.
    void ShowValue(std::int32_t value);

    // The write steps: parse the text; on failure mark the field with the
    // warning colour and return nullopt (the text stays as typed); otherwise
    // clamp it to upper, then lower, write the clamped value back as decimal
    // text and return it.
    std::optional<std::int32_t> TakeClamped(std::int32_t lower, std::int32_t upper);

    void MarkWarning();
    // Back to the system window colour.
    void ClearWarning();
    bool IsWarned() const;

    // Shows text in full, lifting the length limit for it; typing shrinks the
    // limit back towards 8 characters.
    void ShowText(const QString& text);

private:
    void SetBackground(const QColor& colour);
};
