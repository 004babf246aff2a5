#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Enumerations shared by the image pipeline, frame transfer and saving, usable
// from QML as Util.<key>.
namespace Util {
Q_NAMESPACE
QML_ELEMENT

// Fixed underlying types: a number from QML that names no key is still a
// value of the type (and then no format or codec), not undefined behaviour.
enum Format : int {
    FormatVorn = 0,
    FormatAvi = 1,
    FormatMp4 = 2,
    FormatTiff = 3,
    FormatCsv = 4,
    // One DNG file of the camera's raw mosaic per frame.
    FormatDng = 5,
};
Q_ENUM_NS(Format)

enum Codec : int {
    CodecVorn = 0,
    CodecCsv = 1,
    CodecRaw_BGR24 = 2,
    CodecRaw_RGB24 = 3,
    CodecRaw_Gray8 = 4,
    CodecRaw_Gray16 = 5,
    CodecAV1_YUV420P = 6,
    CodecAV1_YUV420P10 = 7,
    CodecH264 = 8,
    // The 8-bit companded mosaic as the camera sent it.
    CodecDng = 9,
};
Q_ENUM_NS(Codec)

// Colour channels; G is also the channel of monochrome frames.
enum Color {
    R = 1,
    G = 2,
    B = 4,
};
Q_DECLARE_FLAGS(Colors, Color)
Q_FLAG_NS(Colors)

// What each record of a frame transfer carries.
enum ReqType {
    ReqImg = 1,
    ReqMeta = 2,
    ReqBoth = 3,
};
Q_DECLARE_FLAGS(ReqTypes, ReqType)
Q_FLAG_NS(ReqTypes)

// The file name extension of a format ("vorn", "avi", ...), empty for others.
QString formatExtension(Format format);
// Whether a save in this format is a sequence of images, one file per frame.
inline bool isImageSequence(Format format)
{
    return format == FormatTiff || format == FormatDng;
}

} // namespace Util

Q_DECLARE_OPERATORS_FOR_FLAGS(Util::Colors)
Q_DECLARE_OPERATORS_FOR_FLAGS(Util::ReqTypes)
