#pragma once

#include "FrameParams.h"

#include <QByteArray>
#include <cstdint>

namespace q7sim {

// What /xfer's "type" asks for: image bytes (1), metadata bytes (2) or both.
enum XferType { XferImage = 1, XferMeta = 2, XferBoth = 3 };

// The simulated sensor: makes the bytes of any frame record from its
// FrameParams and frame number alone, so a test can compute exactly what the
// camera must send. The scene moves with the frame number: a lit gradient
// background, a static checker board, a bar sweeping right and a disc
// bouncing across, each with sharp edges, plus a little sensor noise. The
// exposure time and f-number of the recording scale the light, so long
// exposures clip and a closed shutter leaves only the noise.
class FrameSynth
{
public:
    // width x height companded codes, mosaicked for params.cfa.
    static QByteArray image(const FrameParams& params, int64_t frame);
    // The metaSize-byte metadata block.
    static QByteArray metadata(const FrameParams& params, int64_t frame);
    // One frame record as /xfer sends it: metadata then image, each part
    // only when the type asks for it.
    static QByteArray record(const FrameParams& params, int64_t frame, int type);
    static int recordSize(const FrameParams& params, int type);

    // Time stamp of a frame in nanoseconds since the take's year offset.
    static int64_t frameTimeNs(const FrameParams& params, int64_t frame);
    // The metadata's state bits of a frame.
    static bool timeCodeLocked(const FrameParams& params, int64_t frame);
    static bool event1(const FrameParams& params, int64_t frame);
    static bool event2(const FrameParams& params, int64_t frame);

    // Linear 9-bit value of one colour channel (0 R, 1 G, 2 B; -1 grey) of the
    // scene at a pixel, before mosaicking and companding.
    static int sceneLinear(const FrameParams& params, int64_t frame, int x, int y, int channel);

    // How much brighter than the reference the recording's exposure time and
    // f-number make the picture (0 with the shutter closed).
    static double exposureFactor(const FrameParams& params);

    static uint64_t mix(uint64_t value);
};

} // namespace q7sim
