#pragma once
// The travel of one machine, the tool's own guard (the KX-RD4 knows no
// limits): the lowest and highest position the axis may be sent to and, when
// set, the highest velocity (either sign). Kept by the PC per controller
// serial number; the controller itself never holds them. A target, a jog or a
// velocity beyond them is refused before anything is sent, and a position
// seen beyond them while the axis moves stops it.

#include <cstdint>
#include <optional>
#include <string>

class TravelLimits {
public:
    enum class Breach { None, BelowMin, AboveMax, TooFast };

    std::int32_t min = 0;
    std::int32_t max = 0;
    std::optional<std::int32_t> vmax; // above 0 when set

    // The position (or target) against min and max.
    Breach Position(std::int64_t position) const;
    // The velocity's magnitude against vmax (None when vmax is not set).
    Breach Velocity(std::int64_t velocity) const;
    // A jog of the target by step (signed) from from: where it ends.
    Breach Jog(std::int64_t from, std::int64_t step) const { return Position(from + step); }
    // The axis beyond the limits and moving further out (the stop is due); an
    // axis beyond them that stands or moves back towards the travel is not.
    bool LeavingAt(std::int64_t position, std::int64_t velocity) const;
    // "0..50000"
    std::string Range() const;

    // "min max" or "min max vmax": the text kept in the settings.
    std::string Text() const;
    // The same read back; nothing for any other text, min above max or a
    // vmax of 0 or less.
    static std::optional<TravelLimits> Parse(const std::string& text);

    // The key of a controller's limits in the settings: "SN <serial>", or
    // "port <port>" without a serial number; empty without either.
    static std::string KeyFor(const std::string& serial, const std::string& port);
    static constexpr const char* Section = "TravelLimits";

    bool operator==(const TravelLimits&) const = default;
};
