// Camera firmware: uploading a Q7FW file, the status line that follows the
// upload and the camera's installation, and the check for newer firmware.
#include "Camera.h"
#include "CameraHttp.h"
#include "FuzzyCompare.h"
#include "UpdateManifest.h"
#include "VornApp.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace {

// Cameras whose firmware reports the installation as done before it really
// is need this long to finish; the user must not power them off meanwhile.
constexpr int FinalizeMs = 90000;
// A camera at firmware level 2 answers the upload only once it has flashed
// the file, which takes minutes and sends nothing meanwhile: the wait for
// that answer has its own limit, counted from the last byte of the upload.
// The upload itself ends when no byte has gone out for the command limit.
constexpr int InstallLimitMs = 15 * 60 * 1000;

// The file name goes into a quoted multipart header.
QString headerSafeFileName(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    for (QChar& c : name)
        if (c == QLatin1Char('"') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return name;
}

} // namespace

void Camera::createFirmwareUpdate()
{
    m_fwFinalizeTimer = new QTimer(this);
    m_fwFinalizeTimer->setObjectName(QStringLiteral("fwFinalizeTimer"));
    m_fwFinalizeTimer->setSingleShot(true);
    m_fwFinalizeTimer->setInterval(FinalizeMs);
    connect(m_fwFinalizeTimer, &QTimer::timeout, this, [this] {
        m_fwFinalizing = false;
        updateFwStatus();
    });
    connect(m_fwState, &VornValue::valueChanged, this, &Camera::updateFwStatus);

    m_fwUploadIdleTimer = new QTimer(this);
    m_fwUploadIdleTimer->setObjectName(QStringLiteral("fwUploadIdleTimer"));
    m_fwUploadIdleTimer->setSingleShot(true);
    m_fwUploadIdleTimer->setInterval(CameraHttp::CommandTimeoutMs);
    m_fwInstallTimer = new QTimer(this);
    m_fwInstallTimer->setObjectName(QStringLiteral("fwInstallTimer"));
    m_fwInstallTimer->setSingleShot(true);
    m_fwInstallTimer->setInterval(InstallLimitMs);
    for (QTimer* limit : {m_fwUploadIdleTimer, m_fwInstallTimer})
        connect(limit, &QTimer::timeout, this, [this] {
            if (m_fwUploadReply && m_fwUploadReply->isRunning()) {
                qWarning().noquote() << objectName() << "fwUpdate: no answer from the camera within"
                                     << (m_fwInstalling ? m_fwInstallTimer : m_fwUploadIdleTimer)->interval()
                                     << "ms";
                m_fwUploadTimedOut = true;
                CameraHttp::abort(m_fwUploadReply);
            }
        });
}

void Camera::fwUpdate(const QString& fileUrl)
{
    qDebug().noquote() << objectName() << "fwUpdate" << fileUrl;
    if (m_fwUpdateProgress > 0 || m_fwInstalling) {
        qDebug().noquote() << objectName() << "fwUpdate: an upload is already running";
        return;
    }
    const QUrl url(fileUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : fileUrl;
    QNetworkAccessManager* manager =
        VornApp::instance() ? VornApp::instance()->networkAccessManager() : nullptr;
    // A file that cannot be read must not go out as an empty firmware.
    auto* file = new QFile(path);
    if (path.isEmpty() || !file->open(QIODevice::ReadOnly) || !manager) {
        qWarning().noquote() << objectName() << "fwUpdate: cannot read" << path;
        delete file;
        setFwUpdateStatus(QStringLiteral("Update error: can't open Q7FW file"));
        return;
    }

    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart part;
    part.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"q7fw\"; filename=\"%1\"").arg(headerSafeFileName(path)));
    part.setBodyDevice(file);
    multiPart->append(part);
    file->setParent(multiPart);

    // The limits are this object's timers, not the request's inactivity
    // timeout: the installation after the last byte may be silent for far
    // longer than an upload may stall.
    QNetworkRequest request = CameraHttp::request(m_address, QStringLiteral("/q7fw"), false, 0);
    QNetworkReply* reply = manager->post(request, multiPart);
    multiPart->setParent(reply);
    m_fwUploadReply = reply;
    m_fwUploadTimedOut = false;
    connect(reply, &QNetworkReply::uploadProgress, this, [this](qint64 sent, qint64 total) {
        if (total <= 0)
            return;
        if (sent < total) {
            m_fwUploadIdleTimer->start();
        } else if (!m_fwInstalling) {
            m_fwUploadIdleTimer->stop();
            m_fwInstallTimer->start();
            setFwInstalling(true);
        }
        setFwUpdateProgress(double(sent) * 100.0 / double(total));
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fwUpdateFinished(reply); });
    m_fwUploadIdleTimer->start();
    // Seen at once, before the first byte is reported.
    setFwUpdateProgress(0.0001);
}

void Camera::fwUpdateFinished(QNetworkReply* reply)
{
    m_fwUploadIdleTimer->stop();
    m_fwInstallTimer->stop();
    m_fwUploadReply = nullptr;
    const bool installing = m_fwInstalling;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_featureQ7FW->value().toInt() < 2)
        m_fwFinalizing = true;
    m_fwInstalling = false;
    setFwUpdateProgress(0);
    if (installing)
        emit fwInstallingChanged();
    if (reply->error() != QNetworkReply::NoError) {
        qWarning().noquote() << objectName() << "fwUpdate failed:" << reply->errorString();
        // The whole file went out and no refusal came back: the camera may
        // still be flashing it (or restarting); its state tells the rest.
        if (installing && (m_fwUploadTimedOut || status == 0))
            setFwUpdateStatus(
                QStringLiteral("Update error: the camera did not confirm the installation. Do NOT power off "
                               "camera until it reports the result!"));
        else
            setFwUpdateStatus(QStringLiteral("Update error: upload failed"));
    }
    reply->deleteLater();
}

void Camera::setFwInstalling(bool installing)
{
    if (m_fwInstalling == installing)
        return;
    m_fwInstalling = installing;
    emit fwInstallingChanged();
    updateFwStatus();
}

void Camera::setFwUpdateProgress(double progress)
{
    if (fuzzyEqual(progress, m_fwUpdateProgress))
        return;
    m_fwUpdateProgress = progress;
    emit fwUpdateProgressChanged();
    updateFwStatus();
}

void Camera::setFwUpdateStatus(const QString& status)
{
    m_fwUpdateStatus = status;
    emit fwUpdateStatusChanged();
}

void Camera::updateFwStatus()
{
    const int state = m_fwState->value().toInt();
    QString status;
    if (m_fwInstalling || fuzzyEqual(m_fwUpdateProgress, 100.0)) {
        status = QStringLiteral("Installing firmware update...Do NOT power off camera!");
    } else if (m_fwUpdateProgress > 0) {
        status = QStringLiteral("Uploading Q7FW file...%1%").arg(QString::number(m_fwUpdateProgress, 'f', 0));
    } else if (state == 0) {
        status.clear();
    } else if (state == 1 && !m_fwFinalizing) {
        status = QStringLiteral("Firmware update installed! Restart camera to complete update.");
    } else if (state == 1) {
        status = QStringLiteral("Finalizing firmware update...Do NOT power off camera!");
        if (!m_fwFinalizeTimer->isActive())
            m_fwFinalizeTimer->start();
    } else {
        status = QStringLiteral("Update error: %1").arg(state);
    }
    setFwUpdateStatus(status);
}

void Camera::updateCheck(bool manual)
{
    if (m_updateCheckPending)
        return;
    VornApp* app = VornApp::instance();
    if (!app)
        return;
    const QUrl address =
        UpdateManifest::address(app->setting(QLatin1String(UpdateManifest::AddressSetting)).toString());
    QNetworkReply* reply = UpdateManifest::request(app->networkAccessManager(), address, manual);
    if (!reply) {
        if (manual)
            emit app->showMessage(QStringLiteral("<b>Check for firmware updates failed!</b>"));
        return;
    }
    qDebug().noquote() << objectName() << "updateCheck" << address.toString() << "manual" << manual;
    m_updateCheckPending = true;
    connect(reply, &QNetworkReply::finished, this, &Camera::updateCheckFinished);
}

void Camera::updateCheckFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    m_updateCheckPending = false;
    const bool manual = reply->property("manual").toBool();
    // Older firmware reports its version only as a number: that never
    // compares equal, so every other version is offered.
    const QString running = m_fwVer->value().toString();
    const QString model = UpdateManifest::cameraModelKey(m_cameraModelId->value().toLongLong(),
                                                         m_cameraModel->value().toString());
    const UpdateManifest::Answer answer =
        UpdateManifest::evaluate(reply, QStringLiteral("q7fw"), model, running,
                                 setting(QStringLiteral("skip_version"), QString()).toString(), manual);
    VornApp* app = VornApp::instance();
    switch (answer.kind) {
    case UpdateManifest::Answer::UpToDate:
        if (manual && app)
            emit app->showMessage(QStringLiteral("<b>Firmware Q7FW ") + running.toHtmlEscaped() +
                                  QStringLiteral(" is up to date!</b>"));
        setSetting(QStringLiteral("skip_version"), running);
        break;
    case UpdateManifest::Answer::Offer:
        emit cameraFWUpdateAvailable(answer.version, answer.msg);
        break;
    case UpdateManifest::Answer::Suppressed:
        break;
    case UpdateManifest::Answer::Failed:
        qDebug().noquote() << objectName() << "updateCheckFinished: no usable answer" << reply->errorString();
        if (manual && app)
            emit app->showMessage(QStringLiteral("<b>Check for firmware updates failed!</b>"));
        break;
    }
    reply->deleteLater();
}
