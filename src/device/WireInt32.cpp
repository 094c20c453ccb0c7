#include "WireInt32.h"

void WireInt32::Write(std::int32_t value, std::uint8_t* out) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < Size; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t WireInt32::Read(const std::uint8_t* in) {
    std::uint32_t bits = 0;
    for (int i = Size - 1; i >= 0; --i) {
        bits = (bits << 8) | in[i];
    }
    // Two's complement: the conversion is defined modulo 2^32 since C++20.
    return static_cast<std::int32_t>(bits);
}
