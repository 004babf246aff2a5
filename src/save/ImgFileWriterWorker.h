#pragma once

#include "BurnInRenderer.h"
#include "ImgAdjBlock.h"
#include "SaveFileName.h"
#include "VornFileGeometry.h"
#include "VornWriterWorker.h"

class VornFrame;

// Processes frame records into pictures and writes each as a TIFF, in the
// writer's thread, with its own copy of the adjustments.
class ImgFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    struct Setup
    {
        SaveFileName outputName;
        VornFileGeometry geometry;
        ImgAdjBlock block;
        Util::Codec codec = Util::CodecRaw_RGB24;
        qint64 frCnt = 0;
        // Frame number of image 0, for the burned-in lines.
        qint64 startFr = 0;
        BurnInRenderer burnIn;
    };

    explicit ImgFileWriterWorker(const Setup& setup);

protected:
    qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) override;

private:
    // Writes the frame's picture as image k; an image that fails is removed,
    // the ones before it stay.
    bool writeImage(qint64 k, QString* error);

    const Setup m_setup;
    VornFrame* m_frame;
    BurnInRenderer m_burnIn;
};
