#pragma once

#include "FileSaveJob.h"

// A save of frames as a TIFF image sequence, each frame processed as the
// display shows it, one file per frame.
class ImgFileSaveJob : public FileSaveJob
{
    Q_OBJECT

public:
    ImgFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                   const SaveFileName& outputName);
    ImgFileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    // A finished save shows the folder of the images.
    Q_INVOKABLE bool open() override;

    static Params tiffParams(Params params);

private:
    void numberImages();
};
