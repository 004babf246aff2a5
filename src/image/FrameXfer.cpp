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

static quint64 yearOffsetOf(const RawFrame* frame)
{
    for (QObject* o = frame->parent(); o; o = o->parent()) {
        if (auto* object = qobject_cast<VornObject*>(o))
            return object->yearOffsetSeconds();
    }
    return 0;
}

static void getFrameXferFinished(QNetworkReply* reply)
{
    auto* frame = reply->property("rawFrame").value<RawFrame*>();
    if (!frame)
        return;
    const QByteArray data = CameraHttp::readBody(reply);
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "getFrameXferFinished error";
        emit frame->initError();
        return;
    }
    const bool img = reply->hasRawHeader("Img-Width");
    const quint16 width = quint16(header(reply, img ? "Img-Width" : "Fr-Width"));
    const quint16 height = quint16(header(reply, img ? "Img-Height" : "Fr-Height"));
    const quint32 size = header(reply, img ? "Img-Size" : "Fr-Size");
    frame->set(data, width, height, size, metaSize(reply), yearOffsetOf(frame));
    emit frame->initFinished();
}

int postFrameXfer(RawFrame* frame, const QHostAddress& camera, const QByteArray& body)
{
    if (!frame)
        return -1;
    QNetworkReply* reply = CameraHttp::post(camera, QStringLiteral("/xfer"), body);
    if (!reply)
        return -1;
    reply->setProperty("rawFrame", QVariant::fromValue(frame));
    // The frame is the context: a frame deleted before the reply arrives
    // leaves the reply to be released without a handler.
    QObject::connect(reply, &QNetworkReply::finished, frame, [reply] { getFrameXferFinished(reply); });
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    return 0;
}

} // namespace FrameXfer
