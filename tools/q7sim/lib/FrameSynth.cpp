#include "FrameSynth.h"

#include <thread>

#include "Compander.h"

#include <QCryptographicHash>
#include <cmath>

namespace q7sim {

namespace {

int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int64_t floorMod(int64_t a, int64_t b)
{
    return a - floorDiv(a, b) * b;
}

// One number per (seed, camera, take) that places the scene's objects, so
// that every take of every camera looks a little different.
uint64_t takeHash(const FrameParams& params)
{
    const QByteArray serialHash =
        QCryptographicHash::hash(params.serial.toUtf8(), QCryptographicHash::Sha1).left(8);
    uint64_t serialBits = 0;
    for (char c : serialHash)
        serialBits = (serialBits << 8) | static_cast<uint8_t>(c);
    return FrameSynth::mix(params.seed ^
                           FrameSynth::mix(serialBits ^ (static_cast<uint64_t>(params.take) << 40)));
}

void putWord(QByteArray& block, int offset, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        block[offset + i] = static_cast<char>((word >> (8 * i)) & 0xFF);
}

// Where the moving objects are in one frame; fixed for all its pixels.
struct SceneLayout
{
    int width, height;
    int barX, barWidth;
    int discX, discY, discRadius;
    int checkerSize;
    int lightQ8; // light reaching the sensor, in 1/256 of the scene's reference
    uint64_t noiseKey;
};

int triangle(int64_t t, int64_t span)
{
    if (span <= 0)
        return 0;
    const int64_t p = floorMod(t, 2 * span);
    return static_cast<int>(p < span ? p : 2 * span - p);
}

SceneLayout layoutFor(const FrameParams& params, int64_t frame)
{
    const uint64_t h = takeHash(params);
    SceneLayout s;
    s.width = params.width;
    s.height = params.height;
    s.barWidth = params.width / 10 + 1;
    s.barX =
        static_cast<int>(floorMod(static_cast<int64_t>(h % 997) + frame * 7, params.width + s.barWidth)) -
        s.barWidth;
    s.discRadius = params.height / 6 + 1;
    const int spanX = params.width - 2 * s.discRadius;
    const int spanY = params.height - 2 * s.discRadius;
    s.discX = s.discRadius + triangle(static_cast<int64_t>((h >> 12) % 613) + frame * 5, spanX);
    s.discY = s.discRadius + triangle(static_cast<int64_t>((h >> 24) % 409) + frame * 3, spanY);
    s.checkerSize = 16;
    s.lightQ8 = static_cast<int>(std::lround(256.0 * FrameSynth::exposureFactor(params)));
    s.noiseKey = FrameSynth::mix(h ^ static_cast<uint64_t>(frame));
    return s;
}

int channelValue(const SceneLayout& s, int x, int y, int channel)
{
    // Background: a gradient in a different direction per channel.
    int r = 30 + x * 180 / s.width;
    int g = 40 + (x + y) * 140 / (s.width + s.height);
    int b = 60 + y * 200 / s.height;
    if (x < s.width / 4 && y < s.height / 4 && ((x / s.checkerSize + y / s.checkerSize) & 1)) {
        r = g = b = 470;
    } else if (x >= s.barX && x < s.barX + s.barWidth) {
        r = 430, g = 390, b = 200;
    } else {
        const int64_t dx = x - s.discX, dy = y - s.discY;
        if (dx * dx + dy * dy <= static_cast<int64_t>(s.discRadius) * s.discRadius)
            r = 120, g = 300, b = 480;
    }
    const int noise =
        static_cast<int>(
            FrameSynth::mix(s.noiseKey ^ (static_cast<uint64_t>(y) << 32 | static_cast<uint32_t>(x))) & 7) -
        3;
    int value;
    switch (channel) {
    case 0:
        value = r;
        break;
    case 1:
        value = g;
        break;
    case 2:
        value = b;
        break;
    default:
        value = (3 * r + 6 * g + b) / 10;
        break;
    }
    value = static_cast<int>((static_cast<int64_t>(value) * s.lightQ8) >> 8) + noise;
    return value < 0 ? 0 : (value > 511 ? 511 : value);
}

} // namespace

double FrameSynth::exposureFactor(const FrameParams& params)
{
    if (params.shutterClosed)
        return 0.0;
    // The scene is lit for 500 us at f/5.6; light grows with the exposure and
    // falls with the square of the f-number.
    const double exposureUs =
        params.clkFreq ? static_cast<double>(params.expClks) * 1e6 / static_cast<double>(params.clkFreq)
                       : 500.0;
    const double fstop = params.fstop > 0.0 ? params.fstop : 5.6;
    const double factor = (exposureUs / 500.0) * (5.6 / fstop) * (5.6 / fstop);
    return factor < 0.02 ? 0.02 : (factor > 40.0 ? 40.0 : factor);
}

uint64_t FrameSynth::mix(uint64_t z)
{
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int FrameSynth::sceneLinear(const FrameParams& params, int64_t frame, int x, int y, int channel)
{
    return channelValue(layoutFor(params, frame), x, y, channel);
}

QByteArray FrameSynth::image(const FrameParams& params, int64_t frame)
{
    QByteArray bytes(params.imageSize(), Qt::Uninitialized);
    if (params.width <= 0 || params.height <= 0)
        return bytes;
    const SceneLayout layout = layoutFor(params, frame);
    char* out = bytes.data();
    const auto rows = [&](int from, int to) {
        char* p = out + static_cast<qsizetype>(from) * params.width;
        for (int y = from; y < to; ++y) {
            for (int x = 0; x < params.width; ++x) {
                const int channel = params.cfa == Cfa::Mono ? -1 : cfaChannelAt(params.cfa, x, y);
                *p++ = static_cast<char>(Compander::codeFromLinear(channelValue(layout, x, y, channel)));
            }
        }
    };
    // Every pixel depends on its position alone: large frames are made in two
    // halves at once, as a camera reads its memory faster than it could paint.
    if (params.imageSize() >= (1 << 18)) {
        const int half = params.height / 2;
        std::thread upper(rows, 0, half);
        rows(half, params.height);
        upper.join();
    } else {
        rows(0, params.height);
    }
    return bytes;
}

int64_t FrameSynth::frameTimeNs(const FrameParams& params, int64_t frame)
{
    if (params.clkFreq == 0)
        return params.frame0Ns;
    // frame x clocks x 1e9 overflows 64 bits for long takes; 128 bits do not.
    const __int128 offset = static_cast<__int128>(frame) * params.frClks * 1000000000LL;
    __int128 q = offset / params.clkFreq;
    if (offset % params.clkFreq != 0 && offset < 0)
        --q;
    return params.frame0Ns + static_cast<int64_t>(q);
}

bool FrameSynth::timeCodeLocked(const FrameParams& params, int64_t frame)
{
    if (params.fsyncMode == 2)
        return true;
    // The time code source drops out for a while every few hundred frames.
    return floorMod(floorDiv(frame, 64) + static_cast<int64_t>(takeHash(params) % 5), 5) != 0;
}

bool FrameSynth::event1(const FrameParams& params, int64_t frame)
{
    return floorMod(frame + static_cast<int64_t>((takeHash(params) >> 8) % 50), 50) < 10;
}

bool FrameSynth::event2(const FrameParams&, int64_t frame)
{
    return frame >= 0 && floorMod(frame, 30) < 15;
}

QByteArray FrameSynth::metadata(const FrameParams& params, int64_t frame)
{
    const int size = params.metaSize < 32 ? 32 : params.metaSize;
    QByteArray block(size, '\0');
    const int64_t t = frameTimeNs(params, frame);
    const int64_t seconds = floorDiv(t, 1000000000LL);
    const int64_t nanos = t - seconds * 1000000000LL;
    putWord(block, 0, static_cast<uint32_t>(seconds) & 0x1FFFFFFu);
    putWord(block, 4,
            static_cast<uint32_t>(nanos) | (timeCodeLocked(params, frame) ? 1u << 30 : 0u) |
                (event1(params, frame) ? 1u << 31 : 0u));
    putWord(block, 8,
            (static_cast<uint32_t>(frame - params.firstFr) & 0x7FFFFFFFu) |
                (event2(params, frame) ? 1u << 31 : 0u));
    // User data: take number, frame number and a per-frame check number.
    putWord(block, 12, static_cast<uint32_t>(params.take));
    putWord(block, 16, static_cast<uint32_t>(static_cast<uint64_t>(frame) & 0xFFFFFFFFu));
    putWord(block, 20, static_cast<uint32_t>(static_cast<uint64_t>(frame) >> 32));
    const uint64_t check = mix(takeHash(params) ^ static_cast<uint64_t>(frame));
    putWord(block, 24, static_cast<uint32_t>(check));
    putWord(block, 28, static_cast<uint32_t>(check >> 32));
    // Larger blocks carry a counter pattern the program passes along unread.
    for (int i = 32; i < size; ++i)
        block[i] = static_cast<char>((i + frame) & 0xFF);
    return block;
}

int FrameSynth::recordSize(const FrameParams& params, int type)
{
    const int meta = params.metaSize < 32 ? 32 : params.metaSize;
    return ((type & XferMeta) ? meta : 0) + ((type & XferImage) ? params.imageSize() : 0);
}

QByteArray FrameSynth::record(const FrameParams& params, int64_t frame, int type)
{
    QByteArray bytes;
    bytes.reserve(recordSize(params, type));
    if (type & XferMeta)
        bytes += metadata(params, frame);
    if (type & XferImage)
        bytes += image(params, frame);
    return bytes;
}

} // namespace q7sim
