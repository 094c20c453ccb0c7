// Any bytes as the text of a write field: parsed, clamped and written back.
#include <QString>

#include "FuzzTargets.h"
#include "IntegerText.h"

int FuzzIntegerText(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<std::int32_t> value = IntegerText::Parse(text);
    if (!value) {
        return 0;
    }
    // The decimal text of a parsed value parses to the same value.
    const QString formatted = IntegerText::Format(*value);
    FUZZ_CHECK(IntegerText::Parse(formatted) == value);
    // A plain signed decimal must agree with Qt's own conversion.
    bool plain = !text.isEmpty();
    for (const QChar c : text) {
        plain = plain && ((c >= '0' && c <= '9') || c == '+' || c == '-');
    }
    bool ok = false;
    const int qtValue = text.toInt(&ok, 10);
    if (plain) {
        FUZZ_CHECK(ok && qtValue == *value);
    }
    const std::int32_t clamped = IntegerText::Clamp(*value, -29999, 29999);
    FUZZ_CHECK(clamped >= -29999 && clamped <= 29999);
    FUZZ_CHECK(clamped == *value || *value < -29999 || *value > 29999);
    return 0;
}
