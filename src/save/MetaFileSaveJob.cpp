#include "MetaFileSaveJob.h"

#include "MetaFileWriter.h"

MetaFileSaveJob::MetaFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName,
                                 const Params& params, const SaveFileName& outputName)
    : FileSaveJob(parent, take, sourceFileName, csvParams(params), outputName)
{
    setWriter(new MetaFileWriter(this));
}

MetaFileSaveJob::MetaFileSaveJob(QObject* parent, VornFile* file, const Params& params,
                                 const SaveFileName& outputName)
    : FileSaveJob(parent, file, csvParams(params), outputName)
{
    setWriter(new MetaFileWriter(this));
}

SaveJob::Params MetaFileSaveJob::csvParams(Params params)
{
    params.format = Util::FormatCsv;
    params.codec = Util::CodecCsv;
    params.frameRate = 0;
    params.quality = 0;
    return params;
}

bool MetaFileSaveJob::open()
{
    return state() == Done && openWithDesktop(outputPath());
}
