#pragma once

#include "VornReader.h"

#include <QHostAddress>
#include <QPointer>

#include <QNetworkReply>

// Streams a range of frames of a take from the camera with one /xfer request
// and hands them on in chunks of whole records as they arrive.
//
// The records must have the shape the save expects (the take's geometry),
// whatever the reply's size headers announce; a reply that differs ends the
// read with "bad frame size from camera" before anything is sized from it.
//
// Memory stays flat however slow the writer: at most MaxPendingBytes of
// records are handed on and not yet written, and the reply's own buffer is
// bounded by as much again, beyond which the network holds the camera back.
// Whatever arrived before a failure is still handed on, then the failure is
// reported.
class AbstractTakeReader : public VornReader
{
    Q_OBJECT

public:
    struct Range
    {
        QHostAddress camera;
        int source = 0; // 0 memory take, 2 SSD take
        int take = 0;
        qint64 start = 0;
        qint64 count = 0;
    };

    static constexpr qint64 MaxPendingBytes = 32 << 20;

    AbstractTakeReader(Util::ReqTypes type, const Range& range, QObject* parent = nullptr);
    ~AbstractTakeReader() override;

    // The image and metadata sizes of the take's records.
    void expectRecords(quint32 imgSize, quint32 metaSize);

    bool start() override;
    void stop() override;

    // Hands on every whole record that has arrived, whatever the writer's
    // pace: the read is about to be stopped.
    void handOnArrived();

    qint64 framesRead() const { return m_framesRead; }
    qint64 framesRemaining() const { return m_framesRemaining; }
    bool running() const { return m_reply; }

public slots:
    // The writer has written this many frames: more may be handed on.
    void setFramesWritten(qint64 framesWritten);

private slots:
    void readChunk();
    void xferFinished();

private:
    // Checks the reply's size headers against the take once they are known.
    bool acceptSizes();
    void handOn(qint64 frames);
    // Ends the read once the reply has finished and nothing whole is left.
    void endIfDrained();
    void release();
    void fail(const QString& text);

    const Range m_range;
    quint32 m_expectedImgSize = 0;
    quint32 m_expectedMetaSize = 0;
    QPointer<QNetworkReply> m_reply;
    bool m_replyFinished = false;
    QString m_replyFailure;
    // Bytes of one record in the reply, and of the part of it handed on:
    // parts the save did not ask for are left out.
    qint64 m_replyRecordSize = 0;
    qint64 m_keptRecordSize = 0;
    qint64 m_bytesTaken = 0;
    qint64 m_framesRead = 0;
    qint64 m_framesRemaining;
    qint64 m_framesWritten = 0;
};
