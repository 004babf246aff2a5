#include "UpdateManifest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace UpdateManifest {

namespace {

// A server that accepts the request and then says nothing would otherwise
// keep the check pending, and every later check ignored, until the program ends.
constexpr int TransferTimeoutMs = 30000;

} // namespace

QUrl address(const QString& configured)
{
    const QString fromEnvironment = qEnvironmentVariable(AddressEnvironment);
    if (!fromEnvironment.isEmpty())
        return QUrl(fromEnvironment);
    if (!configured.isEmpty())
        return QUrl(configured);
    return QUrl(QStringLiteral("https://") + QLatin1String(DefaultHost) +
                QStringLiteral("/latest-versions.json"));
}

QNetworkReply* request(QNetworkAccessManager* manager, const QUrl& address, bool manual)
{
    if (!manager)
        return nullptr;
    QNetworkRequest request(address);
    request.setRawHeader("User-Agent", "Vorn 1.0");
    request.setTransferTimeout(TransferTimeoutMs);
    QNetworkReply* reply = manager->get(request);
    reply->setProperty("manual", manual);
    return reply;
}

Answer evaluate(QNetworkReply* reply, const QString& section, const QString& member, const QString& running,
                const QString& skip, bool manual)
{
    Answer answer;
    if (reply->error() != QNetworkReply::NoError)
        return answer;
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
    if (!document.isObject())
        return answer;
    const QJsonObject entry = document.object().value(section).toObject().value(member).toObject();
    const QJsonValue version = entry.value(QStringLiteral("version"));
    if (entry.isEmpty() || !version.isString())
        return answer;
    answer.version = version.toString();
    answer.msg = entry.value(QStringLiteral("msg")).toString();
    if (answer.version == running)
        answer.kind = Answer::UpToDate;
    else if (answer.version != skip || manual)
        answer.kind = Answer::Offer;
    else
        answer.kind = Answer::Suppressed;
    return answer;
}

QString cameraModelKey(qint64 modelId, const QString& modelName)
{
    if (modelId != 0)
        return QString::number(modelId);
    static const QList<QPair<QString, QString>> byName = {
        {QStringLiteral("Q7\u2022Alder"), QStringLiteral("1000")},
        {QStringLiteral("Q7\u2022Birch"), QStringLiteral("2000")},
        {QStringLiteral("Q7\u2022Cedar"), QStringLiteral("3000")},
        {QStringLiteral("Q7\u2022Dogwood"), QStringLiteral("4000")},
    };
    for (const auto& entry : byName)
        if (entry.first == modelName)
            return entry.second;
    return QStringLiteral("0");
}

} // namespace UpdateManifest
