#pragma once

#include "VornReader.h"

#include <QHostAddress>
#include <QPointer>

#include <QNetworkReply>

// Streams a range of frames of a take from the camera with one /xfer request
// and hands them on in chunks of whole records as they arrive, so memory holds
// at most what one network read delivered.
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

    AbstractTakeReader(Util::ReqTypes type, const Range& range, QObject* parent = nullptr);
    ~AbstractTakeReader() override;

    bool start() override;
    void stop() override;

    qint64 framesRead() const { return m_framesRead; }
    qint64 framesRemaining() const { return m_framesRemaining; }
    bool running() const { return m_reply; }

private slots:
    void readChunk();
    void xferFinished();

private:
    void fail(const QString& text);

    const Range m_range;
    QPointer<QNetworkReply> m_reply;
    qint64 m_framesRead = 0;
    qint64 m_framesRemaining;
};
