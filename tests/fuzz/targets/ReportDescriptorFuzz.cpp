// Any bytes as a HID report descriptor.
#include "FuzzTargets.h"
#include "HidReportDescriptor.h"

int FuzzReportDescriptor(const std::uint8_t* data, std::size_t size) {
    const HidReportDescriptor::Result result = HidReportDescriptor::Parse(data, size);
    if (!result.Valid) {
        FUZZ_CHECK(result.Caps.InputReportByteLength == 0);
        FUZZ_CHECK(result.Caps.OutputReportByteLength == 0);
    }
    // The same bytes give the same lengths.
    const HidReportDescriptor::Result again = HidReportDescriptor::Parse(data, size);
    FUZZ_CHECK(again.Valid == result.Valid && again.Numbered == result.Numbered);
    FUZZ_CHECK(again.Caps.InputReportByteLength == result.Caps.InputReportByteLength);
    FUZZ_CHECK(again.Caps.OutputReportByteLength == result.Caps.OutputReportByteLength);
    return 0;
}
