#pragma once

#include <QtGlobal>

// The largest frame the program accepts from anywhere it does not control: a
// camera's transfer headers, a take's "res" value, a VORN file header. Every
// buffer of the image pipeline is sized from these numbers, so they are
// checked before anything is allocated.
namespace FrameLimits {

// Pixels of one image: 4096 x 4096, eight times the largest frame a Q7 makes
// (1920 x 1080). The pipeline holds about 18 bytes per pixel for a frame
// (samples, processed pictures with and without overlay, 8-bit image), so
// the cap keeps one frame below 300 MB.
constexpr quint32 MaxImgSize = 1u << 24;
// Bytes of one frame's metadata block.
constexpr quint32 MaxMetaSize = 1u << 16;

// Whether a frame of this shape may be processed: within the caps, and the
// image size is exactly width x height (one byte per pixel).
constexpr bool validGeometry(quint16 width, quint16 height, quint32 imgSize, quint32 metaSize)
{
    return imgSize <= MaxImgSize && metaSize <= MaxMetaSize && quint64(width) * height == imgSize;
}

} // namespace FrameLimits
