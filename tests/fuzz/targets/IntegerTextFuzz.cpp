// Any bytes as the text of a write field: parsed, clamped and written back.
#include <charconv>
#include <string_view>

#include "FuzzTargets.h"
#include "IntegerText.h"

int FuzzIntegerText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> value = IntegerText::Parse(text);

    // A plain signed decimal parses exactly when it fits 32 bits.
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        digits.remove_prefix(1);
    }
    const bool plain =
        !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (plain) {
        std::int32_t expected = 0;
        const std::string_view signedText =
            text.front() == '+' ? text.substr(1) : text; // from_chars takes no "+"
        const auto [end, error] =
            std::from_chars(signedText.data(), signedText.data() + signedText.size(), expected);
        const bool fits = error == std::errc() && end == signedText.data() + signedText.size();
        FUZZ_CHECK(value.has_value() == fits);
        FUZZ_CHECK(!fits || *value == expected);
    }
    if (!value) {
        return 0;
    }
    // The decimal text of a parsed value parses to the same value.
    FUZZ_CHECK(IntegerText::Parse(IntegerText::Format(*value)) == value);
    const std::int32_t clamped = IntegerText::Clamp(*value, -29999, 29999);
    FUZZ_CHECK(clamped >= -29999 && clamped <= 29999);
    FUZZ_CHECK(clamped == *value || *value < -29999 || *value > 29999);
    return 0;
}
