#include "VideoFileWriter.h"

#include "FileSaveJob.h"
#include "ImgAdjModel.h"
#include "ImgOrientation.h"
#include "PlaybackVornObject.h"
#include "VideoEncoder.h"
#include "VideoFileWriterWorker.h"
#include "VornFileGeometry.h"

#include <QFile>

VideoFileWriter::VideoFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 VideoFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames, Util::Format format,
                                    Util::Codec codec)
{
    if (format != Util::FormatAvi)
        return 0;
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    const qint64 bytesPerPixel = codec == Util::CodecRaw_BGR24 ? 3 : 1;
    return qMax<qint64>(frames, 0) * geometry.imgSize() * bytesPerPixel;
}

bool VideoFileWriter::start()
{
    FileSaveJob* saveJob = job();
    const PlaybackVornObject* source = saveJob->source();
    if (!source) {
        setError(QStringLiteral("source deleted or closed"));
        return false;
    }
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    if (!makeFolder())
        return false;
    const QString path = freeOutputPath();
    ImgAdjBlock block;
    if (source->imgAdjModel())
        block = source->imgAdjModel()->block();
    // The pictures come out turned as the display turns them.
    const ImgOrientation orientation(block.rotate.toInt(), block.flipH.toBool(), block.flipV.toBool(),
                                     geometry.height, geometry.width);
    m_encoder = new VideoEncoder(path, orientation.cols(), orientation.rows(), saveJob->format(),
                                 saveJob->codec(), saveJob->frameRate(), saveJob->quality(), this);
    if (!m_encoder->open()) {
        setError(VornWriterWorker::withReason(QStringLiteral("can't open file for writing"),
                                              m_encoder->errorReason()));
        m_encoder->deleteLater();
        return false;
    }
    const BurnInRenderer burnIn =
        BurnInRenderer::forJob(saveJob, QSize(orientation.cols(), orientation.rows()));
    startWorker(
        new VideoFileWriterWorker(m_encoder, geometry, block, saveJob->frCnt(), saveJob->startFr(), burnIn),
        QStringLiteral("VideoFileWriter Thread"));
    return true;
}

void VideoFileWriter::close(SaveJob::FinishState state)
{
    if (!m_encoder)
        return;
    // The worker closes the encoder at every end it sees; a cancel stops it
    // first.
    if (m_encoder->isOpen())
        m_encoder->close();
    const bool playable = m_encoder->closedCleanly();
    const QString path = m_encoder->path();
    m_encoder->deleteLater();
    m_encoder = nullptr;
    if (state == SaveJob::FinishedCancelled || framesWritten() == 0 || !playable) {
        // A video without its trailer does not play: it would only look like
        // a saved file.
        if (state != SaveJob::FinishedCancelled && framesWritten() > 0)
            setOutcome(QStringLiteral("the video could not be finished and was removed"));
        QFile::remove(path);
    }
}
