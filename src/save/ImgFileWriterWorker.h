#pragma once

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
    };

    explicit ImgFileWriterWorker(const Setup& setup);

public slots:
    void writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);

private:
    bool writeImage(qint64 k);

    const Setup m_setup;
    VornFrame* m_frame;
    bool m_done = false;
};
