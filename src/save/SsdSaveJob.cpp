#include "SsdSaveJob.h"

#include "Camera.h"
#include "CameraHttp.h"
#include "JsonText.h"
#include "Take.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QNetworkReply>
#include <QTimer>

namespace {

SaveJob::Params ssdParams(SaveJob::Params params)
{
    params.dest = SaveJob::SsdDest;
    params.format = Util::Format(0);
    params.codec = Util::Codec(0);
    params.frameRate = 0;
    params.quality = 0;
    return params;
}

SaveJob::SourceInfo takeInfo(Take* take)
{
    SaveJob::SourceInfo info;
    info.cameraName = take->camera()->name()->value().toString();
    info.takeId = take->takeId();
    return info;
}

int intValue(Camera* camera, const char* name)
{
    auto* value = camera->property(name).value<CameraValue*>();
    return value ? value->value().toInt() : 0;
}

// Camera::SsdState SsdReady.
constexpr int SsdReady = 3;

} // namespace

SsdSaveJob::SsdSaveJob(QObject* parent, Take* take, const Params& params, const SaveFileName& outputName)
    : SaveJob(parent, take, take->camera()->ssdSaveJobQueue(), takeInfo(take), ssdParams(params), outputName),
      m_camera(take->camera())
{
}

Take* SsdSaveJob::take() const
{
    auto* take = qobject_cast<Take*>(source());
    return take && take->camera() ? take : nullptr;
}

Camera* SsdSaveJob::camera() const
{
    return m_camera;
}

QByteArray SsdSaveJob::requestBody() const
{
    const int level = intValue(camera(), "featureSsdSave");
    const QString head = QStringLiteral("{\"take\":%1,\"start\":%2,\"cnt\":%3")
                             .arg(sourceTakeId())
                             .arg(startFr())
                             .arg(frCnt());
    if (level < 2)
        return (head + QLatin1Char('}')).toUtf8();
    QByteArray body = head.toUtf8() + ",\"name\":\"" + JsonText::escaped(outputName().expand(0)) + "\"";
    if (level >= 3) {
        const bool deleteTake = deleteCloseSource() == DeleteClose || deleteCloseSource() == ForceDeleteClose;
        body += ",\"del_take\":" + QByteArray(deleteTake ? "1" : "0");
    }
    return body + "}";
}

bool SsdSaveJob::startImpl()
{
    Camera* cam = camera();
    if (!cam || !take()) {
        setError(QStringLiteral("take deleted or closed"));
        finish(FinishedError);
        return false;
    }
    QNetworkReply* reply = CameraHttp::post(cam->address(), QStringLiteral("/ssd-save"), requestBody());
    if (!reply) {
        setError(QStringLiteral("camera disconnected"));
        finish(FinishedError);
        return false;
    }
    connect(reply, &QNetworkReply::finished, this, &SsdSaveJob::ssdSaveFinished);
    return true;
}

void SsdSaveJob::ssdSaveFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (state() != Saving)
        return; // ended meanwhile (camera or take gone)
    if (!take()) {
        finish(FinishedError);
        return;
    }
    const QByteArray body = CameraHttp::readBody(reply);
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    if (reply->error() != QNetworkReply::NoError) {
        const QJsonValue error = answer.value(QStringLiteral("error"));
        setError(error.isString() ? error.toString()
                                  : QStringLiteral("HTTP %1").arg(
                                        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()));
        finish(FinishedError);
        return;
    }
    if (!camera()) {
        finish(FinishedError);
        return;
    }
    if (intValue(camera(), "featureSsdSave") < 2) {
        watchOlderFirmware();
        return;
    }
    const QJsonValue name = answer.value(QStringLiteral("name"));
    if (name.isString()) {
        const QFileInfo info(name.toString());
        setFileNameTemplate(info.baseName());
        setFileExt(info.suffix());
    }
    m_seq = answer.value(QStringLiteral("seq")).toInteger();
    const qint64 wrSeq = camera()->property("ssdWrSeq").value<CameraValue*>()->value().toLongLong();
    qDebug() << "m_seq=" << m_seq;
    qDebug() << "wrSeq=" << wrSeq;
    if (wrSeq < m_seq) {
        watchSequence();
    } else {
        qDebug() << "Save completed quickly";
        checkProgress();
    }
}

bool SsdSaveJob::stillPossible()
{
    Camera* cam = camera();
    if (!cam || !take()) {
        finish(FinishedError);
        return false;
    }
    const int ssdState = intValue(cam, "ssdState");
    if (ssdState != SsdReady) {
        setError(QStringLiteral("ssd.state = %1").arg(ssdState));
        finish(FinishedError);
        return false;
    }
    return true;
}

void SsdSaveJob::watchSequence()
{
    Camera* cam = camera();
    for (const char* name : {"ssdProgress", "ssdWrSeq", "ssdState"}) {
        auto* value = cam->property(name).value<CameraValue*>();
        m_watch << connect(value, &VornValue::valueChanged, this, &SsdSaveJob::checkProgress);
    }
}

void SsdSaveJob::checkProgress()
{
    if (!stillPossible())
        return;
    Camera* cam = camera();
    const qint64 wrSeq = cam->property("ssdWrSeq").value<CameraValue*>()->value().toLongLong();
    if (wrSeq >= m_seq) {
        finish(FinishedOk);
    } else if (wrSeq == m_seq - 1) {
        setState(Saving);
        setProgress(cam->property("ssdProgress").value<CameraValue*>()->value().toDouble());
    } else {
        setState(QueuedFW);
    }
}

void SsdSaveJob::watchOlderFirmware()
{
    // Older firmware does not number its saves: the save is over once the
    // camera reports no progress and no write, which a short save may do
    // before any poll shows it running; the timer looks once anyway.
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &SsdSaveJob::checkOlderFirmware);
    qDebug() << "start old fw save timer";
    Camera* cam = camera();
    for (const char* name : {"ssdProgress", "ssdState"}) {
        auto* value = cam->property(name).value<CameraValue*>();
        m_watch << connect(value, &VornValue::valueChanged, this, &SsdSaveJob::checkOlderFirmware);
    }
    m_timer->start();
}

void SsdSaveJob::checkOlderFirmware()
{
    if (!stillPossible())
        return;
    Camera* cam = camera();
    const double progress = cam->property("ssdProgress").value<CameraValue*>()->value().toDouble();
    setProgress(progress);
    if (progress != 0 || intValue(cam, "ssdWrState") != 0)
        return;
    qDebug() << "old fw short save condition";
    finish(FinishedOk);
}

void SsdSaveJob::cancel(SaveJob::FinishState state)
{
    // The camera finishes what it started; but a job whose camera or take is
    // gone would otherwise wait for values that never come.
    if (state == FinishedError && (this->state() == Saving || this->state() == QueuedFW))
        finish(FinishedError);
}

void SsdSaveJob::onFinished(FinishState)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_watch))
        disconnect(connection);
    m_watch.clear();
    if (m_timer) {
        m_timer->stop();
        disconnect(m_timer, nullptr, this, nullptr);
    }
}

void SsdSaveJob::open()
{
    if (state() != Done)
        return;
    if (Camera* cam = camera())
        cam->ssdFOpen(fileName() + QLatin1Char('.') + fileExt());
}
