#include "FrameMetadata.h"

#include <QtEndian>

#include <cstring>

quint32 FrameMetadata::word(const QByteArray& record, quint32 metaSize, int index)
{
    const qsizetype end = (qsizetype(index) + 1) * 4;
    if (end > qsizetype(metaSize) || end > record.size())
        return 0;
    return qFromLittleEndian<quint32>(record.constData() + index * 4);
}

FrameMetadata FrameMetadata::read(const QByteArray& record, quint32 metaSize)
{
    FrameMetadata meta;
    const quint32 w0 = word(record, metaSize, 0);
    const quint32 w1 = word(record, metaSize, 1);
    const quint32 w2 = word(record, metaSize, 2);
    meta.seconds = w0 & 0x1FFFFFF;
    meta.nanoseconds = w1 & 0x3FFFFFFF;
    meta.timeCodeLock = w1 & (1u << 30);
    meta.event1 = w1 & (1u << 31);
    meta.event2 = w2 & (1u << 31);
    meta.userData = QByteArray(20, '\0');
    const qsizetype available = qMin<qsizetype>(qMin<qsizetype>(metaSize, record.size()), 32) - 12;
    if (available > 0)
        memcpy(meta.userData.data(), record.constData() + 12, size_t(available));
    return meta;
}
