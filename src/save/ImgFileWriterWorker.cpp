#include "ImgFileWriterWorker.h"

#include "VornFrame.h"

#include <QBuffer>
#include <QImageWriter>

ImgFileWriterWorker::ImgFileWriterWorker(const Setup& setup)
    : VornWriterWorker(setup.frCnt, qint64(setup.geometry.recordSize())), m_setup(setup),
      m_frame(new VornFrame(&m_setup.block, this)), m_burnIn(setup.burnIn)
{
}

bool ImgFileWriterWorker::writeImage(qint64 k, QString* error)
{
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
    if (m_burnIn.isActive())
        m_burnIn.draw(&picture, m_burnIn.linesFor(m_setup.startFr + k, *m_frame));
    // The image is made in memory and then written in one piece: the TIFF
    // writer does not tell of every failed write, and an image cut short
    // would claim a picture it does not hold.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, QByteArrayLiteral("tiff"));
    if (picture.isNull() || !writer.write(picture)) {
        *error = withReason(QStringLiteral("write error"), writer.errorString());
        return false;
    }
    return writeImageFile(m_setup.outputName, k, encoded.data(), error);
}

qint64 ImgFileWriterWorker::writeRecords(const char* records, qint64 count, qint64 first, QString* error)
{
    const VornFileGeometry& g = m_setup.geometry;
    const qint64 recordSize = qint64(g.recordSize());
    for (qint64 i = 0; i < count; ++i) {
        // A view of the record: the frame copies what it keeps.
        const QByteArray record = QByteArray::fromRawData(records + i * recordSize, recordSize);
        if (!m_frame->setFrameData(record, g.width, g.height, g.imgSize(), g.metaSize, g.yearOffset)) {
            *error = QStringLiteral("bad frame size");
            return i;
        }
        if (!writeImage(first + i, error))
            return i;
    }
    return count;
}
