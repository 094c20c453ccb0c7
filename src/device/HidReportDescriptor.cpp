#include "HidReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {
struct Globals {
    std::uint64_t reportSize = 0;
    std::uint64_t reportCount = 0;
    std::uint32_t reportId = 0;
};

// Bits per report identifier, per kind.
struct Totals {
    std::map<std::uint32_t, std::uint64_t> input;
    std::map<std::uint32_t, std::uint64_t> output;
};

std::uint16_t LengthOf(const std::map<std::uint32_t, std::uint64_t>& reports) {
    std::uint64_t longest = 0;
    bool any = false;
    for (const auto& [id, bits] : reports) {
        (void)id;
        any = true;
        longest = std::max(longest, (bits + 7) / 8);
    }
    if (!any) {
        return 0;
    }
    // The identifier byte is counted for every device.
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(longest + 1, 0xFFFF));
}
} // namespace

HidReportDescriptor::Result HidReportDescriptor::Parse(const std::uint8_t* data, std::size_t size) {
    Result result;
    if (data == nullptr || size == 0) {
        return result;
    }
    Globals globals;
    std::vector<Globals> stack;
    Totals totals;
    constexpr std::uint64_t BitLimit = 8ull * 0x10000; // beyond any real report
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t prefix = data[i];
        if (prefix == 0xFE) {
            // Long item: size in the next byte, skipped as a whole.
            if (i + 2 >= size) {
                return result;
            }
            const std::size_t longSize = data[i + 1];
            if (i + 3 + longSize > size) {
                return result;
            }
            i += 3 + longSize;
            continue;
        }
        const std::size_t dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (i + 1 + dataSize > size) {
            return result; // truncated item
        }
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < dataSize; ++k) {
            value |= static_cast<std::uint32_t>(data[i + 1 + k]) << (8 * k);
        }
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == 0) { // main
            const std::uint64_t bits = std::min(globals.reportSize * globals.reportCount, BitLimit);
            if (tag == 0x8) {
                auto& total = totals.input[globals.reportId];
                total = std::min(total + bits, BitLimit);
            } else if (tag == 0x9) {
                auto& total = totals.output[globals.reportId];
                total = std::min(total + bits, BitLimit);
            }
        } else if (type == 1) { // global
            switch (tag) {
            case 0x7:
                globals.reportSize = value;
                break;
            case 0x8:
                if (value == 0 || value > 255) {
                    return result; // identifiers are 1 to 255
                }
                globals.reportId = value;
                result.Numbered = true;
                break;
            case 0x9:
                globals.reportCount = value;
                break;
            case 0xA:
                if (stack.size() >= 64) {
                    return result;
                }
                stack.push_back(globals);
                break;
            case 0xB:
                if (stack.empty()) {
                    return result;
                }
                globals = stack.back();
                stack.pop_back();
                break;
            default:
                break;
            }
        }
        i += 1 + dataSize;
    }
    result.Valid = true;
    result.Caps.InputReportByteLength = LengthOf(totals.input);
    result.Caps.OutputReportByteLength = LengthOf(totals.output);
    return result;
}
