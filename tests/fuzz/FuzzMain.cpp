// libFuzzer entry of one target, chosen at compile time (KX_FUZZ_FUNCTION).
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return KX_FUZZ_FUNCTION(data, size);
}
