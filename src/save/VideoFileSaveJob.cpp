#include "VideoFileSaveJob.h"

#include "VideoFileWriter.h"

VideoFileSaveJob::VideoFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName,
                                   const Params& params, const SaveFileName& outputName)
    : FileSaveJob(parent, take, sourceFileName, params, outputName)
{
    setWriter(new VideoFileWriter(this));
}

VideoFileSaveJob::VideoFileSaveJob(QObject* parent, VornFile* file, const Params& params,
                                   const SaveFileName& outputName)
    : FileSaveJob(parent, file, params, outputName)
{
    setWriter(new VideoFileWriter(this));
}

bool VideoFileSaveJob::open()
{
    return state() == Done && openWithDesktop(outputPath());
}
