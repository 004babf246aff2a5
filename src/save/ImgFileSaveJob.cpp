#include "ImgFileSaveJob.h"

#include "ImgFileWriter.h"

ImgFileSaveJob::ImgFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName,
                               const Params& params, const SaveFileName& outputName)
    : FileSaveJob(parent, take, sourceFileName, imageParams(params), outputName)
{
    setWriter(new ImgFileWriter(this));
    numberImages();
}

ImgFileSaveJob::ImgFileSaveJob(QObject* parent, VornFile* file, const Params& params,
                               const SaveFileName& outputName)
    : FileSaveJob(parent, file, imageParams(params), outputName)
{
    setWriter(new ImgFileWriter(this));
    numberImages();
}

SaveJob::Params ImgFileSaveJob::imageParams(Params params)
{
    // A DNG sequence holds the mosaic as it came, in no other codec.
    if (params.format == Util::FormatDng) {
        params.codec = Util::CodecDng;
    } else {
        params.format = Util::FormatTiff;
    }
    params.frameRate = 0;
    params.quality = 0;
    return params;
}

void ImgFileSaveJob::numberImages()
{
    // Every image needs a name of its own: without a number tag they are
    // numbered from 0, as wide as the count needs.
    if (!outputName().hasNumberTag())
        appendToFileName(QStringLiteral("_<seq:%1>").arg(QString::number(frCnt()).size()));
}

bool ImgFileSaveJob::open()
{
    // A sequence of images opens as its folder.
    return state() == Done && openWithDesktop(outputFolder());
}
