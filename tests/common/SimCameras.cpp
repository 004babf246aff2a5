#include "SimCameras.h"

#include "Camera.h"
#include "FrameSynth.h"
#include "VornApp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

namespace {

bool send(QNetworkAccessManager& nam, const QByteArray& verb, const QString& url, const QByteArray& body)
{
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Content-Type", "application/json");
    QNetworkReply* reply = nam.sendCustomRequest(request, verb, body);
    const bool finished = QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000);
    const bool ok = finished && reply->error() == QNetworkReply::NoError;
    delete reply;
    return ok;
}

QList<int> savedTakes(q7sim::SimCamera* camera)
{
    QList<int> takes;
    const QJsonArray list = camera->stateDocument().value("acq").toObject().value("saved_takes").toArray();
    for (const QJsonValue& v : list)
        takes.append(v.toInt());
    return takes;
}

} // namespace

QStringList SimCameras::burnInLines(const q7sim::FrameParams& params, qint64 fr, quint64 yearOffset,
                                    const QString& camera)
{
    const qint64 ns = q7sim::FrameSynth::frameTimeNs(params, fr);
    const qint64 seconds = (ns / 1000000000) & 0x1FFFFFF; // as the metadata carries it
    const QString time = QDateTime::fromSecsSinceEpoch(qint64(yearOffset) + seconds, Qt::UTC)
                             .toString("yyyy-MM-dd'T'HH:mm:ss") +
                         QString(".%1Z").arg(ns % 1000000000, 9, 10, QChar('0'));
    const qint64 us = qRound64(double(fr) * params.frClks * 1e6 / params.clkFreq);
    const QString trigger = QString("Trigger %1%2.%3 ms")
                                .arg(us < 0 ? "-" : "+")
                                .arg(qAbs(us) / 1000)
                                .arg(qAbs(us) % 1000, 3, 10, QChar('0'));
    return {time, QString("Frame %1").arg(fr), trigger, camera};
}

q7sim::SimCamera* SimCameras::start(q7sim::CameraConfig config)
{
    auto camera = std::make_unique<q7sim::SimCamera>(config);
    if (!camera->start()) {
        qWarning() << "simulated camera at" << config.address << "did not start:" << camera->errorString();
        return nullptr;
    }
    m_cameras.push_back(std::move(camera));
    return m_cameras.back().get();
}

QList<q7sim::RecordedRequest> SimCameras::requests(const q7sim::SimCamera* camera, const QString& method,
                                                   const QString& path)
{
    QList<q7sim::RecordedRequest> found;
    const auto all = camera->requests();
    for (const auto& request : all) {
        if (request.method == method && request.path == path)
            found.append(request);
    }
    return found;
}

int SimCameras::recordTake(q7sim::SimCamera* camera, int preMs, int postFrames)
{
    QNetworkAccessManager nam;
    const QString base = QStringLiteral("http://") + camera->config().address;
    const QList<int> before = savedTakes(camera);
    if (!send(nam, "PUT", base + "/acq/trig_offset", QByteArray::number(postFrames)) ||
        !send(nam, "POST", base + "/rec", QByteArray()))
        return 0;
    QTest::qWait(preMs);
    if (!send(nam, "POST", base + "/trig", QByteArray()))
        return 0;
    int take = 0;
    (void)QTest::qWaitFor(
        [&] {
            for (int t : savedTakes(camera)) {
                if (!before.contains(t))
                    take = t;
            }
            return take != 0;
        },
        10000);
    return take;
}

Camera* SimCameras::connect(const q7sim::SimCamera* camera)
{
    if (!camera)
        return nullptr;
    VornApp* app = VornApp::instance();
    app->connectCamera(camera->config().address);
    Camera* connected = app->findCamera(QHostAddress(camera->config().address));
    if (!connected || !QTest::qWaitFor([connected] { return connected->connected(); }, 5000))
        return nullptr;
    return connected;
}

Take* SimCameras::recordedTake(q7sim::SimCamera* camera, int preMs, int postFrames)
{
    const int takeId = recordTake(camera, preMs, postFrames);
    Camera* connected = takeId > 0 ? connect(camera) : nullptr;
    if (!connected || !QTest::qWaitFor([&] { return connected->takes()->count() >= takeId; }, 3000))
        return nullptr;
    Take* take = connected->takes()->at(takeId - 1);
    return QTest::qWaitFor([take] { return take->valuesInit(); }, 3000) ? take : nullptr;
}

bool SimCameras::put(const QString& address, const QString& path, const QByteArray& body)
{
    QNetworkAccessManager nam;
    return send(nam, "PUT", QStringLiteral("http://") + address + path, body);
}

bool SimCameras::post(const QString& address, const QString& path, const QByteArray& body)
{
    QNetworkAccessManager nam;
    return send(nam, "POST", QStringLiteral("http://") + address + path, body);
}
