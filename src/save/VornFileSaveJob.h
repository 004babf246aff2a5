#pragma once

#include "FileSaveJob.h"

// A save of frames as a VORN file, byte for byte as the source holds them.
class VornFileSaveJob : public FileSaveJob
{
    Q_OBJECT

public:
    VornFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                    const SaveFileName& outputName);
    VornFileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    // A finished save opens as a new VORN file.
    Q_INVOKABLE bool open() override;

    // Format, codec, frame rate and quality mean nothing to a VORN file.
    static Params vornParams(Params params);
};
