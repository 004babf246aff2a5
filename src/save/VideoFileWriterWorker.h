#pragma once

#include "BurnInRenderer.h"
#include "ImgAdjBlock.h"
#include "VornFileGeometry.h"
#include "VornWriterWorker.h"

class VideoEncoder;
class VornFrame;

// Processes frame records into pictures and encodes them, in the writer's
// thread, with its own copy of the adjustments. The encoder was opened by
// the writer before the thread started and is used only here until it ends;
// the worker closes it at the end of the write, also after a failure, so
// that what was encoded plays.
class VideoFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    // `burnIn` burns its lines into every picture; the first is frame
    // `startFr`.
    VideoFileWriterWorker(VideoEncoder* encoder, const VornFileGeometry& geometry, const ImgAdjBlock& block,
                          qint64 frCnt, qint64 startFr, const BurnInRenderer& burnIn);

protected:
    qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) override;
    bool completeOutput(bool allWritten, QString* error) override;

private:
    VideoEncoder* const m_encoder;
    const VornFileGeometry m_geometry;
    const ImgAdjBlock m_block;
    VornFrame* m_frame;
    const qint64 m_startFr;
    BurnInRenderer m_burnIn;
};
