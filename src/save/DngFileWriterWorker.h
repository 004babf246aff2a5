#pragma once

#include "DngEncoder.h"
#include "SaveFileName.h"
#include "VornFileGeometry.h"
#include "VornWriterWorker.h"

class PlaybackVornObject;

// Writes each frame record as a DNG file of the camera's own mosaic, in the
// writer's thread: one file per frame, named like a TIFF sequence.
class DngFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    struct Setup
    {
        SaveFileName outputName;
        VornFileGeometry geometry;
        DngEncoder::Setup dng;
        qint64 startFr = 0;
        qint64 frCnt = 0;
    };

    // What the files of a save of `source` carry, read in the GUI thread
    // when the save starts.
    static DngEncoder::Setup encoderSetup(const PlaybackVornObject* source);

    explicit DngFileWriterWorker(const Setup& setup);

protected:
    qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) override;

private:
    const Setup m_setup;
};
