#include "ImgFileWriter.h"

#include "DngFileWriterWorker.h"
#include "FileSaveJob.h"
#include "ImgAdjModel.h"
#include "ImgFileWriterWorker.h"
#include "ImgOrientation.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"

#include <QTemporaryFile>

ImgFileWriter::ImgFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 ImgFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames, Util::Format format,
                                  Util::Codec codec)
{
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    if (format == Util::FormatDng)
        return qMax<qint64>(frames, 0) * (geometry.imgSize() + DngEncoder::maxOverhead);
    const qint64 bytesPerPixel = codec == Util::CodecRaw_Gray8 ? 1 : codec == Util::CodecRaw_Gray16 ? 2 : 3;
    return qMax<qint64>(frames, 0) * geometry.imgSize() * bytesPerPixel;
}

bool ImgFileWriter::folderWritable()
{
    // The images are made one by one as frames arrive; a folder that takes
    // none is reported now, with the system's reason, not at the first frame.
    QTemporaryFile probe(job()->outputName().folder() + QStringLiteral("/.vorn-XXXXXX"));
    if (probe.open())
        return true;
    setError(
        VornWriterWorker::withReason(QStringLiteral("can't open file for writing"), probe.errorString()));
    return false;
}

bool ImgFileWriter::start()
{
    FileSaveJob* saveJob = job();
    const PlaybackVornObject* source = saveJob->source();
    if (!source) {
        setError(QStringLiteral("source deleted or closed"));
        return false;
    }
    if (!makeFolder() || !folderWritable())
        return false;
    if (saveJob->format() == Util::FormatDng) {
        DngFileWriterWorker::Setup dng{saveJob->outputName(), VornFileGeometry::of(source),
                                       DngFileWriterWorker::encoderSetup(source), saveJob->startFr(),
                                       saveJob->frCnt()};
        startWorker(new DngFileWriterWorker(dng), QStringLiteral("ImgFileWriter Thread"));
        return true;
    }
    ImgFileWriterWorker::Setup setup;
    setup.outputName = saveJob->outputName();
    setup.geometry = VornFileGeometry::of(source);
    if (source->imgAdjModel())
        setup.block = source->imgAdjModel()->block();
    setup.codec = saveJob->codec();
    setup.frCnt = saveJob->frCnt();
    setup.startFr = saveJob->startFr();
    const ImgOrientation orientation(setup.block.rotate.toInt(), setup.block.flipH.toBool(),
                                     setup.block.flipV.toBool(), setup.geometry.height, setup.geometry.width);
    setup.burnIn = BurnInRenderer::forJob(saveJob, QSize(orientation.cols(), orientation.rows()));
    startWorker(new ImgFileWriterWorker(setup), QStringLiteral("ImgFileWriter Thread"));
    return true;
}
