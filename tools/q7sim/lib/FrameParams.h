#pragma once

#include "Cfa.h"

#include <QJsonObject>
#include <QString>
#include <cstdint>

namespace q7sim {

// Everything that decides the bytes of a frame record: which camera and take
// it belongs to (the picture depends only on seed, serial, take and frame
// number) and the recording settings that shape it and its time stamps.
struct FrameParams
{
    uint64_t seed = 1;
    QString serial;
    int take = 0; // 0 is the live sensor image
    int width = 640;
    int height = 480;
    Cfa cfa = Cfa::Mono;
    int metaSize = 32;
    // Time of frame 0 in nanoseconds since the take's year offset.
    int64_t frame0Ns = 0;
    uint32_t frClks = 100000;
    uint32_t clkFreq = 100000000;
    // First frame of the take; the metadata counts frames from it.
    int64_t firstFr = 0;
    // Frame sync mode of the recording (2 = IRIG, whose time code stays locked).
    int fsyncMode = 0;
    // What sets the picture's brightness.
    uint32_t expClks = 50000;
    double fstop = 5.6;
    bool shutterClosed = false;

    int imageSize() const { return width * height; }

    // The parameters of a take as its take document (GET /takes/take<N>) describes
    // it; the seed is the camera's, which no document carries.
    static FrameParams fromTakeDocument(const QJsonObject& takeDocument, uint64_t seed, int take);
};

} // namespace q7sim
