#include "VideoFileWriterWorker.h"

#include "VideoEncoder.h"
#include "VornFrame.h"

VideoFileWriterWorker::VideoFileWriterWorker(VideoEncoder* encoder, const VornFileGeometry& geometry,
                                             const ImgAdjBlock& block)
    : m_encoder(encoder), m_geometry(geometry), m_block(block), m_frame(new VornFrame(&m_block, this))
{
}

void VideoFileWriterWorker::writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead,
                                       qint64 framesRemaining)
{
    if (stopRequested() || m_done)
        return;
    const VornFileGeometry& g = m_geometry;
    const qint64 recordSize = qint64(g.recordSize());
    for (qint64 i = 0; i < dataFrameCnt; ++i) {
        m_frame->setFrameData(data.mid(i * recordSize, recordSize), g.width, g.height, g.imgSize(),
                              g.metaSize, g.yearOffset);
        if (m_encoder->encode(m_frame->display()) < 0) {
            m_done = true;
            emit finished(SaveJob::FinishedError, QStringLiteral("write error"), true);
            return;
        }
    }
    emit framesWritten(framesRead);
    if (framesRemaining <= 0) {
        m_done = true;
        const bool closed = m_encoder->close();
        emit finished(closed ? SaveJob::FinishedOk : SaveJob::FinishedError,
                      closed ? QString() : QStringLiteral("write error"), true);
    }
}
