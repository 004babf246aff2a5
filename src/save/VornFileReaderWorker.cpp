#include "VornFileReaderWorker.h"

#include <QFile>
#include <QThread>

VornFileReaderWorker::VornFileReaderWorker(QFile* file, const Range& range)
    : QObject(nullptr), m_file(file), m_range(range), m_framesRemaining(range.frCnt)
{
}

void VornFileReaderWorker::readChunk()
{
    if (m_done || QThread::currentThread()->isInterruptionRequested())
        return;
    const qint64 count = qMin(m_framesRemaining, ChunkFrames);
    const qint64 fileIndex = m_range.startFr + m_framesRead - m_range.firstFr;
    const qint64 record = qint64(m_range.imgSize) + m_range.metaSize;
    const qint64 readLen = (m_range.type & Util::ReqImg ? qint64(m_range.imgSize) : 0) +
                           (m_range.type & Util::ReqMeta ? qint64(m_range.metaSize) : 0);
    const qint64 skip = record - readLen;
    qint64 position = qint64(m_range.dataOffset) + record * fileIndex;
    if (!(m_range.type & Util::ReqMeta))
        position += m_range.metaSize;

    // Every byte is overwritten by a read or the chunk is not sent at all.
    // Two buffers take turns: fresh memory for every chunk costs a page
    // fault per page, and the one sent two chunks ago is surely written and
    // let go of, while the last one may still be held by the writer's event.
    m_turn = 1 - m_turn;
    QByteArray& buffer = m_buffers[m_turn];
    if (buffer.size() != count * readLen || !buffer.isDetached())
        buffer = QByteArray(count * readLen, Qt::Uninitialized);
    qint64 whole = 0;
    bool ok = m_file->seek(position);
    // A record exists only where the file holds bytes of it: a read of no
    // bytes (a metadata save of records without metadata) cannot tell, and
    // would otherwise run on for every frame the header claims.
    const qint64 fileSize = m_file->size();
    for (; ok && whole < count; ++whole) {
        char* at = buffer.data() + whole * readLen;
        const qint64 recordStart = qint64(m_range.dataOffset) + record * (fileIndex + whole);
        ok = recordStart < fileSize && m_file->read(at, readLen) == readLen &&
             (skip == 0 || m_file->seek(m_file->pos() + skip));
        if (!ok)
            break;
    }
    // The records read before a failure are still saved.
    if (whole > 0) {
        m_framesRead += whole;
        m_framesRemaining -= whole;
        emit readyRead(whole == count ? buffer : buffer.left(whole * readLen), whole, m_framesRead,
                       m_framesRemaining);
    }
    if (!ok) {
        m_done = true;
        emit finished(SaveJob::FinishedError, QStringLiteral("read error"));
        return;
    }
    if (m_framesRemaining == 0) {
        m_done = true;
        emit finished(SaveJob::FinishedOk, QString());
    }
}
