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

void MetaFileWriterWorker::writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead,
                                      qint64 framesRemaining)
{
    if (stopRequested() || m_done)
        return;
    // Each frame's block is metaSize bytes; only the first 32 make the row.
    const qint64 stride = m_metaSize > 0 ? m_metaSize : (dataFrameCnt > 0 ? data.size() / dataFrameCnt : 0);
    QByteArray rows;
    for (qint64 i = 0; i < dataFrameCnt && m_rowsWritten < m_frCnt; ++i, ++m_rowsWritten) {
        const qint64 at = i * stride;
        const qint64 available = qBound<qint64>(0, data.size() - at, qMin<qint64>(stride, 32));
        rows += row(m_startFr + m_rowsWritten, data.constData() + qMin<qint64>(at, data.size()), available,
                    m_yearOffset);
    }
    if (m_file->write(rows) != rows.size()) {
        m_done = true;
        emit finished(SaveJob::FinishedError, QStringLiteral("write error"), true);
        return;
    }
    emit framesWritten(qMin(framesRead, m_frCnt));
    if (framesRemaining <= 0 || m_rowsWritten >= m_frCnt) {
        m_done = true;
        emit finished(SaveJob::FinishedOk, QString(), true);
    }
}
