#pragma once

namespace q7sim {

// Colour-filter layout of the sensor, named by its top-left 2x2 pixels; the
// numbers are those the camera reports as camera/cfa and adjust/cfa.
enum class Cfa { Mono = 0, RGGB = 1, GBRG = 2, BGGR = 3, GRBG = 4 };

// Which colour a sensor site sees: 0 red, 1 green, 2 blue. Monochrome sites
// count as green, the channel the program uses for grey frames.
inline int cfaChannelAt(Cfa cfa, int x, int y)
{
    const int site = (y & 1) * 2 + (x & 1); // 0 1 / 2 3 within the 2x2 tile
    static const int layouts[5][4] = {
        {1, 1, 1, 1}, // Mono
        {0, 1, 1, 2}, // RGGB
        {1, 2, 0, 1}, // GBRG
        {2, 1, 1, 0}, // BGGR
        {1, 0, 2, 1}, // GRBG
    };
    const int index = static_cast<int>(cfa);
    return layouts[index >= 0 && index <= 4 ? index : 0][site];
}

inline bool isValidCfa(int code)
{
    return code >= 0 && code <= 4;
}

} // namespace q7sim
