#include "ImgFileWriter.h"

#include "FileSaveJob.h"
#include "ImgAdjModel.h"
#include "ImgFileWriterWorker.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"

ImgFileWriter::ImgFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 ImgFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames, Util::Codec codec)
{
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    const qint64 bytesPerPixel = codec == Util::CodecRaw_Gray8 ? 1 : codec == Util::CodecRaw_Gray16 ? 2 : 3;
    return qMax<qint64>(frames, 0) * geometry.imgSize() * bytesPerPixel;
}

bool ImgFileWriter::start()
{
    FileSaveJob* saveJob = job();
    const PlaybackVornObject* source = saveJob->source();
    if (!source) {
        setError(QStringLiteral("source deleted or closed"));
        return false;
    }
    ImgFileWriterWorker::Setup setup;
    setup.outputName = saveJob->outputName();
    setup.geometry = VornFileGeometry::of(source);
    if (source->imgAdjModel())
        setup.block = source->imgAdjModel()->block();
    setup.codec = saveJob->codec();
    startWorker(new ImgFileWriterWorker(setup), QStringLiteral("ImgFileWriter Thread"));
    return true;
}
