#pragma once

#include <QString>
#include <QtGlobal>

class PlaybackVornObject;

// The shape of the frame records of a take or VORN file, from its values:
// width and height from "res" ("1920x1080"), the metadata size, the first
// frame number and the year offset of the time stamps.
struct VornFileGeometry
{
    quint16 width = 0;
    quint16 height = 0;
    quint32 metaSize = 0;
    qint64 firstFr = 0;
    quint64 yearOffset = 0;

    quint32 imgSize() const { return quint32(width) * height; }
    quint64 recordSize() const { return quint64(imgSize()) + metaSize; }

    static VornFileGeometry of(const PlaybackVornObject* object);
    // Width and height of a "res" text; both 0 unless it splits into exactly
    // two 16-bit numbers.
    static void parseRes(const QString& res, quint16* width, quint16* height);
};
