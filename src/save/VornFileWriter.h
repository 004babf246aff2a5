#pragma once

#include "VornWriter.h"

#include <QJsonObject>

class PlaybackVornObject;
class QFile;

// Writes a VORN file: the fixed header, the source's values as a compact JSON
// header, then the frame records exactly as they arrive, from the first
// 4096-byte boundary after the JSON on. It never overwrites a file: an
// existing name gets " (n)" added.
//
// A save that fails keeps the whole records it wrote and rewrites the header
// to say so ("fr_cnt", "last_fr"), so the file opens with exactly those
// frames.
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
    // The JSON header of a range of the source: its values and the range.
    static QJsonObject headerDocument(const PlaybackVornObject* source, qint64 startFr, qint64 frCnt);
    // The fixed header and the JSON text of a document.
    static QByteArray headerBytes(const QJsonObject& document, quint64* dataOffset);

protected:
    void close(SaveJob::FinishState state) override;

private:
    // Cuts the file back to its whole records and makes the header count
    // them; false when the header could not be rewritten.
    bool keepWholeRecords();
    bool rewriteHeader(qint64 frames);

    QFile* m_file = nullptr;
    QJsonObject m_document;
    quint64 m_dataOffset = 0;
    quint64 m_jsonSize = 0;
    qint64 m_recordSize = 0;
};
