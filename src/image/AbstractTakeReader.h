#pragma once

#include "VornReader.h"

#include <QHostAddress>
#include <QPointer>

#include <QNetworkReply>
#include <QTimer>

// Streams a range of frames of a take from the camera with /xfer requests
// and hands them on in chunks of whole records as they arrive.
//
// The records must have the shape the save expects (the take's geometry),
// whatever a reply's size headers announce; a reply that differs ends the
// read with "bad frame size from camera" before anything is sized from it.
//
// Memory stays flat however slow the writer. The network layer buffers a
// reply whole, so the range is asked for in windows of about WindowBytes,
// one at a time, and the next window only once the writer is within one
// window of what was handed on: at most two windows are ever held. A writer
// that keeps up (a VORN file) gets the next window as soon as the last one
// has arrived. Whatever arrived before a failure is still handed on, then
// the failure is reported.
//
// A transfer that delivers no whole record for the application's transfer
// stall limit has stalled and fails ("transfer stalled"): a camera that
// trickles a few bytes now and then would otherwise hold the save for ever.
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

    static constexpr qint64 WindowBytes = 16 << 20;

    AbstractTakeReader(Util::ReqTypes type, const Range& range, QObject* parent = nullptr);
    ~AbstractTakeReader() override;

    // The image and metadata sizes of the take's records.
    void expectRecords(quint32 imgSize, quint32 metaSize);
    // Frames asked for by one request.
    qint64 windowFrames() const;

    bool start() override;
    void stop() override;

    // Hands on every whole record that has arrived: the read is about to be
    // stopped.
    void handOnArrived();

    qint64 framesRead() const { return m_framesRead; }
    qint64 framesRemaining() const { return m_framesRemaining; }
    // A request is out or more are to come.
    bool running() const { return m_reply || (m_started && !m_ended); }

public slots:
    // The writer has written this many frames: the next window may be due.
    void setFramesWritten(qint64 framesWritten);

private slots:
    void readChunk();
    void xferFinished();

private:
    bool requestWindow();
    void requestNextWindowWhenDue();
    // Checks a reply's size headers against the take once they are known.
    bool acceptSizes();
    void handOn(qint64 frames);
    // Ends the reply once it has finished and nothing whole is left in it.
    void endIfDrained();
    void release();
    void end(const QString& failure);
    void stalled();

    const Range m_range;
    quint32 m_expectedImgSize = 0;
    quint32 m_expectedMetaSize = 0;
    QPointer<QNetworkReply> m_reply;
    // Runs while a request is out; restarted by every record handed on.
    QTimer* m_stallTimer;
    bool m_started = false;
    bool m_ended = false;
    bool m_replyFinished = false;
    QString m_replyFailure;
    // Bytes of one record in the reply, and of the part of it handed on:
    // parts the save did not ask for are left out.
    qint64 m_replyRecordSize = 0;
    qint64 m_keptRecordSize = 0;
    qint64 m_framesRequested = 0;
    // Frames of the current window still to come, and its body's bytes taken.
    qint64 m_windowRemaining = 0;
    qint64 m_bytesTaken = 0;
    qint64 m_framesRead = 0;
    qint64 m_framesRemaining;
    qint64 m_framesWritten = 0;
};
