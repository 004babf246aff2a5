#include "FrameXfer.h"

#include "CameraHttp.h"
#include "RawFrame.h"
#include "VornObject.h"

#include <QDebug>
#include <QNetworkReply>

namespace FrameXfer {

QByteArray takeFrameBody(int source, int take, qint64 frame)
{
    return QStringLiteral("{\"type\":3,\"src\":%1,\"take\":%2,\"start\":%3,\"cnt\":1,\"lock\":0}")
        .arg(source)
        .arg(take)
        .arg(frame)
        .toUtf8();
}

QByteArray liveFrameBody()
{
    return QByteArrayLiteral("{\"type\":3,\"src\":1}");
}

QByteArray rangeBody(int type, int source, int take, qint64 start, qint64 count)
{
    return QStringLiteral("{\"type\":%1,\"src\":%2,\"take\":%3,\"start\":%4,\"cnt\":%5}")
        .arg(type)
        .arg(source)
        .arg(take)
        .arg(start)
        .arg(count)
        .toUtf8();
}

static quint32 header(const QNetworkReply* reply, const char* name)
{
    return reply->rawHeader(name).trimmed().toUInt();
}

quint32 imageSize(const QNetworkReply* reply)
{
    return reply->hasRawHeader("Img-Size") ? header(reply, "Img-Size") : header(reply, "Fr-Size");
}

quint32 metaSize(const QNetworkReply* reply)
{
    return header(reply, "Meta-Size");
}

Announced announced(const QNetworkReply* reply)
{
    const bool img = reply->hasRawHeader("Img-Width");
    Announced sizes;
    sizes.width = header(reply, img ? "Img-Width" : "Fr-Width");
    sizes.height = header(reply, img ? "Img-Height" : "Fr-Height");
    sizes.imgSize = header(reply, img ? "Img-Size" : "Fr-Size");
    sizes.metaSize = metaSize(reply);
    return sizes;
}

bool acceptable(const Announced& sizes, qint64 bodySize, const Expected& expected)
{
    if (sizes.width == 0 || sizes.height == 0 || sizes.width > 0xFFFF || sizes.height > 0xFFFF ||
        !FrameLimits::validGeometry(quint16(sizes.width), quint16(sizes.height), sizes.imgSize,
                                    sizes.metaSize))
        return false;
    if (expected.width && expected.height &&
        (sizes.width != expected.width || sizes.height != expected.height))
        return false;
    if (expected.metaSize && sizes.metaSize != expected.metaSize)
        return false;
    return bodySize < 0 || bodySize >= qint64(sizes.metaSize) + sizes.imgSize;
}

namespace {

// Set on a reply cut off for its sizes: the body bytes it had then.
constexpr char CutOffProperty[] = "vornBadFrameBody";
// Set on an object once its bad frame has been logged.
constexpr char LoggedProperty[] = "vornBadFrameLogged";

// The object that asked for the frame: its nearest VornObject ancestor.
VornObject* ownerOf(const RawFrame* frame)
{
    for (QObject* o = frame->parent(); o; o = o->parent()) {
        if (auto* object = qobject_cast<VornObject*>(o))
            return object;
    }
    return nullptr;
}

// A camera that sends one bad frame usually sends nothing else: once per
// object is enough to tell what it announced.
void warnBadFrame(const RawFrame* frame, const Announced& sizes, qint64 bodySize, const Expected& expected)
{
    QObject* owner = ownerOf(frame);
    if (owner) {
        if (owner->property(LoggedProperty).toBool())
            return;
        owner->setProperty(LoggedProperty, true);
    }
    QString text = QStringLiteral("%1: bad frame size from camera: %2 x %3, image %4, meta %5, body %6")
                       .arg(owner ? owner->objectName() : QStringLiteral("frame"))
                       .arg(sizes.width)
                       .arg(sizes.height)
                       .arg(sizes.imgSize)
                       .arg(sizes.metaSize)
                       .arg(bodySize);
    if (expected.width || expected.metaSize)
        text += QStringLiteral(" (expected %1 x %2, meta %3)")
                    .arg(expected.width)
                    .arg(expected.height)
                    .arg(expected.metaSize);
    qWarning().noquote() << text;
}

// Cuts a reply off as soon as its headers are not acceptable or its body
// outgrows any frame, so that a lying camera costs neither memory nor time.
void checkArriving(QNetworkReply* reply, const Expected& expected)
{
    // An error answer is not a frame; it fails as such when it ends.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isFinished() || reply->property(CutOffProperty).isValid() || status < 200 || status >= 300)
        return;
    const qint64 available = reply->bytesAvailable();
    if (acceptable(announced(reply), -1, expected) && available <= MaxBodyBytes)
        return;
    reply->setProperty(CutOffProperty, available);
    CameraHttp::abort(reply);
}

void getFrameXferFinished(QNetworkReply* reply, const Expected& expected)
{
    auto* frame = reply->property("rawFrame").value<RawFrame*>();
    if (!frame)
        return;
    const QVariant cutOff = reply->property(CutOffProperty);
    QByteArray data = CameraHttp::readBody(reply);
    if (!cutOff.isValid() && reply->error() != QNetworkReply::NoError) {
        qDebug() << "getFrameXferFinished error";
        emit frame->initError();
        return;
    }
    const Announced sizes = announced(reply);
    const qint64 bodySize = cutOff.isValid() ? cutOff.toLongLong() : data.size();
    if (cutOff.isValid() || !acceptable(sizes, bodySize, expected)) {
        warnBadFrame(frame, sizes, bodySize, expected);
        emit frame->initError();
        return;
    }
    // One record: anything after it is not this frame's.
    data.truncate(qsizetype(sizes.metaSize) + sizes.imgSize);
    const VornObject* owner = ownerOf(frame);
    frame->set(data, quint16(sizes.width), quint16(sizes.height), sizes.imgSize, sizes.metaSize,
               owner ? owner->yearOffsetSeconds() : 0);
    emit frame->initFinished();
}

} // namespace

int postFrameXfer(RawFrame* frame, const QHostAddress& camera, const QByteArray& body,
                  const Expected& expected)
{
    if (!frame)
        return -1;
    QNetworkReply* reply =
        CameraHttp::post(camera, QStringLiteral("/xfer"), body, CameraHttp::FrameTimeoutMs);
    if (!reply)
        return -1;
    reply->setProperty("rawFrame", QVariant::fromValue(frame));
    // The frame is the context: a frame deleted before the reply arrives
    // leaves the reply to be released without a handler.
    QObject::connect(reply, &QNetworkReply::readyRead, frame,
                     [reply, expected] { checkArriving(reply, expected); });
    QObject::connect(reply, &QNetworkReply::finished, frame,
                     [reply, expected] { getFrameXferFinished(reply, expected); });
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    return 0;
}

} // namespace FrameXfer
