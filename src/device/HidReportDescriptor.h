#pragma once
// Report lengths from a HID report descriptor, counted the way Windows gives
// InputReportByteLength and OutputReportByteLength: the longest report of that
// kind in bytes plus one identifier byte (also without numbered reports), or 0
// when the device has no report of that kind.

#include <cstddef>
#include <cstdint>

#include "HidBackend.h"

class HidReportDescriptor {
public:
    struct Result {
        bool Valid = false;    // the descriptor parsed to its end
        bool Numbered = false; // it declares report identifiers
        HidCaps Caps;
    };
    static Result Parse(const std::uint8_t* data, std::size_t size);
};
