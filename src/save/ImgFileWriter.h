#pragma once

#include "VornWriter.h"

class PlaybackVornObject;

// Writes one TIFF per frame, processed with the source's adjustments as they
// were when the save started, or one DNG per frame of the camera's own
// mosaic. Images already written stay, whatever the end.
class ImgFileWriter : public VornWriter
{
    Q_OBJECT

public:
    explicit ImgFileWriter(FileSaveJob* job);

    bool start() override;

    // Bytes of `frames` uncompressed images of the source in this codec.
    // A DNG holds one byte per pixel and its tags.
    static qint64 estFileSize(const PlaybackVornObject* source, qint64 frames, Util::Format format,
                              Util::Codec codec);

protected:
    void close(SaveJob::FinishState) override {}

private:
    bool folderWritable();
};
