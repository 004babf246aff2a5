#pragma once

#include <QByteArray>
#include <QtGlobal>

// The fields of a frame record's metadata block (little-endian 32-bit words):
// time stamp seconds (from the take's year offset) and nanoseconds, time-code
// lock, event 1 and 2 inputs, and 20 bytes of user data. A block (or record)
// shorter than 32 bytes reads its missing words as 0; nothing past the record
// is ever read.
struct FrameMetadata
{
    quint32 seconds = 0;       // word 0, bits 0..24
    quint32 nanoseconds = 0;   // word 1, bits 0..29
    bool timeCodeLock = false; // word 1, bit 30
    bool event1 = false;       // word 1, bit 31
    bool event2 = false;       // word 2, bit 31
    QByteArray userData;       // bytes 12..31, zero-filled when short

    // Reads the block at the start of `record`, whose metadata size is
    // `metaSize` bytes.
    static FrameMetadata read(const QByteArray& record, quint32 metaSize);
    // Word `index` of the block, 0 when it lies beyond the block or record.
    static quint32 word(const QByteArray& record, quint32 metaSize, int index);
};
