#pragma once

#include "SaveJob.h"

#include <QObject>

class QFile;

// The half of a writer that runs in the writer's thread. It takes the whole
// frame records the reader hands on, writes no more frames than the job
// asked for, and ends the write: after the last frame, at its own first
// failure, or when it is told that no more input will come, but only after
// everything that arrived before that has been written.
class VornWriterWorker : public QObject
{
    Q_OBJECT

public:
    // `frCnt` records of `recordSize` bytes each make the save.
    VornWriterWorker(qint64 frCnt, qint64 recordSize);

    // A failure text with the system's reason, "write error (No space left
    // on device)".
    static QString withReason(const QString& text, const QString& reason);
    // Writes all `size` bytes. A write the system cut short is tried again,
    // so that its reason (a full disk) is known; false with `reason` set
    // when not everything could be written.
    static bool writeFully(QFile* file, const char* data, qint64 size, QString* reason);
    // Writes `bytes`, made in memory, as image k of an image sequence named
    // `name`: always a new file, with the first free " (n)" added when the
    // name is taken, so an existing image is never written over. An image
    // that could not be written whole is removed; false with `error` (and
    // the system's reason) then.
    static bool writeImageFile(const SaveFileName& name, qint64 k, const QByteArray& bytes, QString* error);

public slots:
    // `data` holds `dataFrameCnt` whole records (fed by the reader's
    // readyRead); the reader's counters are not needed here.
    void writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);
    // The input ended early with `error`: end the write with what came.
    void endInput(const QString& error);

signals:
    void framesWritten(qint64 framesWritten);
    void finished(SaveJob::FinishState state, const QString& error, bool cancelReader);

protected:
    // Writes `count` whole records, the first being frame offset `first` of
    // the range. Returns how many were written completely; when that is
    // fewer than `count`, `error` says why.
    virtual qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) = 0;
    // Completes the output after the last frame or after a failure (a video
    // trailer); false with `error` set when it cannot be completed.
    virtual bool completeOutput(bool allWritten, QString* error);

    // True once the writer has begun to finish: chunks still on their way are
    // dropped.
    static bool stopRequested();

private:
    void end(SaveJob::FinishState state, const QString& error, bool cancelReader);

    const qint64 m_frCnt;
    const qint64 m_recordSize;
    qint64 m_framesWritten = 0;
    bool m_done = false;
};
