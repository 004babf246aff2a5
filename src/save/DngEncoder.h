#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

// Makes one DNG file in memory from one frame's companded mosaic, with
// libtiff. The samples stay the camera's 8-bit codes; the file's
// linearization table is the pipeline's expansion table, so a raw developer
// reads the same 16-bit values the program works with (black 0, white
// 65535). A colour sensor's frame is a CFA image with its 2x2 layout; a
// monochrome one a linear raw image of one sample.
class DngEncoder
{
public:
    // What every frame of a save shares: the sensor, the camera and the take.
    struct Setup
    {
        // ImgAdjUtil::CfaType; 0 is monochrome.
        int cfa = 0;
        std::array<quint16, 256> expansion{};
        // White-balance gains of R, G and B (balance times calibration).
        double gains[3] = {1.0, 1.0, 1.0};
        // The display's turn (degrees, multiples of 90) and mirrors, kept as
        // the file's orientation: the mosaic itself is never turned.
        int rotate = 0;
        bool flipH = false;
        bool flipV = false;
        QString make;
        QString model;
        QString serial;
        QString software;
        // Microseconds, as the take states it.
        double exposureUs = 0;
        double frameRate = 0;
    };
    // One frame: width x height codes, row by row, and its time stamp.
    struct Frame
    {
        const uchar* codes = nullptr;
        quint16 width = 0;
        quint16 height = 0;
        qint64 number = 0;
        // Seconds since 1970-01-01 UTC and nanoseconds.
        quint64 seconds = 0;
        quint32 nanoseconds = 0;
    };

    // The DNG file of `frame`; false with `error` set (libtiff's complaint)
    // when it could not be made.
    static bool encode(const Setup& setup, const Frame& frame, QByteArray* out, QString* error);

    // The TIFF orientation (1..8) that shows the mosaic as the display does
    // after turning it clockwise by `rotate` degrees and then mirroring.
    static quint16 orientation(int rotate, bool flipH, bool flipV);
    // The neutral colour of AsShotNeutral for white-balance gains: the
    // camera's reading of a white surface, green 1.
    static std::array<double, 3> asShotNeutral(const double gains[3]);
    // Bytes a file holds besides its samples (tags, tables, texts) for the
    // size estimate: about 1.2 kB, and never more than this while the
    // camera's names stay under a few hundred characters.
    static constexpr qint64 maxOverhead = 4096;
};
