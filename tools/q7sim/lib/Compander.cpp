#include "Compander.h"

namespace q7sim {

int Compander::linearFromCode(uint8_t code)
{
    if (code < 128)
        return code;
    if (code < 192)
        return 2 * code - 127;
    return 4 * code - 509;
}

uint8_t Compander::codeFromLinear(int linear)
{
    if (linear < 0)
        linear = 0;
    if (linear > 511)
        linear = 511;
    if (linear < 128)
        return static_cast<uint8_t>(linear);
    if (linear < 256)
        return static_cast<uint8_t>((linear + 128) / 2); // 128 and 129 -> 128 (129)
    const int code = (linear + 511) / 4;                 // 256 -> 191 (255), 259 -> 192
    return static_cast<uint8_t>(code < 191 ? 191 : code);
}

} // namespace q7sim
