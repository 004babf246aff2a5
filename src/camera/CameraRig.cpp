#include "CameraRig.h"

#include "Camera.h"
#include "CameraHttp.h"
#include "CameraSettingsCopy.h"
#include "VornApp.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QVariantMap>

namespace {

constexpr const char* HandledProperty = "rigHandled";

int acqStateOf(const Camera* camera)
{
    return camera->acqState()->value().toInt();
}

bool isRecording(int state)
{
    return state == Camera::AcqRecording || state == Camera::AcqRecordingWrapped;
}

QString stateText(int state)
{
    switch (state) {
    case Camera::AcqStandby:
        return QStringLiteral("in stand-by");
    case Camera::AcqRecording:
    case Camera::AcqRecordingWrapped:
        return QStringLiteral("recording");
    case Camera::AcqTriggered:
        return QStringLiteral("triggered");
    default:
        return QStringLiteral("in state %1").arg(state);
    }
}

QString commandTitle(CameraRig::Command command)
{
    switch (command) {
    case CameraRig::Record:
        return QStringLiteral("Record All");
    case CameraRig::Trigger:
        return QStringLiteral("Trigger All");
    case CameraRig::Abort:
        break;
    }
    return QStringLiteral("Abort All");
}

QString commandPath(CameraRig::Command command)
{
    switch (command) {
    case CameraRig::Record:
        return QStringLiteral("/rec");
    case CameraRig::Trigger:
        return QStringLiteral("/trig");
    case CameraRig::Abort:
        break;
    }
    return QStringLiteral("/abort");
}

QString modelOf(const Camera* camera)
{
    return camera->property("cameraModel").value<CameraValue*>()->value().toString();
}

} // namespace

CameraRig::CameraRig(QQmlObjectListModel<VornObject>* objects, QObject* parent)
    : QObject(parent), m_objects(objects)
{
    m_clock.start();
    connect(m_objects, &QAbstractItemModel::rowsInserted, this, &CameraRig::watchCameras);
    connect(m_objects, &QAbstractItemModel::rowsRemoved, this, &CameraRig::watchCameras);
    connect(m_objects, &QAbstractItemModel::modelReset, this, &CameraRig::watchCameras);
    watchCameras();
}

CameraRig::~CameraRig() = default;

QString CameraRig::displayName(const Camera* camera)
{
    if (!camera)
        return QStringLiteral("a camera");
    const QString name = camera->name()->value().toString();
    return name.isEmpty() ? camera->ipString() : name;
}

QList<Camera*> CameraRig::cameras() const
{
    QList<Camera*> found;
    for (VornObject* object : *m_objects) {
        auto* camera = qobject_cast<Camera*>(object);
        if (camera && camera->connected())
            found << camera;
    }
    return found;
}

void CameraRig::watchCameras()
{
    for (VornObject* object : *m_objects) {
        auto* camera = qobject_cast<Camera*>(object);
        if (!camera)
            continue;
        connect(camera, &Camera::connectedChanged, this, &CameraRig::updateState, Qt::UniqueConnection);
        connect(camera->acqState(), &VornValue::valueChanged, this, &CameraRig::updateState,
                Qt::UniqueConnection);
    }
    updateState();
}

void CameraRig::updateState()
{
    int count = 0;
    bool record = false;
    bool trigger = false;
    bool abort = false;
    for (Camera* camera : cameras()) {
        ++count;
        const int state = acqStateOf(camera);
        record = record || state == Camera::AcqStandby;
        trigger = trigger || isRecording(state);
        abort = abort || isRecording(state) || state == Camera::AcqTriggered;
    }
    if (count == m_cameraCount && record == m_canRecord && trigger == m_canTrigger && abort == m_canAbort)
        return;
    m_cameraCount = count;
    m_canRecord = record;
    m_canTrigger = trigger;
    m_canAbort = abort;
    emit stateChanged();
}

void CameraRig::recordAll()
{
    sendAll(Record);
}

void CameraRig::triggerAll()
{
    sendAll(Trigger);
}

void CameraRig::abortAll()
{
    sendAll(Abort);
}

QString CameraRig::stateProblem(Command command, const Camera* camera)
{
    const int state = acqStateOf(camera);
    switch (command) {
    case Record:
        if (state != Camera::AcqStandby)
            return QStringLiteral("not in stand-by (%1)").arg(stateText(state));
        if (camera->takesAvailable() <= 0)
            return QStringLiteral("no free take partition (delete takes first)");
        return QString();
    case Trigger:
        return isRecording(state) ? QString() : QStringLiteral("not recording (%1)").arg(stateText(state));
    case Abort:
        return isRecording(state) || state == Camera::AcqTriggered
                   ? QString()
                   : QStringLiteral("nothing to abort (%1)").arg(stateText(state));
    }
    return QString();
}

void CameraRig::sendAll(Command command)
{
    VornApp* app = VornApp::instance();
    QNetworkAccessManager* nam = app ? app->networkAccessManager() : nullptr;
    const int id = m_nextId++;
    Run& run = m_runs[id];
    run.command = command;

    // Everything a request needs is built first, so that the requests
    // themselves leave back to back.
    struct Pending
    {
        QNetworkRequest request;
        QPointer<Camera> camera;
        int index; // in the run's outcomes, which keep the tab order
    };
    QList<Pending> pending;
    for (Camera* camera : cameras()) {
        // A camera in stand-by has nothing to abort: Abort All leaves it be
        // and does not count it as one that did not follow.
        if (command == Abort && acqStateOf(camera) == Camera::AcqStandby)
            continue;
        const QString problem = nam ? stateProblem(command, camera) : QStringLiteral("no network");
        run.outcomes << Outcome{displayName(camera), problem};
        if (problem.isEmpty())
            pending << Pending{
                CameraHttp::request(camera->address(), commandPath(command), true, m_answerTimeoutMs), camera,
                int(run.outcomes.size()) - 1};
    }

    QList<QNetworkReply*> replies;
    replies.reserve(pending.size());
    qint64 firstNs = 0;
    qint64 lastNs = 0;
    for (const Pending& p : std::as_const(pending)) {
        replies << nam->post(p.request, QByteArray());
        lastNs = m_clock.nsecsElapsed();
        if (replies.size() == 1)
            firstNs = lastNs;
    }
    // Only now are answers looked at: one that came early waits in the queue.
    for (int i = 0; i < replies.size(); ++i) {
        QNetworkReply* reply = replies.at(i);
        const QPointer<Camera> camera = pending.at(i).camera;
        const int index = pending.at(i).index;
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, id, index, camera] { commandFinished(reply, id, index, camera); });
        if (reply->isFinished()) // failed before it left (no route, no address)
            QMetaObject::invokeMethod(
                this,
                [this, guard = QPointer<QNetworkReply>(reply), id, index, camera] {
                    if (guard)
                        commandFinished(guard, id, index, camera);
                },
                Qt::QueuedConnection);
    }
    run.pending = int(replies.size());
    if (command == Trigger)
        m_lastTriggerSpreadNs = lastNs - firstNs;
    if (m_runs.size() == 1 && m_copies.isEmpty())
        emit busyChanged();
    emit requestsSent(command, int(replies.size()));
    if (run.pending == 0)
        finishRun(id);
}

QString CameraRig::answerProblem(QNetworkReply* reply, int timeoutMs)
{
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError)
        return QString();
    if (error == QNetworkReply::OperationCanceledError)
        return QStringLiteral("did not answer within %1 s").arg(timeoutMs / 1000.0, 0, 'g', 3);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QJsonValue text =
            QJsonDocument::fromJson(CameraHttp::readBody(reply)).object().value(QStringLiteral("error"));
        return text.isString() && !text.toString().isEmpty()
                   ? QStringLiteral("refused: %1 (HTTP %2)").arg(text.toString()).arg(status)
                   : QStringLiteral("refused (HTTP %1)").arg(status);
    }
    return QStringLiteral("did not answer (%1)").arg(reply->errorString());
}

void CameraRig::commandFinished(QNetworkReply* reply, int id, int index, Camera* camera)
{
    if (reply->property(HandledProperty).toBool())
        return;
    reply->setProperty(HandledProperty, true);
    reply->deleteLater();
    auto it = m_runs.find(id);
    if (it == m_runs.end())
        return;
    const QString problem = answerProblem(reply, m_answerTimeoutMs);
    it->outcomes[index].problem = problem;
    // The new state shows at once rather than with the next regular poll, so
    // that a following rig command finds it.
    if (problem.isEmpty() && camera)
        camera->pollCameraValues(false);
    emit answered(camera, problem);
    if (--it->pending == 0)
        finishRun(id);
}

void CameraRig::finishRun(int id)
{
    const Run run = m_runs.take(id);
    QStringList lines;
    for (const Outcome& outcome : run.outcomes) {
        if (!outcome.problem.isEmpty())
            lines << outcome.name.toHtmlEscaped() + QStringLiteral(": ") + outcome.problem.toHtmlEscaped();
    }
    QString message;
    if (!lines.isEmpty()) {
        const int total = int(run.outcomes.size());
        message = QStringLiteral("<b>%1: %2 of %3 cameras did not follow.</b><br>")
                      .arg(commandTitle(run.command))
                      .arg(lines.size())
                      .arg(total) +
                  lines.join(QStringLiteral("<br>"));
        if (lines.size() < total)
            message += QStringLiteral("<br>The other cameras did.");
    }
    m_lastMessage = message;
    if (!busy())
        emit busyChanged();
    emit finished(message);
}

QString CameraRig::copyRefusal(const Camera* source, const Camera* target) const
{
    if (!target || !target->connected())
        return QStringLiteral("not connected");
    if (target == source)
        return QStringLiteral("the source camera");
    const QString model = modelOf(target);
    if (model != modelOf(source))
        return QStringLiteral("another model (%1)").arg(model.isEmpty() ? QStringLiteral("unknown") : model);
    const int state = acqStateOf(target);
    if (state != Camera::AcqStandby && !isRecording(state))
        return QStringLiteral("%1; wait until it is in stand-by").arg(stateText(state));
    return QString();
}

QVariantList CameraRig::copyTargets(Camera* source) const
{
    QVariantList targets;
    for (Camera* camera : cameras()) {
        if (camera == source)
            continue;
        const QString refusal = copyRefusal(source, camera);
        targets << QVariantMap{{QStringLiteral("camera"), QVariant::fromValue(camera)},
                               {QStringLiteral("name"), displayName(camera)},
                               {QStringLiteral("enabled"), refusal.isEmpty()},
                               {QStringLiteral("reason"), refusal}};
    }
    return targets;
}

void CameraRig::copySettings(Camera* source, const QVariantList& targets)
{
    QList<Camera*> cameras;
    for (const QVariant& target : targets) {
        if (auto* camera = target.value<Camera*>())
            cameras << camera;
    }
    copySettings(source, cameras);
}

void CameraRig::copySettings(Camera* source, const QList<Camera*>& targets)
{
    if (!source || !source->connected() || targets.isEmpty())
        return;
    const int id = m_nextId++;
    CopyRun& run = m_copies[id];
    run.sourceName = displayName(source);
    const CameraSettingsCopy::Settings wanted = CameraSettingsCopy::read(source);
    for (Camera* target : targets) {
        const QString refusal = copyRefusal(source, target);
        if (!refusal.isEmpty()) {
            run.lines << QStringLiteral("%1: not copied, %2").arg(displayName(target), refusal);
            continue;
        }
        auto* copy = new CameraSettingsCopy(wanted, target, this);
        run.copies << copy;
        connect(copy, &CameraSettingsCopy::done, this, [this, id] { copyDone(id); });
    }
    if (m_copies.size() == 1 && m_runs.isEmpty())
        emit busyChanged();
    const QList<CameraSettingsCopy*> copies = run.copies;
    if (copies.isEmpty()) {
        copyDone(id);
        return;
    }
    for (CameraSettingsCopy* copy : copies)
        copy->start();
}

void CameraRig::copyDone(int id)
{
    auto it = m_copies.find(id);
    if (it == m_copies.end())
        return;
    // The report waits for every camera.
    for (CameraSettingsCopy* copy : std::as_const(it->copies)) {
        if (!copy->isDone())
            return;
    }
    QStringList lines = it->lines;
    QStringList copied;
    for (CameraSettingsCopy* copy : std::as_const(it->copies)) {
        if (copy->problems().isEmpty())
            copied << copy->targetName();
        lines << copy->problems();
        copy->deleteLater();
    }
    const QString sourceName = it->sourceName;
    m_copies.erase(it);
    QStringList html;
    for (const QString& line : std::as_const(lines))
        html << line.toHtmlEscaped();
    if (!copied.isEmpty())
        html.prepend(QStringLiteral("All settings were copied to %1.")
                         .arg(copied.join(QStringLiteral(", ")).toHtmlEscaped()));
    const QString message =
        QStringLiteral("<b>Copy Settings from %1</b><br>").arg(sourceName.toHtmlEscaped()) +
        html.join(QStringLiteral("<br>"));
    if (!busy())
        emit busyChanged();
    emit copyFinished(message);
}
