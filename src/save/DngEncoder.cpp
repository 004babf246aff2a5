#include "DngEncoder.h"

#include "CfaLayout.h"
#include "FrameLimits.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <tiffio.h>

namespace {

// DNG tags that libtiff does not know.
constexpr ttag_t TagFrameRate = 51044; // CinemaDNG: frames per second
constexpr quint16 PhotometricLinearRaw = 34892;
constexpr quint16 IlluminantD65 = 21;

// The XYZ (D65) to linear sRGB matrix: the camera's colours are taken as
// linear sRGB primaries, since the program shows them so (it applies no
// colour correction after white balance). A raw developer that converts
// through this matrix to sRGB therefore keeps the program's colours.
const float XyzToCamera[9] = {3.2404542f, -1.5371385f, -0.4985314f, -0.9692660f, 1.8760108f,
                              0.0415560f, 0.0556434f,  -0.2040259f, 1.0572252f};

// A growing byte buffer that libtiff writes through its client procedures.
struct MemoryStream
{
    QByteArray data;
    qint64 pos = 0;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* s = static_cast<MemoryStream*>(handle);
    const qint64 n = qBound<qint64>(0, qint64(s->data.size()) - s->pos, qint64(size));
    if (n > 0)
        std::memcpy(buffer, s->data.constData() + s->pos, size_t(n));
    s->pos += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* s = static_cast<MemoryStream*>(handle);
    if (size < 0 || s->pos > (qint64(1) << 31) - size)
        return -1;
    const qint64 end = s->pos + size;
    if (end > s->data.size())
        s->data.resize(end, '\0');
    std::memcpy(s->data.data() + s->pos, buffer, size_t(size));
    s->pos = end;
    return size;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* s = static_cast<MemoryStream*>(handle);
    const qint64 base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? s->data.size() : 0;
    const qint64 target = base + qint64(offset);
    if (target < 0 || target > (qint64(1) << 31))
        return toff_t(-1);
    s->pos = target;
    return toff_t(target);
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return toff_t(static_cast<MemoryStream*>(handle)->data.size());
}

int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapProc(thandle_t, void*, toff_t) {}

// libtiff's complaints about this file, kept for the error text.
int errorHandler(TIFF*, void* userData, const char* module, const char* fmt, va_list ap)
{
    auto* error = static_cast<QString*>(userData);
    if (error->isEmpty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, fmt, ap);
        *error = module ? QStringLiteral("%1: %2").arg(QString::fromUtf8(module), QString::fromUtf8(text))
                        : QString::fromUtf8(text);
    }
    return 1;
}

int warningHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// A text from a camera or a file, made short enough for a tag.
QByteArray tagText(const QString& text)
{
    return text.left(255).toUtf8();
}

// Owns the libtiff handle, so that every way out closes it.
struct TiffHandle
{
    TIFF* tif = nullptr;
    ~TiffHandle()
    {
        if (tif)
            TIFFClose(tif);
    }
};

bool writeExif(TIFF* tif, const DngEncoder::Setup& setup, const QDateTime& time, quint32 nanoseconds,
               uint64_t* offset)
{
    if (TIFFCreateEXIFDirectory(tif) != 0)
        return false;
    if (std::isfinite(setup.exposureUs) && setup.exposureUs > 0)
        TIFFSetField(tif, EXIFTAG_EXPOSURETIME, setup.exposureUs * 1e-6);
    if (time.isValid()) {
        const QByteArray original = time.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
        const QByteArray subSec = QByteArray::number(qMin(nanoseconds, 999999999u)).rightJustified(9, '0');
        TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, original.constData());
        TIFFSetField(tif, EXIFTAG_SUBSECTIMEORIGINAL, subSec.constData());
        // The camera's time stamps count in UTC.
        TIFFSetField(tif, EXIFTAG_OFFSETTIMEORIGINAL, "+00:00");
    }
    return TIFFWriteCustomDirectory(tif, offset) != 0;
}

} // namespace

quint16 DngEncoder::orientation(int rotate, bool flipH, bool flipV)
{
    // The display turns first and mirrors after. Mirroring top-bottom is
    // mirroring left-right after a half turn, and both mirrors are a half turn.
    int quarter = ((rotate % 360) + 360) % 360 / 90;
    if (rotate % 90 != 0)
        quarter = 0;
    if (flipV) {
        quarter = (quarter + 2) % 4;
        flipH = !flipH;
    }
    // Turned only: 1, 6, 3, 8; then mirrored left-right: 2, 5, 4, 7.
    static const quint16 turned[4] = {1, 6, 3, 8};
    static const quint16 mirrored[4] = {2, 5, 4, 7};
    return flipH ? mirrored[quarter] : turned[quarter];
}

std::array<double, 3> DngEncoder::asShotNeutral(const double gains[3])
{
    // A gain that is no number or out of all reason counts as 1.
    double g[3];
    for (int c = 0; c < 3; ++c)
        g[c] = std::isfinite(gains[c]) && gains[c] >= 1e-3 && gains[c] <= 1e3 ? gains[c] : 1.0;
    return {g[1] / g[0], 1.0, g[1] / g[2]};
}

bool DngEncoder::encode(const Setup& setup, const Frame& frame, QByteArray* out, QString* error)
{
    const quint32 pixels = quint32(frame.width) * frame.height;
    if (!frame.codes || pixels == 0 || pixels > FrameLimits::MaxImgSize) {
        *error = QStringLiteral("bad frame size");
        return false;
    }
    QString complaint;
    MemoryStream stream;
    stream.data.reserve(qsizetype(pixels) + maxOverhead);
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, errorHandler, &complaint);
    TIFFOpenOptionsSetWarningHandlerExtR(options, warningHandler, nullptr);
    TiffHandle handle;
    // Little-endian, no memory mapping of the stream.
    handle.tif = TIFFClientOpenExt("dng", "wlm", &stream, readProc, writeProc, seekProc, closeProc, sizeProc,
                                   mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    TIFF* tif = handle.tif;
    auto failed = [&] {
        *error = complaint.isEmpty() ? QStringLiteral("libtiff failed") : complaint;
        return false;
    };
    if (!tif)
        return failed();

    const quint64 seconds = qMin<quint64>(frame.seconds, 253402300799ULL); // 9999-12-31
    const QDateTime time = QDateTime::fromSecsSinceEpoch(qint64(seconds), QTimeZone::utc());

    // The EXIF directory goes first, so that the image's directory can name
    // its place when it is written.
    uint64_t exifOffset = 0;
    if (!writeExif(tif, setup, time, frame.nanoseconds, &exifOffset))
        return failed();
    TIFFFreeDirectory(tif);
    if (TIFFCreateDirectory(tif) != 0)
        return failed();
    static const TIFFFieldInfo cinemaDngFields[] = {
        {TagFrameRate, 1, 1, TIFF_SRATIONAL, FIELD_CUSTOM, 1, 0, const_cast<char*>("FrameRate")},
    };
    if (TIFFMergeFieldInfo(tif, cinemaDngFields, 1) != 0)
        return failed();

    const CfaLayout layout(setup.cfa);
    const bool colour = layout.isColour();
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(frame.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(frame.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, colour ? PHOTOMETRIC_CFA : PhotometricLinearRaw);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(frame.height));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation(setup.rotate, setup.flipH, setup.flipV));
    const QByteArray description = QByteArrayLiteral("Frame ") + QByteArray::number(frame.number);
    TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, description.constData());
    const QByteArray make = tagText(setup.make);
    const QByteArray model = tagText(setup.model);
    const QByteArray unique = tagText(setup.make + QLatin1Char(' ') + setup.model);
    const QByteArray serial = tagText(setup.serial);
    const QByteArray software = tagText(setup.software);
    TIFFSetField(tif, TIFFTAG_MAKE, make.constData());
    TIFFSetField(tif, TIFFTAG_MODEL, model.constData());
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, unique.constData());
    if (!serial.isEmpty())
        TIFFSetField(tif, TIFFTAG_CAMERASERIALNUMBER, serial.constData());
    if (!software.isEmpty())
        TIFFSetField(tif, TIFFTAG_SOFTWARE, software.constData());
    if (time.isValid()) {
        const QByteArray dateTime = time.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
        TIFFSetField(tif, TIFFTAG_DATETIME, dateTime.constData());
    }
    TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset);

    static const uint8_t dngVersion[4] = {1, 4, 0, 0};
    static const uint8_t dngBackwardVersion[4] = {1, 1, 0, 0};
    TIFFSetField(tif, TIFFTAG_DNGVERSION, dngVersion);
    TIFFSetField(tif, TIFFTAG_DNGBACKWARDVERSION, dngBackwardVersion);
    if (colour) {
        static const uint16_t repeatDim[2] = {2, 2};
        static const uint8_t planeColours[3] = {0, 1, 2};
        uint8_t pattern[4];
        for (int i = 0; i < 4; ++i) {
            const Util::Color c = layout.siteColour(i / 2, i % 2);
            pattern[i] = c == Util::R ? 0 : c == Util::G ? 1 : 2;
        }
        TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, repeatDim);
        TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, pattern);
        TIFFSetField(tif, TIFFTAG_CFAPLANECOLOR, 3, planeColours);
        TIFFSetField(tif, TIFFTAG_CFALAYOUT, 1);
    }
    uint16_t table[256];
    std::copy(setup.expansion.cbegin(), setup.expansion.cend(), table);
    TIFFSetField(tif, TIFFTAG_LINEARIZATIONTABLE, 256, table);
    const float black = 0;
    const uint32_t white = 65535;
    TIFFSetField(tif, TIFFTAG_BLACKLEVEL, 1, &black);
    TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, &white);
    if (colour) {
        TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, XyzToCamera);
        TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, IlluminantD65);
        const std::array<double, 3> neutral = asShotNeutral(setup.gains);
        const float neutralF[3] = {float(neutral[0]), float(neutral[1]), float(neutral[2])};
        TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, neutralF);
    }
    if (std::isfinite(setup.frameRate) && setup.frameRate > 0 && setup.frameRate < 1e7)
        TIFFSetField(tif, TagFrameRate, setup.frameRate);

    if (TIFFWriteEncodedStrip(tif, 0, const_cast<uchar*>(frame.codes), tmsize_t(pixels)) != tmsize_t(pixels))
        return failed();
    if (!TIFFWriteDirectory(tif))
        return failed();
    TIFFClose(tif);
    handle.tif = nullptr;
    if (!complaint.isEmpty())
        return failed();
    *out = std::move(stream.data);
    return true;
}
