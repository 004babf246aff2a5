#include "CameraHttp.h"

#include "VornApp.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace CameraHttp {

QNetworkRequest request(const QHostAddress& address, const QString& path, bool jsonBody, int timeoutMs)
{
    QNetworkRequest req(VornApp::cameraUrl(address, path));
    req.setRawHeader("User-Agent", "Vorn 1.0");
    if (jsonBody)
        req.setRawHeader("Content-Type", "application/json");
    req.setTransferTimeout(timeoutMs);
    return req;
}

static QNetworkAccessManager* manager()
{
    VornApp* app = VornApp::instance();
    return app ? app->networkAccessManager() : nullptr;
}

QNetworkReply* get(const QHostAddress& address, const QString& path, int timeoutMs)
{
    QNetworkAccessManager* nam = manager();
    return nam ? nam->get(request(address, path, false, timeoutMs)) : nullptr;
}

QNetworkReply* post(const QHostAddress& address, const QString& path, const QByteArray& body, int timeoutMs)
{
    QNetworkAccessManager* nam = manager();
    return nam ? nam->post(request(address, path, true, timeoutMs), body) : nullptr;
}

QNetworkReply* put(const QHostAddress& address, const QString& path, const QByteArray& body)
{
    QNetworkAccessManager* nam = manager();
    return nam ? nam->put(request(address, path, true), body) : nullptr;
}

void abort(QNetworkReply* reply)
{
    reply->setProperty(AbortedProperty, true);
    reply->abort();
}

void releaseWhenFinished(QNetworkReply* reply)
{
    if (reply)
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

QByteArray readBody(QNetworkReply* reply)
{
    return reply->isOpen() ? reply->readAll() : QByteArray();
}

QJsonDocument jsonReply(QNetworkReply* reply, const QObject* owner)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(readBody(reply), &error);
    if (document.isNull())
        qCritical().noquote() << owner->objectName() + QStringLiteral(": json parse error:")
                              << error.errorString();
    return document;
}

QString errorText(QNetworkReply* reply, const QByteArray& body)
{
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError)
        return QString();
    // An inactivity timeout also ends a reply as "cancelled"; only an abort the
    // program asked for (markAborted) is a quiet end.
    if (error == QNetworkReply::OperationCanceledError)
        return reply->property(AbortedProperty).toBool() ? QString() : QStringLiteral("timed out");
    const QJsonValue text = QJsonDocument::fromJson(body).object().value(QStringLiteral("error"));
    if (text.isString())
        return text.toString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A link that broke before or during a successful answer is no HTTP error:
    // "HTTP 200" would tell the user nothing.
    if (status < 400)
        return QStringLiteral("connection lost");
    return QStringLiteral("HTTP %1").arg(status);
}

} // namespace CameraHttp
