#pragma once

// A blocking HTTP client over QNetworkAccessManager for the simulator's tests:
// it sends what the program sends (User-Agent, Content-Type on PUT and POST)
// and waits for the whole reply.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

struct SimHttpReply
{
    bool finished = false; // false: no answer within the time allowed
    int status = 0;
    QByteArray body;
    qint64 elapsedMs = 0;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

class SimHttpClient
{
public:
    explicit SimHttpClient(const QString& address) : m_base(QStringLiteral("http://") + address) {}

    SimHttpReply get(const QString& path, int timeoutMs = 5000) { return send("GET", path, {}, timeoutMs); }
    SimHttpReply put(const QString& path, const QByteArray& body, int timeoutMs = 5000)
    {
        return send("PUT", path, body, timeoutMs);
    }
    SimHttpReply post(const QString& path, const QByteArray& body = {}, int timeoutMs = 5000)
    {
        return send("POST", path, body, timeoutMs);
    }
    QJsonObject state() { return get(QString()).json(); }

    SimHttpReply send(const QByteArray& method, const QString& path, const QByteArray& body, int timeoutMs)
    {
        QNetworkRequest request(QUrl(m_base + path));
        request.setRawHeader("User-Agent", "Vorn 1.0");
        if (method != "GET")
            request.setRawHeader("Content-Type", "application/json");
        QNetworkReply* reply = m_manager.sendCustomRequest(request, method, body);
        SimHttpReply result;
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::readyRead, [&] { result.body += reply->readAll(); });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        result.finished = reply->isFinished();
        result.elapsedMs = clock.elapsed();
        if (result.finished) {
            result.body += reply->readAll();
            result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            delete reply;
        } else {
            m_pending.append(reply); // still waiting; released with the client
        }
        return result;
    }

    ~SimHttpClient()
    {
        for (QNetworkReply* reply : m_pending) {
            reply->abort();
            delete reply;
        }
    }

private:
    QString m_base;
    QNetworkAccessManager m_manager;
    QList<QNetworkReply*> m_pending;
};
