#include "VornFileSaveJob.h"

#include "VornApp.h"
#include "VornFileWriter.h"

#include <QUrl>

VornFileSaveJob::VornFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName,
                                 const Params& params, const SaveFileName& outputName)
    : FileSaveJob(parent, take, sourceFileName, vornParams(params), outputName)
{
    setWriter(new VornFileWriter(this));
}

VornFileSaveJob::VornFileSaveJob(QObject* parent, VornFile* file, const Params& params,
                                 const SaveFileName& outputName)
    : FileSaveJob(parent, file, vornParams(params), outputName)
{
    setWriter(new VornFileWriter(this));
}

SaveJob::Params VornFileSaveJob::vornParams(Params params)
{
    params.format = Util::FormatVorn;
    params.codec = Util::CodecVorn;
    params.frameRate = 0;
    params.quality = 0;
    return params;
}

void VornFileSaveJob::open()
{
    if (state() != Done)
        return;
    // A URL made from the path, so that names with "#" or "?" survive.
    if (VornApp* app = VornApp::instance())
        app->openVornFile(QUrl::fromLocalFile(outputName().filePath(0)).toString());
}
