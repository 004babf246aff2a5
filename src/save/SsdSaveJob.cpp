#include "SsdSaveJob.h"

#include "Camera.h"
#include "CameraHttp.h"
#include "CameraLimits.h"
#include "JsonText.h"
#include "Take.h"

#include <QFileInfo>
#include <QJsonArray>
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

QVariant cameraValue(Camera* camera, const char* name)
{
    auto* value = camera->property(name).value<CameraValue*>();
    return value ? value->value() : QVariant();
}

int intValue(Camera* camera, const char* name)
{
    return cameraValue(camera, name).toInt();
}

// The file names of an /ssd-ls reply (objects, or bare names from older
// firmware); false when the reply holds no listing.
bool listedNames(const QByteArray& body, QStringList* names)
{
    const QJsonValue listing = QJsonDocument::fromJson(body).object().value(QStringLiteral("ssd-ls"));
    if (!listing.isArray())
        return false;
    for (const QJsonValue& entry : listing.toArray()) {
        if (names->size() == CameraLimits::MaxSsdLsEntries)
            break;
        const QString name =
            entry.isObject() ? entry.toObject().value(QStringLiteral("name")).toString() : entry.toString();
        if (!name.isEmpty())
            names->append(name);
    }
    return true;
}

constexpr char LongListing[] = "{\"long\": 1}";

// Polls go out four times a second and give up after three: a camera that
// has answered none for this long is no longer there for the save.
int s_silenceLimitMs = 15000;

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

int SsdSaveJob::silenceLimitMs()
{
    return s_silenceLimitMs;
}

void SsdSaveJob::setSilenceLimitMs(int ms)
{
    s_silenceLimitMs = ms;
}

bool SsdSaveJob::startImpl()
{
    Camera* cam = camera();
    if (!cam) {
        fail(QStringLiteral("camera disconnected"));
        return false;
    }
    if (!take() || !take()->savedOpened()) {
        fail(QStringLiteral("take deleted or closed"));
        return false;
    }
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(s_silenceLimitMs);
    connect(m_timer, &QTimer::timeout, this, [this] { fail(QStringLiteral("camera stopped answering")); });
    m_watch << connect(cam, &Camera::valuesPolled, this, &SsdSaveJob::cameraPolled);
    m_timer->start();
    m_olderFirmware = intValue(cam, "featureSsdSave") < 2;
    // Older firmware names the file itself and says nothing of it: the new
    // file is the one its SSD did not list before.
    if (m_olderFirmware)
        post(QStringLiteral("/ssd-ls"), LongListing, &SsdSaveJob::listingBeforeFinished);
    else
        post(QStringLiteral("/ssd-save"), requestBody(), &SsdSaveJob::ssdSaveFinished);
    return !ended();
}

void SsdSaveJob::post(const QString& path, const QByteArray& body, void (SsdSaveJob::*handler)())
{
    QNetworkReply* reply = camera() ? CameraHttp::post(camera()->address(), path, body) : nullptr;
    if (!reply) {
        fail(QStringLiteral("camera disconnected"));
        return;
    }
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, handler);
}

bool SsdSaveJob::takeAnswer(QByteArray* body)
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return false;
    reply->deleteLater();
    if (reply != m_reply || ended())
        return false;
    m_reply = nullptr;
    *body = CameraHttp::readBody(reply);
    if (reply->error() != QNetworkReply::NoError) {
        fail(requestError(reply, *body));
        return false;
    }
    return true;
}

bool SsdSaveJob::takeListing(QStringList* names)
{
    QByteArray body;
    if (!takeAnswer(&body))
        return false;
    if (!listedNames(body, names)) {
        fail(QStringLiteral("camera sent an unreadable SSD listing"));
        return false;
    }
    return true;
}

QString SsdSaveJob::requestError(QNetworkReply* reply, const QByteArray& body)
{
    if (reply->error() == QNetworkReply::OperationCanceledError)
        return QStringLiteral("camera did not answer");
    return CameraHttp::errorText(reply, body);
}

void SsdSaveJob::fail(const QString& error)
{
    if (ended())
        return;
    setError(error);
    finish(FinishedError);
}

void SsdSaveJob::listingBeforeFinished()
{
    QStringList names;
    if (!takeListing(&names))
        return;
    m_filesBefore = QSet<QString>(names.begin(), names.end());
    post(QStringLiteral("/ssd-save"), requestBody(), &SsdSaveJob::ssdSaveFinished);
}

void SsdSaveJob::ssdSaveFinished()
{
    QByteArray body;
    if (!takeAnswer(&body))
        return;
    if (!stillPossible())
        return;
    if (m_olderFirmware) {
        // Checked on every poll from now on; see checkOlderFirmware().
        qDebug() << "start old fw save watch";
        m_sinceAccepted.start();
        return;
    }
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    // Without its number the save cannot be told from the camera's others:
    // calling it done would claim a file nobody saw written.
    const QJsonValue seqValue = answer.value(QStringLiteral("seq"));
    if (!seqValue.isDouble() || seqValue.toInteger() < 1) {
        fail(QStringLiteral("camera sent an unreadable answer"));
        return;
    }
    const QJsonValue name = answer.value(QStringLiteral("name"));
    if (name.isString()) {
        const QFileInfo info(name.toString());
        setFileNameTemplate(info.baseName());
        setFileExt(info.suffix());
    }
    m_seq = seqValue.toInteger();
    const qint64 wrSeq = cameraValue(camera(), "ssdWrSeq").toLongLong();
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
    if (!camera()) {
        fail(QStringLiteral("camera disconnected"));
        return false;
    }
    if (!take()) {
        fail(QStringLiteral("take deleted or closed"));
        return false;
    }
    const int ssdState = intValue(camera(), "ssdState");
    if (ssdState != SsdReady) {
        fail(QStringLiteral("ssd.state = %1").arg(ssdState));
        return false;
    }
    return true;
}

void SsdSaveJob::cameraPolled()
{
    // Only an answer counts: a failed poll is the camera being silent.
    if (!camera() || !camera()->responding())
        return;
    m_timer->start();
    if (m_olderFirmware && m_sinceAccepted.isValid())
        checkOlderFirmware();
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
    const qint64 wrSeq = cameraValue(cam, "ssdWrSeq").toLongLong();
    if (wrSeq >= m_seq) {
        finish(FinishedOk);
    } else if (wrSeq == m_seq - 1) {
        setState(Saving);
        setProgress(qBound(0.0, cameraValue(cam, "ssdProgress").toDouble(), 100.0));
    } else {
        setState(QueuedFW);
    }
}

void SsdSaveJob::checkOlderFirmware()
{
    if (!stillPossible())
        return;
    // The first poll answered after the camera took the request may have
    // left before it did, and show it idle.
    if (++m_pollsSinceAccepted < 2)
        return;
    Camera* cam = camera();
    const double progress = qBound(0.0, cameraValue(cam, "ssdProgress").toDouble(), 100.0);
    if (progress != 0 || intValue(cam, "ssdWrState") != 0) {
        m_sawWriting = true;
        setProgress(progress);
        return;
    }
    // Idle: written, never begun, or given up. Only the SSD's files tell.
    if (!m_reply)
        post(QStringLiteral("/ssd-ls"), LongListing, &SsdSaveJob::listingAfterFinished);
}

void SsdSaveJob::listingAfterFinished()
{
    QStringList names;
    if (!takeListing(&names))
        return;
    QString written;
    for (const QString& name : std::as_const(names))
        if (!m_filesBefore.contains(name))
            written = name;
    if (!written.isEmpty()) {
        qDebug() << "old fw save written" << written;
        const QFileInfo info(written);
        setFileNameTemplate(info.baseName());
        setFileExt(info.suffix());
        finish(FinishedOk);
    } else if (m_sawWriting) {
        fail(QStringLiteral("camera finished without writing the file"));
    } else if (m_sinceAccepted.elapsed() >= s_silenceLimitMs) {
        fail(QStringLiteral("camera did not start the save"));
    }
    // Otherwise the camera has not begun yet: the next poll looks again.
}

void SsdSaveJob::cancel(SaveJob::FinishState state)
{
    switch (this->state()) {
    case Queued:
        finishWaiting(state);
        break;
    case Saving:
    case QueuedFW:
        finish(state);
        break;
    default:
        break;
    }
}

void SsdSaveJob::onFinished(FinishState)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_watch))
        disconnect(connection);
    m_watch.clear();
    if (m_timer)
        m_timer->stop();
    // A request still on its way is left to end by itself.
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        CameraHttp::releaseWhenFinished(m_reply);
        m_reply = nullptr;
    }
}

bool SsdSaveJob::open()
{
    Camera* cam = camera();
    if (state() != Done || !cam)
        return false;
    cam->ssdFOpen(fileName() + QLatin1Char('.') + fileExt());
    return true;
}
