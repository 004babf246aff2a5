#include "CliRigCommands.h"

#include "Camera.h"
#include "CameraHttp.h"
#include "CliCameraCommands.h"
#include "CliSupport.h"
#include "Take.h"
#include "VornApp.h"
#include "VornValue.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QNetworkReply>
#include <QPointer>
#include <algorithm>

struct CliRigCommands::Member
{
    QString address;
    QPointer<Camera> camera;
    QPointer<QNetworkReply> reply; // the command, until the camera answers it
    bool answered = false;
    bool unreachable = false;
    QString error;          // why this camera failed; empty while it has not
    QList<int> takesBefore; // trigger: the takes saved before it
    QPointer<Take> take;    // trigger: the take it saved
};

namespace {

using Command = CliRigCommands::Command;

QString commandPath(Command command)
{
    switch (command) {
    case CliRigCommands::Record:
        return QStringLiteral("/rec");
    case CliRigCommands::Trigger:
        return QStringLiteral("/trig");
    case CliRigCommands::Abort:
        break;
    }
    return QStringLiteral("/abort");
}

QString goal(Command command)
{
    switch (command) {
    case CliRigCommands::Record:
        return QStringLiteral("start recording");
    case CliRigCommands::Trigger:
        return QStringLiteral("save a take after the trigger");
    case CliRigCommands::Abort:
        break;
    }
    return QStringLiteral("stop recording");
}

qint64 triggerNs(const Take* take)
{
    const auto seconds = take->property("trigTsS").value<VornValue*>()->value().toLongLong();
    const auto ns = take->property("trigTsNs").value<VornValue*>()->value().toLongLong();
    return seconds * 1000000000LL + ns;
}

} // namespace

CliRigCommands::CliRigCommands(VornApp* app, CliCameraCommands* cameras) : m_app(app), m_cameras(cameras) {}

QString CliRigCommands::durationText(qint64 ns)
{
    if (ns < 1000000)
        return QStringLiteral("%1 µs").arg(ns / 1000);
    if (ns < 1000000000)
        return QStringLiteral("%1 ms").arg(ns / 1e6, 0, 'f', 3);
    return QStringLiteral("%1 s").arg(ns / 1e9, 0, 'f', 3);
}

bool CliRigCommands::connectAll(const QStringList& addresses, QList<Member>* members)
{
    QList<QHostAddress> ips;
    for (const QString& address : addresses) {
        const QHostAddress ip(address);
        if (ip.isNull() || ip.protocol() != QAbstractSocket::IPv4Protocol) {
            Cli::error(QStringLiteral("not an IPv4 address: %1").arg(address));
            return false;
        }
        if (ips.contains(ip))
            continue;
        ips.append(ip);
        m_app->connectCamera(ip);
        Member member;
        member.address = ip.toString();
        member.camera = m_app->findCamera(ip);
        members->append(member);
    }
    // They connect side by side: the wait is that of the slowest.
    Cli::waitFor(
        [members] {
            return std::all_of(members->cbegin(), members->cend(),
                               [](const Member& m) { return !m.camera || m.camera->connected(); });
        },
        m_cameras->timeoutMs());
    for (Member& member : *members) {
        if (!member.camera || !member.camera->connected()) {
            member.camera = nullptr;
            member.unreachable = true;
            member.error = QStringLiteral("no camera answers");
        }
    }
    return true;
}

int CliRigCommands::run(Command command, const QStringList& addresses, bool all)
{
    QList<Member> members;
    if (all) {
        for (Camera* camera : m_cameras->discoverCameras()) {
            Member member;
            member.address = camera->ipString();
            member.camera = camera;
            members.append(member);
        }
        if (Cli::interrupted())
            return Cli::ExitInterrupted;
        if (members.isEmpty()) {
            Cli::error(QStringLiteral("no camera answered"));
            return Cli::ExitUnreachable;
        }
    } else if (!connectAll(addresses, &members)) {
        return Cli::ExitUsage;
    }
    if (Cli::interrupted())
        return Cli::ExitInterrupted;

    if (command == Trigger) {
        for (Member& member : members) {
            if (!member.camera)
                continue;
            for (Take* take : *member.camera->takes()) {
                if (take->savedOpened())
                    member.takesBefore.append(take->takeId());
            }
        }
    }
    // Every request leaves before the event loop sees any answer.
    const QString path = commandPath(command);
    for (Member& member : members) {
        if (member.camera)
            member.reply =
                CameraHttp::post(member.camera->address(), path, QByteArray(), m_cameras->timeoutMs());
    }
    QObject guard; // no answer reaches `members` after this function
    for (qsizetype i = 0; i < members.size(); ++i) {
        QNetworkReply* reply = members.at(i).reply;
        if (!reply)
            continue;
        QObject::connect(reply, &QNetworkReply::finished, &guard, [&members, i, reply] {
            Member& member = members[i];
            member.answered = true;
            const QString text = CameraHttp::errorText(reply, CameraHttp::readBody(reply));
            // A request that timed out (after --timeout without a byte) went unanswered.
            if (!text.isEmpty()) {
                if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() > 0)
                    member.error = QStringLiteral("refused: ") + text;
                else if (reply->error() == QNetworkReply::OperationCanceledError)
                    member.error = QStringLiteral("does not answer");
                else
                    member.error = text;
            }
            reply->deleteLater();
        });
    }

    auto reached = [command](Member& member) {
        const int state = member.camera->acqState()->value().toInt();
        if (command == Record)
            return state == Camera::AcqRecording || state == Camera::AcqRecordingWrapped;
        if (command == Abort)
            return state == Camera::AcqStandby;
        // Trigger: the take is saved once the frames after the trigger are
        // recorded; its time stamp comes with its values.
        if (state == Camera::AcqTriggered)
            return false;
        for (Take* take : *member.camera->takes()) {
            if (take->savedOpened() && take->valuesInit() && !member.takesBefore.contains(take->takeId()))
                member.take = take;
        }
        return !member.take.isNull();
    };
    auto settled = [&](Member& member) {
        return !member.error.isEmpty() || !member.camera || (member.answered && reached(member));
    };
    Cli::waitFor([&] { return std::all_of(members.begin(), members.end(), settled); },
                 m_cameras->timeoutMs());
    if (Cli::interrupted())
        return Cli::ExitInterrupted;
    for (Member& member : members) {
        if (!member.camera && member.error.isEmpty())
            member.error = QStringLiteral("was disconnected");
        else if (!settled(member))
            member.error = member.answered ? QStringLiteral("did not %1 within %2 s")
                                                 .arg(goal(command))
                                                 .arg(m_cameras->timeoutMs() / 1000.0)
                                           : QStringLiteral("does not answer");
        if (member.reply && !member.answered)
            CameraHttp::abort(member.reply);
    }

    report(command, members);
    bool failed = false;
    bool unreachable = false;
    for (const Member& member : members) {
        if (member.error.isEmpty())
            continue;
        Cli::error(member.address + QStringLiteral(": ") + member.error);
        (member.unreachable ? unreachable : failed) = true;
    }
    return failed ? Cli::ExitFailed : unreachable ? Cli::ExitUnreachable : Cli::ExitOk;
}

void CliRigCommands::report(Command command, const QList<Member>& members) const
{
    QJsonArray list;
    QStringList lines;
    QList<qint64> triggers;
    for (const Member& member : members) {
        QJsonObject entry{{"address", member.address}};
        QString line = member.address + QLatin1Char('\t');
        if (member.camera)
            entry.insert("name", member.camera->name()->value().toString());
        if (!member.error.isEmpty()) {
            entry.insert("error", member.error);
            line += QStringLiteral("failed: ") + member.error;
        } else if (command == Trigger && member.take) {
            const qint64 ns = triggerNs(member.take);
            const auto seconds = quint64(ns / 1000000000);
            const auto fraction = uint(ns % 1000000000);
            const QString time = m_app->timestampDateString(seconds, fraction) + QLatin1Char('T') +
                                 m_app->timestampTimeNsString(seconds, fraction);
            triggers.append(ns);
            entry.insert("take", member.take->takeId());
            entry.insert("triggerTime", time);
            line += QStringLiteral("take %1\t%2").arg(member.take->takeId()).arg(time);
        } else {
            const QString state = command == Record ? QStringLiteral("recording") : QStringLiteral("standby");
            entry.insert("state", state);
            line += state;
        }
        list.append(entry);
        lines.append(line);
    }
    QJsonObject result{{"cameras", list}};
    if (triggers.size() >= 2) {
        // How far apart the cameras' clocks put the one trigger.
        const auto [first, last] = std::minmax_element(triggers.cbegin(), triggers.cend());
        result.insert("spreadNs", *last - *first);
        lines.append(QStringLiteral("spread ") + durationText(*last - *first));
    }
    m_cameras->print(result, lines.join('\n'));
}
