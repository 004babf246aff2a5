#include "MetaFileSaveJob.h"

#include "MetaFileWriter.h"

#include <QDesktopServices>
#include <QUrl>

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

void MetaFileSaveJob::open()
{
    if (state() == Done)
        QDesktopServices::openUrl(QUrl::fromLocalFile(outputName().filePath(0)));
}
