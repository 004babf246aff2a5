#pragma once

#include "ImgAdjBlock.h"
#include "VornFileGeometry.h"
#include "VornWriterWorker.h"

class VideoEncoder;
class VornFrame;

// Processes frame records into pictures and encodes them, in the writer's
// thread, with its own copy of the adjustments. The encoder was opened by
// the writer before the thread started and is used only here until it ends.
class VideoFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    VideoFileWriterWorker(VideoEncoder* encoder, const VornFileGeometry& geometry, const ImgAdjBlock& block);

public slots:
    void writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);

private:
    VideoEncoder* const m_encoder;
    const VornFileGeometry m_geometry;
    const ImgAdjBlock m_block;
    VornFrame* m_frame;
    bool m_done = false;
};
