#include "VideoFileWriterWorker.h"

#include "VideoEncoder.h"
#include "VornFrame.h"

VideoFileWriterWorker::VideoFileWriterWorker(VideoEncoder* encoder, const VornFileGeometry& geometry,
                                             const ImgAdjBlock& block, qint64 frCnt, qint64 startFr,
                                             const BurnInRenderer& burnIn)
    : VornWriterWorker(frCnt, qint64(geometry.recordSize())), m_encoder(encoder), m_geometry(geometry),
      m_block(block), m_frame(new VornFrame(&m_block, this)), m_startFr(startFr), m_burnIn(burnIn)
{
}

qint64 VideoFileWriterWorker::writeRecords(const char* records, qint64 count, qint64 first, QString* error)
{
    const VornFileGeometry& g = m_geometry;
    const qint64 recordSize = qint64(g.recordSize());
    for (qint64 i = 0; i < count; ++i) {
        const QByteArray record = QByteArray::fromRawData(records + i * recordSize, recordSize);
        if (!m_frame->setFrameData(record, g.width, g.height, g.imgSize(), g.metaSize, g.yearOffset)) {
            *error = QStringLiteral("bad frame size");
            return i;
        }
        const bool burnIn = m_burnIn.isActive();
        const QStringList lines = burnIn ? m_burnIn.linesFor(m_startFr + first + i, *m_frame) : QStringList();
        if (m_encoder->encode(m_frame->display(), burnIn ? &m_burnIn : nullptr, lines) < 0) {
            *error = withReason(QStringLiteral("write error"), m_encoder->errorReason());
            return i;
        }
    }
    return count;
}

bool VideoFileWriterWorker::completeOutput(bool, QString* error)
{
    if (!m_encoder->isOpen() || m_encoder->close())
        return true;
    *error = withReason(QStringLiteral("write error"), m_encoder->errorReason());
    return false;
}
