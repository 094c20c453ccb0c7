#include "TravelLimits.h"

#include <sstream>

#include "IntegerText.h"

TravelLimits::Breach TravelLimits::Position(std::int64_t position) const {
    if (position < min) {
        return Breach::BelowMin;
    }
    if (position > max) {
        return Breach::AboveMax;
    }
    return Breach::None;
}

TravelLimits::Breach TravelLimits::Velocity(std::int64_t velocity) const {
    if (vmax && (velocity > *vmax || velocity < -static_cast<std::int64_t>(*vmax))) {
        return Breach::TooFast;
    }
    return Breach::None;
}

bool TravelLimits::LeavingAt(std::int64_t position, std::int64_t velocity) const {
    const Breach breach = Position(position);
    return (breach == Breach::AboveMax && velocity > 0) ||
           (breach == Breach::BelowMin && velocity < 0);
}

std::string TravelLimits::Range() const {
    return std::to_string(min) + ".." + std::to_string(max);
}

std::string TravelLimits::Text() const {
    std::string text = std::to_string(min) + " " + std::to_string(max);
    if (vmax) {
        text += " " + std::to_string(*vmax);
    }
    return text;
}

std::optional<TravelLimits> TravelLimits::Parse(const std::string& text) {
    std::istringstream in(text);
    std::string word;
    std::optional<std::int32_t> numbers[3];
    int count = 0;
    while (in >> word) {
        if (count == 3) {
            return std::nullopt;
        }
        numbers[count] = IntegerText::Parse(word);
        if (!numbers[count]) {
            return std::nullopt;
        }
        ++count;
    }
    if (count < 2 || *numbers[0] > *numbers[1] || (count == 3 && *numbers[2] <= 0)) {
        return std::nullopt;
    }
    TravelLimits limits;
    limits.min = *numbers[0];
    limits.max = *numbers[1];
    if (count == 3) {
        limits.vmax = numbers[2];
    }
    return limits;
}

std::string TravelLimits::KeyFor(const std::string& serial, const std::string& port) {
    if (!serial.empty()) {
        return "SN " + serial;
    }
    if (!port.empty()) {
        return "port " + port;
    }
    return {};
}
