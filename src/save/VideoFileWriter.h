#pragma once

#include "VideoEncoder.h"
#include "VornWriter.h"

#include <QPointer>

class PlaybackVornObject;

// Writes the processed frames of a range as one AVI or MP4 video, with the
// source's adjustments as they were when the save started.
class VideoFileWriter : public VornWriter
{
    Q_OBJECT

public:
    explicit VideoFileWriter(FileSaveJob* job);

    bool start() override;
    VideoEncoder* encoder() const { return m_encoder; }

    // AVI holds uncompressed pictures: frames × W × H × 3 for BGR24, × 1 for
    // grey. MP4 is not estimated (0).
    static qint64 estFileSize(const PlaybackVornObject* source, qint64 frames, Util::Format format,
                              Util::Codec codec);

protected:
    void close(SaveJob::FinishState state) override;

private:
    QPointer<VideoEncoder> m_encoder;
};
