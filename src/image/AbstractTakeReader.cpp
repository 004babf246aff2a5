#include "AbstractTakeReader.h"

#include "CameraHttp.h"
#include "FrameLimits.h"
#include "FrameXfer.h"
#include "VornApp.h"

#include <QDebug>
#include <QNetworkReply>

AbstractTakeReader::AbstractTakeReader(Util::ReqTypes type, const Range& range, QObject* parent)
    : VornReader(type, parent), m_range(range), m_stallTimer(new QTimer(this)), m_framesRemaining(range.count)
{
    m_stallTimer->setSingleShot(true);
    VornApp* app = VornApp::instance();
    m_stallTimer->setInterval(app ? app->transferStallMs() : CameraHttp::CommandTimeoutMs);
    connect(m_stallTimer, &QTimer::timeout, this, &AbstractTakeReader::stalled);
}

AbstractTakeReader::~AbstractTakeReader()
{
    release();
}

void AbstractTakeReader::expectRecords(quint32 imgSize, quint32 metaSize)
{
    m_expectedImgSize = imgSize;
    m_expectedMetaSize = metaSize;
}

qint64 AbstractTakeReader::windowFrames() const
{
    const qint64 record = ((type() & Util::ReqImg) ? qint64(m_expectedImgSize) : 0) +
                          ((type() & Util::ReqMeta) ? qint64(m_expectedMetaSize) : 0);
    return record > 0 ? qMax<qint64>(1, WindowBytes / record) : qMax<qint64>(1, m_range.count);
}

bool AbstractTakeReader::start()
{
    m_started = true;
    if (!requestWindow()) {
        m_ended = true;
        setError(QStringLiteral("can't start xfer"));
        return false;
    }
    return true;
}

bool AbstractTakeReader::requestWindow()
{
    const qint64 frames = qMin(windowFrames(), m_range.count - m_framesRequested);
    const QByteArray body = FrameXfer::rangeBody(int(type()), m_range.source, m_range.take,
                                                 m_range.start + m_framesRequested, frames);
    // No inactivity timeout of the request: the stall limit covers silence
    // as well as a trickle.
    m_reply = CameraHttp::post(m_range.camera, QStringLiteral("/xfer"), body, 0);
    if (!m_reply)
        return false;
    m_stallTimer->start();
    m_framesRequested += frames;
    m_windowRemaining = frames;
    m_bytesTaken = 0;
    m_replyFinished = false;
    m_replyFailure.clear();
    m_replyRecordSize = 0;
    connect(m_reply, &QNetworkReply::readyRead, this, &AbstractTakeReader::readChunk);
    connect(m_reply, &QNetworkReply::finished, this, &AbstractTakeReader::xferFinished);
    return true;
}

void AbstractTakeReader::requestNextWindowWhenDue()
{
    if (m_reply || m_ended || m_framesRequested >= m_range.count)
        return;
    // Handed on and not yet written: the writer must be within one window.
    if ((m_framesRead - m_framesWritten) * m_keptRecordSize > WindowBytes)
        return;
    if (!requestWindow())
        end(QStringLiteral("can't start xfer"));
}

void AbstractTakeReader::stop()
{
    m_ended = true;
    release();
}

void AbstractTakeReader::release()
{
    m_stallTimer->stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    disconnect(reply, nullptr, this, nullptr);
    if (reply->isRunning())
        CameraHttp::abort(reply);
    reply->deleteLater();
}

void AbstractTakeReader::setFramesWritten(qint64 framesWritten)
{
    m_framesWritten = framesWritten;
    requestNextWindowWhenDue();
}

bool AbstractTakeReader::acceptSizes()
{
    if (m_replyRecordSize > 0)
        return true;
    const quint32 imgSize = FrameXfer::imageSize(m_reply);
    const quint32 metaSize = FrameXfer::metaSize(m_reply);
    const bool wantImg = type() & Util::ReqImg;
    const bool wantMeta = type() & Util::ReqMeta;
    // What was asked for must be the take's; a part that was not asked for
    // but came anyway is only bounded, and left out.
    const bool valid = imgSize <= FrameLimits::MaxImgSize && metaSize <= FrameLimits::MaxMetaSize &&
                       (!wantImg || imgSize == m_expectedImgSize) &&
                       (!wantMeta || metaSize == m_expectedMetaSize) &&
                       (wantImg ? imgSize : 0) + (wantMeta ? metaSize : 0) > 0;
    if (!valid) {
        qWarning().noquote() << QStringLiteral("bad frame size from camera: image %1 bytes, metadata %2, "
                                               "the take's %3 and %4")
                                    .arg(imgSize)
                                    .arg(metaSize)
                                    .arg(m_expectedImgSize)
                                    .arg(m_expectedMetaSize);
        end(QStringLiteral("bad frame size from camera"));
        return false;
    }
    m_replyRecordSize = qint64(imgSize) + metaSize;
    m_keptRecordSize = (wantImg ? qint64(imgSize) : 0) + (wantMeta ? qint64(metaSize) : 0);
    return true;
}

void AbstractTakeReader::readChunk()
{
    if (!m_reply || m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return; // an error's body is read when the reply ends
    if (!acceptSizes())
        return;
    const qint64 frames = qMin(m_reply->bytesAvailable() / m_replyRecordSize, m_windowRemaining);
    if (frames > 0)
        handOn(frames);
    // More than was asked for: nothing of it is kept.
    if (m_windowRemaining == 0)
        m_bytesTaken += m_reply->skip(m_reply->bytesAvailable());
    endIfDrained();
}

void AbstractTakeReader::handOnArrived()
{
    if (m_reply && m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200 &&
        acceptSizes()) {
        const qint64 frames = qMin(m_reply->bytesAvailable() / m_replyRecordSize, m_windowRemaining);
        if (frames > 0)
            handOn(frames);
    }
}

void AbstractTakeReader::handOn(qint64 frames)
{
    QByteArray bytes = m_reply->read(frames * m_replyRecordSize);
    m_bytesTaken += bytes.size();
    if (m_keptRecordSize != m_replyRecordSize) {
        // Each record is metadata then image; keep the part that was asked for.
        const qint64 skip = (type() & Util::ReqMeta) ? 0 : m_replyRecordSize - m_keptRecordSize;
        QByteArray kept(frames * m_keptRecordSize, Qt::Uninitialized);
        for (qint64 i = 0; i < frames; ++i)
            memcpy(kept.data() + i * m_keptRecordSize, bytes.constData() + i * m_replyRecordSize + skip,
                   size_t(m_keptRecordSize));
        bytes = kept;
    }
    m_windowRemaining -= frames;
    m_framesRead += frames;
    if (m_reply)
        m_stallTimer->start();
    m_framesRemaining -= frames;
    emit readyRead(bytes, frames, m_framesRead, m_framesRemaining);
}

void AbstractTakeReader::xferFinished()
{
    if (!m_reply)
        return;
    m_replyFinished = true;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A transfer's body is records; only an error reply's body explains it.
    m_replyFailure =
        CameraHttp::errorText(m_reply, status == 200 ? QByteArray() : CameraHttp::readBody(m_reply));
    readChunk();
    endIfDrained();
}

void AbstractTakeReader::endIfDrained()
{
    if (!m_reply || !m_replyFinished)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString failure = m_replyFailure;
    // A link that broke is not always reported as such: a body shorter than
    // its announced length tells.
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const bool cut = length.isValid() && m_bytesTaken + m_reply->bytesAvailable() < length.toLongLong();
    if (failure.isEmpty() && status != 200)
        failure = QStringLiteral("HTTP %1").arg(status);
    else if (failure.isEmpty() && m_windowRemaining > 0)
        failure = cut ? QStringLiteral("connection lost") : QStringLiteral("short transfer");
    if (!failure.isEmpty()) {
        end(failure);
        return;
    }
    release();
    if (m_framesRemaining <= 0)
        m_ended = true; // the writer ends the save on its own count
    else
        requestNextWindowWhenDue();
}

void AbstractTakeReader::stalled()
{
    if (!m_reply || m_ended)
        return;
    if (m_windowRemaining == 0) {
        // Every frame asked for is in; only the end of the reply is missing.
        release();
        if (m_framesRemaining <= 0)
            m_ended = true;
        else
            requestNextWindowWhenDue();
        return;
    }
    qWarning().noquote() << "transfer stalled: no whole frame from" << m_range.camera.toString() << "for"
                         << m_stallTimer->interval() << "ms";
    handOnArrived();
    end(QStringLiteral("transfer stalled (no frame for %1 s)").arg(m_stallTimer->interval() / 1000.0));
}

void AbstractTakeReader::end(const QString& failure)
{
    m_ended = true;
    release();
    if (error().isEmpty())
        setError(failure);
    emit readFailed(error());
}
