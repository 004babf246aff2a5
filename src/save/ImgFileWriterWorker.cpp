#include "ImgFileWriterWorker.h"

#include "VornFrame.h"

#include <QFileInfo>
#include <QImageWriter>

ImgFileWriterWorker::ImgFileWriterWorker(const Setup& setup)
    : m_setup(setup), m_frame(new VornFrame(&m_setup.block, this))
{
}

bool ImgFileWriterWorker::writeImage(qint64 k)
{
    const SaveFileName& name = m_setup.outputName;
    QString path = name.filePath(k);
    if (QFileInfo::exists(path))
        path = name.filePath(k, SaveFileName::suffixText(name.firstFreeSuffix(k)));
    QImage picture;
    switch (m_setup.codec) {
    case Util::CodecRaw_Gray8:
        picture = m_frame->gray8Image();
        break;
    case Util::CodecRaw_Gray16:
        picture = m_frame->gray16Image();
        break;
    default:
        picture = m_frame->image();
        break;
    }
    QImageWriter writer(path, QByteArrayLiteral("tiff"));
    return !picture.isNull() && writer.write(picture);
}

void ImgFileWriterWorker::writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead,
                                     qint64 framesRemaining)
{
    if (stopRequested() || m_done)
        return;
    const VornFileGeometry& g = m_setup.geometry;
    const qint64 recordSize = qint64(g.recordSize());
    for (qint64 i = 0; i < dataFrameCnt; ++i) {
        const qint64 k = framesRead - dataFrameCnt + i;
        const QByteArray record = data.mid(i * recordSize, recordSize);
        m_frame->setFrameData(record, g.width, g.height, g.imgSize(), g.metaSize, g.yearOffset);
        if (!writeImage(k)) {
            m_done = true;
            emit finished(SaveJob::FinishedError, QStringLiteral("write error"), true);
            return;
        }
    }
    emit framesWritten(framesRead);
    if (framesRemaining <= 0) {
        m_done = true;
        emit finished(SaveJob::FinishedOk, QString(), true);
    }
}
