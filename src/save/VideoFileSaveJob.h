#pragma once

#include "FileSaveJob.h"

// A save of frames as one AVI or MP4 video, each frame processed as the
// display shows it.
class VideoFileSaveJob : public FileSaveJob
{
    Q_OBJECT

public:
    VideoFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                     const SaveFileName& outputName);
    VideoFileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    // A finished save opens the video with the desktop's player.
    Q_INVOKABLE bool open() override;
};
