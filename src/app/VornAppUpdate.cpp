// The application's update check against the maker's update manifest.
#include "UpdateManifest.h"
#include "VornApp.h"

#include <QNetworkReply>
#include <QSysInfo>

void VornApp::updateCheck(bool manual)
{
    if (m_updateCheckPending)
        return;
    const QUrl address =
        UpdateManifest::address(setting(QLatin1String(UpdateManifest::AddressSetting)).toString());
    QNetworkReply* reply = UpdateManifest::request(m_networkAccessManager, address, manual);
    if (!reply) {
        if (manual)
            emit showMessage(QStringLiteral("<b>Check for VORN updates failed!</b>"));
        return;
    }
    qDebug() << "updateCheck" << address.toString() << "manual" << manual;
    m_updateCheckPending = true;
    connect(reply, &QNetworkReply::finished, this, &VornApp::updateCheckFinished);
}

void VornApp::updateCheckFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    m_updateCheckPending = false;
    const bool manual = reply->property("manual").toBool();
    const QString running = applicationVersion();
    const UpdateManifest::Answer answer =
        UpdateManifest::evaluate(reply, QStringLiteral("vorn"), QSysInfo::productType(), running,
                                 setting(QStringLiteral("vorn/skip_version"), QString()).toString(), manual);
    switch (answer.kind) {
    case UpdateManifest::Answer::UpToDate:
        if (manual)
            emit showMessage(QStringLiteral("<b>VORN ") + running + QStringLiteral(" is up to date!</b>"));
        setSetting(QStringLiteral("vorn/skip_version"), running);
        break;
    case UpdateManifest::Answer::Offer:
        emit vornUpdateAvailable(answer.version, answer.msg);
        break;
    case UpdateManifest::Answer::Suppressed:
        break;
    case UpdateManifest::Answer::Failed:
        qDebug() << "updateCheckFinished: no usable answer" << reply->errorString();
        if (manual)
            emit showMessage(QStringLiteral("<b>Check for VORN updates failed!</b>"));
        break;
    }
    reply->deleteLater();
}
