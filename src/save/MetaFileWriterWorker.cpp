#include "MetaFileWriterWorker.h"

#include "VornObject.h"

#include <QFile>

namespace {

// Little-endian 32-bit word `index` of a block, 0 past its end.
quint32 word(const char* block, qint64 blockSize, int index)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        const qint64 at = 4 * qint64(index) + i;
        value = (value << 8) | (at < blockSize ? quint8(block[at]) : 0u);
    }
    return value;
}

} // namespace

QByteArray MetaFileWriterWorker::row(qint64 frame, const char* block, qint64 blockSize, quint64 yearOffset)
{
    const quint32 w0 = word(block, blockSize, 0);
    const quint32 w1 = word(block, blockSize, 1);
    const quint32 w2 = word(block, blockSize, 2);
    const QString timestamp = VornObject::timeText((w0 & 0x1FFFFFF) + yearOffset, w1 & 0x3FFFFFFF);
    QByteArray userData("0x");
    static const char hex[] = "0123456789ABCDEF";
    for (int at = 31; at >= 12; --at) {
        const quint8 byte = at < blockSize ? quint8(block[at]) : 0;
        userData.append(hex[byte >> 4]).append(hex[byte & 15]);
    }
    return QStringLiteral("%1,\"%2\",%3,%4,%5,\"%6\"\r\n")
        .arg(frame)
        .arg(timestamp)
        .arg((w1 >> 30) & 1)
        .arg((w1 >> 31) & 1)
        .arg((w2 >> 31) & 1)
        .arg(QString::fromLatin1(userData))
        .toUtf8();
}

qint64 MetaFileWriterWorker::writeRecords(const char* records, qint64 count, qint64 first, QString* error)
{
    // Only the first 32 bytes of each block make its row.
    const qint64 blockBytes = qMin<qint64>(m_metaSize, 32);
    QByteArray rows;
    QList<qint64> rowEnds;
    for (qint64 i = 0; i < count; ++i) {
        rows += row(m_startFr + first + i, records + i * m_metaSize, blockBytes, m_yearOffset);
        rowEnds.append(rows.size());
    }
    const qint64 before = m_file->pos();
    QString reason;
    if (writeFully(m_file, rows.constData(), rows.size(), &reason))
        return count;
    *error = withReason(QStringLiteral("write error"), reason);
    // Keep the rows that reached the file whole; a row cut short goes.
    const qint64 arrived = qMax<qint64>(0, m_file->size() - before);
    qint64 whole = 0;
    while (whole < count && rowEnds.at(whole) <= arrived)
        ++whole;
    const qint64 keep = whole > 0 ? rowEnds.at(whole - 1) : 0;
    m_file->resize(before + keep);
    m_file->seek(before + keep);
    return whole;
}
