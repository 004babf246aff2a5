#include "CliCameraCommands.h"

#include "Camera.h"
#include "CliSupport.h"
#include "SavedTakeModel.h"
#include "SsdTake.h"
#include "Take.h"
#include "VornApp.h"
#include "VornValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QPointer>
#include <cstdio>

namespace {

void printLine(const QString& text)
{
    fprintf(stdout, "%s\n", qPrintable(text));
    fflush(stdout);
}

QString valueText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isArray() || value.isObject())
        return QString::fromUtf8(
            QJsonDocument::fromVariant(value.toVariant()).toJson(QJsonDocument::Compact));
    return value.toVariant().toString();
}

// A camera's reading equals what was asked when both are the same number or
// the same text.
bool sameValue(const QVariant& reported, const QString& asked)
{
    bool reportedIsNumber = false;
    bool askedIsNumber = false;
    const double a = reported.toString().toDouble(&reportedIsNumber);
    const double b = asked.toDouble(&askedIsNumber);
    if (reportedIsNumber && askedIsNumber)
        return qAbs(a - b) <= 1e-9 * qMax(1.0, qAbs(b));
    return reported.toString() == asked;
}

} // namespace

CliCameraCommands::CliCameraCommands(VornApp* app, bool json, int timeoutMs)
    : m_app(app), m_json(json), m_timeoutMs(timeoutMs)
{
}

QJsonObject CliCameraCommands::values(const QObject* object)
{
    QJsonObject result;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        auto* value = qobject_cast<VornValue*>(property.read(object).value<QObject*>());
        if (value)
            result.insert(QString::fromLatin1(property.name()), QJsonValue::fromVariant(value->value()));
    }
    return result;
}

void CliCameraCommands::print(const QJsonObject& object, const QString& text) const
{
    if (m_json)
        printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
    else if (!text.isEmpty())
        printLine(text);
}

Camera* CliCameraCommands::connect(const QString& address)
{
    const QHostAddress ip(address);
    if (ip.isNull() || ip.protocol() != QAbstractSocket::IPv4Protocol) {
        Cli::error(QStringLiteral("not an IPv4 address: %1").arg(address));
        return nullptr;
    }
    m_app->connectCamera(ip);
    QPointer<Camera> camera;
    for (VornObject* object : *m_app->vornObjModel()) {
        auto* candidate = qobject_cast<Camera*>(object);
        if (candidate && candidate->address() == ip)
            camera = candidate;
    }
    Cli::waitFor([&] { return !camera || camera->connected(); }, m_timeoutMs);
    if (!camera || !camera->connected()) {
        if (!Cli::interrupted())
            Cli::error(QStringLiteral("no camera answers at %1").arg(address));
        return nullptr;
    }
    return camera;
}

bool CliCameraCommands::waitForPolls(Camera* camera, int polls)
{
    QObject guard;
    int seen = 0;
    QObject::connect(camera, &Camera::valuesPolled, &guard, [&seen] { ++seen; });
    return Cli::waitFor([&] { return seen >= polls; }, m_timeoutMs);
}

QList<Camera*> CliCameraCommands::discoverCameras()
{
    m_app->startBroadcast();
    Cli::waitFor([this] { return !m_app->broadcasting(); }, 10000);
    auto cameras = [this] {
        QList<QPointer<Camera>> found;
        for (VornObject* object : *m_app->vornObjModel()) {
            if (auto* camera = qobject_cast<Camera*>(object))
                found.append(camera);
        }
        return found;
    };
    // Cameras that answered connect; those that cannot are removed again.
    Cli::waitFor(
        [&] {
            for (const QPointer<Camera>& camera : cameras()) {
                if (camera && !camera->connected())
                    return false;
            }
            return true;
        },
        m_timeoutMs);
    QList<Camera*> connected;
    for (const QPointer<Camera>& camera : cameras()) {
        if (camera && camera->connected())
            connected.append(camera);
    }
    return connected;
}

int CliCameraCommands::discover()
{
    const QList<Camera*> cameras = discoverCameras();
    if (Cli::interrupted())
        return Cli::ExitInterrupted;
    QJsonArray list;
    QStringList lines;
    for (Camera* camera : cameras) {
        const QJsonObject entry{
            {"address", camera->ipString()},
            {"name", camera->name()->value().toString()},
            {"serial", camera->serial()->value().toString()},
            {"model", camera->property("cameraModel").value<VornValue*>()->value().toString()}};
        list.append(entry);
        lines.append(QStringList{entry.value("address").toString(), entry.value("name").toString(),
                                 entry.value("serial").toString(), entry.value("model").toString()}
                         .join('\t'));
    }
    if (m_json)
        printLine(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
    else if (!lines.isEmpty())
        printLine(lines.join('\n'));
    if (list.isEmpty()) {
        Cli::error(QStringLiteral("no camera answered"));
        return Cli::ExitNotFound;
    }
    return Cli::ExitOk;
}

AbstractTake* CliCameraCommands::findTake(Camera* camera, int takeId, int* exitCode)
{
    auto saved = [&]() -> Take* {
        for (Take* take : *camera->takes()) {
            if (take->takeId() == takeId && take->savedOpened())
                return take;
        }
        return nullptr;
    };
    Cli::waitFor([&] { return saved() && saved()->valuesInit(); }, qMin(m_timeoutMs, 3000));
    Take* take = saved();
    if (!take || !take->valuesInit()) {
        Cli::error(QStringLiteral("the camera at %1 has no take %2").arg(camera->ipString()).arg(takeId));
        *exitCode = Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitNotFound;
        return nullptr;
    }
    return take;
}

AbstractTake* CliCameraCommands::openSsdTake(Camera* camera, const QString& name, int* exitCode)
{
    // A refusal arrives as a message, which the front end prints.
    QObject guard;
    bool refused = false;
    QObject::connect(m_app, &VornApp::showMessage, &guard, [&refused] { refused = true; });
    camera->ssdFOpen(name);
    auto opened = [&]() -> SsdTake* {
        for (SsdTake* take : *camera->ssdTakes()) {
            if (take->name() == name && take->valuesInit())
                return take;
        }
        return nullptr;
    };
    Cli::waitFor([&] { return refused || opened(); }, m_timeoutMs);
    if (SsdTake* take = opened())
        return take;
    if (!refused && !Cli::interrupted())
        Cli::error(QStringLiteral("the camera did not open \"%1\" from its SSD").arg(name));
    *exitCode = Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitNotFound;
    return nullptr;
}

int CliCameraCommands::info(const QString& address, int takeId, const QString& ssdTakeName)
{
    Camera* camera = connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    const QObject* object = camera;
    int exitCode = Cli::ExitOk;
    if (takeId > 0)
        object = findTake(camera, takeId, &exitCode);
    else if (!ssdTakeName.isEmpty())
        object = openSsdTake(camera, ssdTakeName, &exitCode);
    if (!object)
        return exitCode;
    QJsonObject all = values(object);
    if (const auto* take = qobject_cast<const AbstractTake*>(object))
        all.insert(QStringLiteral("takeId"), take->takeId());
    if (const auto* ssdTake = qobject_cast<const SsdTake*>(object))
        all.insert(QStringLiteral("fileName"), ssdTake->name());
    QStringList lines;
    for (auto it = all.begin(); it != all.end(); ++it)
        lines.append(it.key() + QStringLiteral(" = ") + valueText(it.value()));
    print(all, lines.join('\n'));
    return Cli::ExitOk;
}

int CliCameraCommands::set(const QString& address, const QStringList& assignments)
{
    Camera* camera = connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    struct Request
    {
        QString name;
        VornValue* value;
        QString asked;
    };
    QList<Request> requests;
    for (const QString& assignment : assignments) {
        const qsizetype equals = assignment.indexOf('=');
        const QString name = assignment.left(equals).trimmed();
        auto* value = equals > 0 ? camera->property(name.toLatin1()).value<VornValue*>() : nullptr;
        if (!value) {
            Cli::error(equals > 0 ? QStringLiteral("the camera has no value named \"%1\"").arg(name)
                                  : QStringLiteral("expected NAME=VALUE, got \"%1\"").arg(assignment));
            return Cli::ExitUsage;
        }
        requests.append({name, value, assignment.mid(equals + 1)});
    }
    for (const Request& request : std::as_const(requests))
        request.value->setValue(request.asked);
    // Sent values show in the polls after their PUT; the first poll after a
    // change may still carry the old one.
    Cli::waitFor(
        [&] {
            for (const Request& request : std::as_const(requests)) {
                auto* cameraValue = qobject_cast<CameraValue*>(request.value);
                if (cameraValue && cameraValue->sendPending())
                    return false;
            }
            return true;
        },
        m_timeoutMs);
    waitForPolls(camera, 2);
    if (Cli::interrupted())
        return Cli::ExitInterrupted;
    QJsonObject reported;
    QJsonArray notStuck;
    QStringList lines;
    for (const Request& request : std::as_const(requests)) {
        const QVariant now = request.value->value();
        reported.insert(request.name, QJsonValue::fromVariant(now));
        lines.append(request.name + QStringLiteral(" = ") + now.toString());
        if (!sameValue(now, request.asked)) {
            notStuck.append(request.name);
            Cli::error(QStringLiteral("%1 did not stick: asked %2, the camera reports %3")
                           .arg(request.name, request.asked, now.toString()));
        }
    }
    print(QJsonObject{{"values", reported}, {"notStuck", notStuck}}, lines.join('\n'));
    return notStuck.isEmpty() ? Cli::ExitOk : Cli::ExitFailed;
}

int CliCameraCommands::waitUntil(const QString& what, const std::function<bool()>& reached)
{
    if (Cli::waitFor(reached, m_timeoutMs))
        return Cli::ExitOk;
    if (Cli::interrupted())
        return Cli::ExitInterrupted;
    Cli::error(QStringLiteral("the camera did not %1 within %2 s").arg(what).arg(m_timeoutMs / 1000.0));
    return Cli::ExitFailed;
}
