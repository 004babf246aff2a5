#pragma once

#include "SaveJob.h"
#include "Util.h"

#include <QObject>

class QFile;

// Reads a range of frame records of a VORN file in the reader's thread, ten
// frames at a time, one chunk per report of written frames.
class VornFileReaderWorker : public QObject
{
    Q_OBJECT

public:
    struct Range
    {
        Util::ReqTypes type = Util::ReqBoth;
        qint64 startFr = 0;
        qint64 firstFr = 0;
        quint32 imgSize = 0;
        quint32 metaSize = 0;
        quint64 dataOffset = 0;
        qint64 frCnt = 0;
    };
    static constexpr qint64 ChunkFrames = 10;

    VornFileReaderWorker(QFile* file, const Range& range);

public slots:
    void readChunk();

signals:
    void readyRead(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);
    void finished(SaveJob::FinishState state, const QString& error);

private:
    QFile* const m_file;
    const Range m_range;
    qint64 m_framesRead = 0;
    qint64 m_framesRemaining;
    bool m_done = false;
    QByteArray m_buffers[2];
    int m_turn = 0;
};
