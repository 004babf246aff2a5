#include "SsdTake.h"

#include "Camera.h"
#include "CameraHttp.h"

#include <QNetworkReply>

SsdTake::SsdTake(int takeId, const QString& name, Camera* camera)
    : AbstractTake(takeId, SsdTakeType, camera, QStringLiteral("-SsdTake")), m_name(name)
{
}

void SsdTake::fclose()
{
    QNetworkReply* reply = CameraHttp::post(camera()->address(), QStringLiteral("/ssd-fclose"),
                                            QStringLiteral("{\"take\":%1}").arg(takeId()).toUtf8());
    if (!reply) {
        emit fcloseFinished();
        return;
    }
    connect(reply, &QNetworkReply::finished, this, &SsdTake::fcloseHandleFinished);
}

void SsdTake::fcloseHandleFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    if (reply->error() != QNetworkReply::NoError)
        qDebug().noquote() << objectName() << "fcloseFinished error" << reply->errorString();
    else
        setSavedOpened(false, true, false);
    reply->deleteLater();
    emit fcloseFinished();
}
