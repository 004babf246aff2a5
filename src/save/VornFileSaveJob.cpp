#include "VornFileSaveJob.h"

#include "VornApp.h"
#include "VornFile.h"
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

bool VornFileSaveJob::open()
{
    VornApp* app = VornApp::instance();
    if (state() != Done || !app)
        return false;
    // A URL made from the path, so that names with "#" or "?" survive.
    const QUrl url = QUrl::fromLocalFile(outputPath());
    app->openVornFile(url.toString());
    // A file that opens becomes the selected object.
    auto* file = qobject_cast<VornFile*>(app->selectedVornObject());
    return file && file->fileName() == url.toLocalFile();
}
