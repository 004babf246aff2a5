// libFuzzer's entry point for one target; the build names the target's
// function in VORN_FUZZ_ENTRY.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return VORN_FUZZ_ENTRY(data, size);
}
