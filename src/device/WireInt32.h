#pragma once
// A 32-bit two's-complement number on the wire: four bytes, least significant
// first.

#include <cstdint>

class WireInt32 {
public:
    static constexpr int Size = 4;

    // Writes value into out[0..3].
    static void Write(std::int32_t value, std::uint8_t* out);
    // Reads the number held in in[0..3].
    static std::int32_t Read(const std::uint8_t* in);
};
