// Any bytes as a program listing for the command-line tool's build: an error,
// or a set whose raw listing builds the very same 2000 bytes again. Byte 0
// chooses whether numbers out of range are clamped.
#include <algorithm>
#include <string_view>

#include "FuzzTargets.h"
#include "ProgramListing.h"

int FuzzListing(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool clamp = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    ProgramSet set;
    ProgramListing::Error error;
    if (!ProgramListing::Parse(text, clamp, set, error)) {
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(error.lineNumber >= 1);
        return 0;
    }
    const std::string raw = ProgramListing::Write(set, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, true);
    ProgramSet again;
    ProgramListing::Error againError;
    FUZZ_CHECK(ProgramListing::Parse(raw, false, again, againError));
    FUZZ_CHECK(std::equal(set.Data(), set.Data() + ProgramSet::Size(), again.Data()));
    return 0;
}
