#pragma once

#include "VornWriter.h"

class PlaybackVornObject;
class QFile;

// Writes the frames' metadata as a CSV file, one row per frame: frame
// number, time stamp, time-code lock, the two event flags and the user data.
// It never overwrites a file: an existing name gets " (n)" added.
class MetaFileWriter : public VornWriter
{
    Q_OBJECT

public:
    static constexpr const char* HeaderLine =
        "\"frame\",\"timestamp\",\"timecode_lock\",\"event1\",\"event2\",\"user_data\"\r\n";

    explicit MetaFileWriter(FileSaveJob* job);

    bool start() override;

    // The size of the CSV file of `frames` frames of the source; frame
    // numbers are counted as wide as the source's widest.
    static qint64 estFileSize(const PlaybackVornObject* source, qint64 frames);

protected:
    void close(SaveJob::FinishState state) override;

private:
    QFile* m_file = nullptr;
};
