// Report lengths from report descriptors and the text conversions of device
// strings: the parts of the link that take untrusted bytes from devices.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HidReportDescriptor.h"
#include "HidText.h"

namespace {

struct DescriptorCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool valid;
    bool numbered;
    std::uint16_t input;
    std::uint16_t output;
};

// Vendor page, one application collection with input and output of 64 bytes.
std::vector<std::uint8_t> Controller(bool withReportId) {
    // Appended byte by byte: GCC 12 warns falsely about inserting a list at -O2.
    std::vector<std::uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
    if (withReportId) {
        d.push_back(0x85);
        d.push_back(0x01);
    }
    for (const std::uint8_t byte : {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09,
                                    0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0}) {
        d.push_back(byte);
    }
    return d;
}

const std::vector<std::uint8_t> BootMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
    0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x05, 0x81, 0x03, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09,
    0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};

std::vector<DescriptorCase> DescriptorCases() {
    return {
        {"numbered 64-byte reports", Controller(true), true, true, 65, 65},
        {"unnumbered reports count the identifier byte too", Controller(false), true, false, 65,
         65},
        {"mouse without output reports", BootMouse, true, false, 5, 0},
        {"longest of several numbered reports",
         {0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0x85, 0x02, 0x95, 0x20, 0x81, 0x02, 0x95,
          0x04, 0x91, 0x02},
         true,
         true,
         33,
         5},
        {"reports split over several main items add up",
         {0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02},
         true,
         true,
         4,
         0},
        {"push and pop restore the globals",
         {0x75, 0x08, 0x95, 0x02, 0xA4, 0x95, 0x10, 0x81, 0x02, 0xB4, 0x91, 0x02},
         true,
         false,
         17,
         3},
        {"long item is skipped",
         {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
         true,
         false,
         2,
         0},
        {"truncated item", {0x75, 0x08, 0x95, 0x40, 0x26, 0xFF}, false, false, 0, 0},
        {"truncated long item", {0xFE, 0x05, 0x10, 0x01}, false, false, 0, 0},
        {"pop without push", {0xB4}, false, false, 0, 0},
        {"report identifier 0",
         {0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
         false,
         false,
         0,
         0},
        {"huge size and count stay bounded",
         {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02},
         true,
         false,
         0xFFFF,
         0},
        {"empty", {}, false, false, 0, 0},
    };
}

TEST(HidReportDescriptor, LengthsAsTheHidServiceCountsThem) {
    for (const auto& c : DescriptorCases()) {
        SCOPED_TRACE(c.name);
        const auto r = HidReportDescriptor::Parse(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(r.Valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(r.Numbered, c.numbered);
            EXPECT_EQ(r.Caps.InputReportByteLength, c.input);
            EXPECT_EQ(r.Caps.OutputReportByteLength, c.output);
        }
    }
}

TEST(HidReportDescriptor, EveryTruncationOfARealDescriptorIsSafe) {
    const auto full = Controller(true);
    for (std::size_t n = 0; n < full.size(); ++n) {
        std::vector<std::uint8_t> part(full.begin(), full.begin() + static_cast<long>(n));
        const auto r = HidReportDescriptor::Parse(part.data(), part.size());
        EXPECT_LE(r.Caps.InputReportByteLength, 65) << n;
    }
    EXPECT_EQ(HidReportDescriptor::Parse(nullptr, 10).Valid, false);
}

TEST(HidText, ConvertsAndReplacesInvalidSequences) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const std::vector<Case> roundTrips = {
        {"ascii", "KX-RD4", u"KX-RD4"},
        {"polish", "Połączony", u"Połączony"},
        {"surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"empty", "", u""},
    };
    for (const auto& c : roundTrips) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HidText::Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(HidText::Utf16ToUtf8(c.utf16), c.utf8);
    }
    const std::vector<Case> fromUtf8 = {
        {"stray byte",
         "A\xFF"
         "B",
         u"A\uFFFDB"},
        {"truncated at end", "KX\xC5", u"KX\uFFFD"},
        {"overlong", "\xC0\xAF", u"\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"broken continuation",
         "\xE2\x82"
         "A",
         u"\uFFFDA"},
    };
    for (const auto& c : fromUtf8) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HidText::Utf8ToUtf16(c.utf8), c.utf16);
    }
    const std::u16string lone = {u'K', char16_t(0xD800), u'X', char16_t(0xDC00)};
    EXPECT_EQ(HidText::Utf16ToUtf8(lone), "K\xEF\xBF\xBDX\xEF\xBF\xBD");
}

} // namespace
