#pragma once

#include "FileSaveJob.h"

// A save of frames as an image sequence, one file per frame: TIFF, each frame
// processed as the display shows it, or DNG, the camera's raw mosaic.
class ImgFileSaveJob : public FileSaveJob
{
    Q_OBJECT

public:
    ImgFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                   const SaveFileName& outputName);
    ImgFileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    // A finished save shows the folder of the images.
    Q_INVOKABLE bool open() override;

    static Params imageParams(Params params);

private:
    void numberImages();
};
