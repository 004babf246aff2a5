#pragma once

#include "VornWriter.h"

class PlaybackVornObject;
class QFile;

// Writes a VORN file: the fixed header, the source's values as a compact JSON
// header, then the frame records exactly as they arrive, from the first
// 4096-byte boundary after the JSON on. It never overwrites a file: an
// existing name gets " (n)" added.
class VornFileWriter : public VornWriter
{
    Q_OBJECT

public:
    static constexpr quint32 Version = 2;
    static constexpr quint64 JsonOffset = 36;
    static constexpr quint32 HeaderWord = 5;

    explicit VornFileWriter(FileSaveJob* job);

    bool start() override;

    // Where the frame records start after a JSON text of this length.
    static quint64 dataOffsetFor(quint64 jsonSize) { return (JsonOffset + jsonSize + 4095) & ~quint64(4095); }
    // The size of a VORN file of `frames` frames of the source.
    static qint64 estFileSize(const PlaybackVornObject* source, qint64 frames);
    // The header bytes (fixed part and JSON) for a range of the source.
    static QByteArray header(const PlaybackVornObject* source, qint64 startFr, qint64 frCnt,
                             quint64* dataOffset);

protected:
    void close(SaveJob::FinishState state) override;

private:
    QFile* m_file = nullptr;
};
