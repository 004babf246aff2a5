// The files on a camera's SSD: the listing for the open dialog, opening files
// as SSD takes, closing them, and keeping the open takes in step with the
// camera's state document.
#include "Camera.h"
#include "CameraHttp.h"
#include "CameraLimits.h"
#include "JsonText.h"
#include "SaveBatchObject.h"
#include "VornApp.h"

#include <QJsonArray>
#include <QNetworkReply>
#include <algorithm>

namespace {

// A size or time of the listing as a 64-bit number; a number beyond that
// range (which a double may hold) does not convert, it saturates.
qint64 wholeNumber(const QJsonValue& value)
{
    constexpr double limit = 9.2e18; // just below 2^63
    return qint64(std::clamp(value.toDouble(), -limit, limit));
}

} // namespace

void Camera::createSsdModels()
{
    m_ssdTakes = new QQmlObjectListModel<SsdTake>(this);
    m_ssdTakesSorted = new SsdTakeSortProxyModel(m_ssdTakes, this);
    m_ssdLsList = new SsdLsListModel(this);
    m_ssdLsEntries = new SsdLsSortProxyModel(m_ssdLsList, this);
}

void Camera::ssdLs()
{
    QNetworkReply* reply = CameraHttp::post(m_address, QStringLiteral("/ssd-ls"), "{\"long\": 1}");
    if (reply)
        connect(reply, &QNetworkReply::finished, this, &Camera::ssdLsFinished);
}

void Camera::ssdLsFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    // A body that does not parse leaves the last listing as it was.
    const QJsonDocument document = CameraHttp::jsonReply(reply, this);
    if (document.isNull())
        return;
    const QList<SsdLsEntry*> old = m_ssdLsList->toList();
    m_ssdLsList->clear();
    for (SsdLsEntry* entry : old)
        entry->deleteLater();
    emit m_ssdLsList->selectedCountChanged();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug().noquote() << objectName() << "ssdLsFinished error";
        return;
    }
    int id = 0;
    for (const QJsonValue& element : document.object().value(QStringLiteral("ssd-ls")).toArray()) {
        if (id == CameraLimits::MaxSsdLsEntries)
            break;
        SsdLsEntry* entry = nullptr;
        if (element.isObject()) {
            const QJsonObject file = element.toObject();
            entry = new SsdLsEntry(id, file.value(QStringLiteral("name")).toString(),
                                   wholeNumber(file.value(QStringLiteral("size"))),
                                   wholeNumber(file.value(QStringLiteral("time"))), false, this);
        } else if (element.isString()) {
            // Older firmware names the files and nothing more.
            entry = new SsdLsEntry(id, element.toString(), 0, 0, true, this);
        } else {
            continue;
        }
        m_ssdLsList->appendEntry(entry);
        ++id;
    }
}

void Camera::ssdFOpen(const QString& name)
{
    QNetworkReply* reply = CameraHttp::post(m_address, QStringLiteral("/ssd-fopen"),
                                            "{\"name\":\"" + JsonText::escaped(name) + "\"}");
    if (!reply)
        return;
    reply->setProperty("name", name);
    connect(reply, &QNetworkReply::finished, this, &Camera::ssdFOpenFinished);
}

void Camera::ssdFOpen()
{
    for (SsdLsEntry* entry : *m_ssdLsList)
        if (entry->selected())
            ssdFOpen(entry->name());
}

void Camera::ssdFOpenFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    const QJsonObject body = QJsonDocument::fromJson(reply->readAll()).object();
    VornApp* app = VornApp::instance();
    if (reply->error() != QNetworkReply::NoError) {
        const QJsonValue error = body.value(QStringLiteral("error"));
        if (error.isString() && app)
            emit app->showMessage(QStringLiteral("<b>Error opening SSD Take:</b><br>\"%1\"")
                                      .arg(error.toString().toHtmlEscaped()));
        return;
    }
    const int takeId = body.value(QStringLiteral("take")).toInt();
    SsdTake* take = nullptr;
    for (SsdTake* open : *m_ssdTakes)
        if (open->takeId() == takeId)
            take = open;
    if (!take) {
        take = addSsdTake(takeId, reply->property("name").toString());
        take->setOpenedAfterPoll(m_pollsSent);
    }
    if (app)
        app->setSelectedVornObject(take);
}

SsdTake* Camera::addSsdTake(int takeId, const QString& name)
{
    auto* take = new SsdTake(takeId, name, this);
    take->setSavedOpened(true, true, false);
    m_ssdTakes->append(take);
    return take;
}

void Camera::ssdFCloseAll()
{
    for (SsdTake* take : *m_ssdTakes)
        take->fclose();
}

void Camera::addAllSsdTakesToSaveBatch()
{
    VornApp* app = VornApp::instance();
    if (!app)
        return;
    app->clearSaveBatchObjModel(false);
    for (SsdTake* take : *m_ssdTakes)
        app->saveBatchObjModel()->append(new SaveBatchObject(take, app));
}

void Camera::updateSsdTakes(const QJsonObject& document, bool init, quint64 pollNumber)
{
    const QJsonObject ssd = document.value(QStringLiteral("ssd")).toObject();
    const QJsonValue openTakes = ssd.value(QStringLiteral("open_takes"));
    if (!openTakes.isArray())
        return;
    QList<int> numbers;
    for (const QJsonValue& number : openTakes.toArray()) {
        if (numbers.size() == CameraLimits::MaxOpenSsdTakes)
            break;
        if (!numbers.contains(number.toInt()))
            numbers << number.toInt();
    }
    const QJsonObject takes = ssd.value(QStringLiteral("takes")).toObject();
    auto nameOf = [&takes](int number) {
        return takes.value(QStringLiteral("take%1").arg(number))
            .toObject()
            .value(QStringLiteral("name"))
            .toString();
    };

    // A file the camera still has open under the same number and name stays;
    // any other take has been closed, or is another file now.
    const QList<SsdTake*> existing = m_ssdTakes->toList();
    for (SsdTake* take : existing) {
        if (numbers.contains(take->takeId()) && nameOf(take->takeId()) == take->name()) {
            numbers.removeOne(take->takeId());
            continue;
        }
        // A poll sent before the file was opened may be answered after it.
        if (!numbers.contains(take->takeId()) && pollNumber <= take->openedAfterPoll())
            continue;
        take->setSavedOpened(false, false, init);
        m_ssdTakes->remove(take);
        take->deleteLater();
    }
    for (int number : numbers)
        addSsdTake(number, nameOf(number));
}
