#pragma once

#include "FileSaveJob.h"

// A save of the frames' metadata as a CSV file; only metadata is transferred.
class MetaFileSaveJob : public FileSaveJob
{
    Q_OBJECT

public:
    MetaFileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                    const SaveFileName& outputName);
    MetaFileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    // A finished save opens the CSV file with the desktop's program for it.
    Q_INVOKABLE bool open() override;

    static Params csvParams(Params params);
};
