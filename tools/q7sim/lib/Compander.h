#pragma once

#include <cstdint>

namespace q7sim {

// The sensor's 8-bit transfer code: a 9-bit linear value (0..511) squeezed
// into one byte, exact below 128, every second value up to 255 and every
// fourth value up to 511.
class Compander
{
public:
    // The linear value a code stands for.
    static int linearFromCode(uint8_t code);
    // The code whose linear value is nearest; codeFromLinear(linearFromCode(k))
    // is k for every code k. Values outside 0..511 are clamped first.
    static uint8_t codeFromLinear(int linear);
};

} // namespace q7sim
