#include "AbstractTakeReader.h"

#include "CameraHttp.h"
#include "FrameXfer.h"

#include <QNetworkReply>

AbstractTakeReader::AbstractTakeReader(Util::ReqTypes type, const Range& range, QObject* parent)
    : VornReader(type, parent), m_range(range), m_framesRemaining(range.count)
{
}

AbstractTakeReader::~AbstractTakeReader()
{
    stop();
}

bool AbstractTakeReader::start()
{
    const QByteArray body =
        FrameXfer::rangeBody(int(type()), m_range.source, m_range.take, m_range.start, m_range.count);
    m_reply = CameraHttp::post(m_range.camera, QStringLiteral("/xfer"), body);
    if (!m_reply) {
        setError(QStringLiteral("can't start xfer"));
        return false;
    }
    connect(m_reply, &QNetworkReply::readyRead, this, &AbstractTakeReader::readChunk);
    connect(m_reply, &QNetworkReply::finished, this, &AbstractTakeReader::xferFinished);
    return true;
}

void AbstractTakeReader::stop()
{
    if (m_reply && m_reply->isRunning())
        CameraHttp::abort(m_reply);
}

void AbstractTakeReader::readChunk()
{
    if (!m_reply || m_reply->error() != QNetworkReply::NoError ||
        m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return;
    const qint64 frameSize = qint64(FrameXfer::imageSize(m_reply)) + FrameXfer::metaSize(m_reply);
    if (frameSize == 0) {
        setError(QStringLiteral("bad frame size"));
        CameraHttp::abort(m_reply);
        return;
    }
    const qint64 n = m_reply->bytesAvailable() / frameSize;
    if (n == 0)
        return;
    const QByteArray bytes = m_reply->read(n * frameSize);
    m_framesRead += n;
    m_framesRemaining -= n;
    if (!bytes.isEmpty())
        emit readyRead(bytes, n, m_framesRead, m_framesRemaining);
}

void AbstractTakeReader::xferFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    const QString failure = CameraHttp::errorText(reply, CameraHttp::readBody(reply));
    const bool stopped = reply->error() == QNetworkReply::OperationCanceledError && failure.isEmpty();
    if (!failure.isEmpty()) {
        fail(failure);
    } else if (!stopped && error().isEmpty()) {
        readChunk();
        // A reply that ends cleanly but was not a frame transfer, or that ended
        // before every frame arrived, must not leave the consumer waiting.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status != 200)
            fail(QStringLiteral("HTTP %1").arg(status));
        else if (m_framesRemaining > 0)
            fail(QStringLiteral("short transfer"));
    } else if (!error().isEmpty()) {
        emit readFailed(error()); // "bad frame size" aborted the reply
    }
    m_reply = nullptr;
    reply->deleteLater();
}

void AbstractTakeReader::fail(const QString& text)
{
    if (error().isEmpty())
        setError(text);
    emit readFailed(error());
}
