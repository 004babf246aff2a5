#include "FuzzSupport.h"

#include "FuzzReply.h"
#include "VornTestMain.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

QByteArray Answer::control(const char* name, const QByteArray& fallback) const
{
    for (const auto& [key, value] : controls)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return fallback;
}

qint64 Answer::controlNumber(const char* name, qint64 fallback, qint64 min, qint64 max) const
{
    bool ok = false;
    const qint64 n = control(name).toLongLong(&ok);
    return ok ? qBound(min, n, max) : fallback;
}

Answer parseAnswer(const QByteArray& part)
{
    Answer answer;
    // A head starts with a status: "HTTP/1.1 200 OK" or just "200".
    qsizetype at = part.indexOf('\n') + 1;
    QByteArray status = part.left(at).trimmed();
    status = status.startsWith("HTTP/") ? status.mid(status.indexOf(' ') + 1) : status;
    bool ok = false;
    answer.status = status.left(3).toInt(&ok);
    if (!ok || at == 0 || status.size() < 3) {
        answer.status = 200;
        answer.body = part;
        return answer;
    }
    while (at < part.size()) {
        const qsizetype end = part.indexOf('\n', at) < 0 ? part.size() : part.indexOf('\n', at);
        const QByteArray line = part.mid(at, end - at).trimmed();
        at = end + 1;
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = colon < 0 ? line : line.left(colon).trimmed();
        const QByteArray value = colon < 0 ? QByteArray() : line.mid(colon + 1).trimmed();
        if (name.startsWith("X-Fuzz-"))
            answer.controls.append({name.mid(7), value});
        else
            answer.headers.append({name, value});
    }
    answer.body = part.mid(at);
    answer.transportError = int(answer.controlNumber("Error", 0, 0, 499));
    answer.chunk = answer.controlNumber("Chunk", 0, 0, 1 << 30);
    return answer;
}

QList<QByteArray> splitParts(const QByteArray& data)
{
    static const QByteArray separator("\n--next--\n");
    QList<QByteArray> parts;
    qsizetype at = 0;
    for (qsizetype next; (next = data.indexOf(separator, at)) >= 0; at = next + separator.size())
        parts.append(data.mid(at, next - at));
    parts.append(data.mid(at));
    return parts;
}

QNetworkReply* Network::createRequest(Operation op, const QNetworkRequest& request, QIODevice*)
{
    Answer answer;
    if (m_responder)
        answer = m_responder(op, request.url().path());
    else
        answer.status = 404;
    return new FuzzReply(op, request, answer, this);
}

bool Network::settle()
{
    // Timers do not run here: only what the replies set off.
    for (int round = 0; round < 100000; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bool busy = false;
        for (const FuzzReply* reply : findChildren<FuzzReply*>(Qt::FindDirectChildrenOnly))
            busy = busy || !reply->isFinished();
        if (!busy)
            return true;
    }
    return false;
}

void Network::reset()
{
    qDeleteAll(findChildren<FuzzReply*>(Qt::FindDirectChildrenOnly));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_responder = nullptr;
}

namespace {

void dropMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "fatal: %s\n", qPrintable(message));
        abort();
    }
}

} // namespace

Network& network()
{
    static Network* net = [] {
        // The program's own folders, settings and log stay out of the
        // user's; no window system is needed.
        VornTest::isolateUserFolders();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(dropMessage);
        static int argc = 1;
        static char name[] = "vorn-fuzz";
        static char* argv[] = {name, nullptr};
        auto* app = new VornApp(argc, argv, VornApp::StartMode::Headless);
        // Millions of runs: the program's log lines would only slow them
        // (its log set-up installs a handler of its own).
        qInstallMessageHandler(dropMessage);
        auto* network = new Network;
        app->set_networkAccessManager(network);
        return network;
    }();
    return *net;
}

QString scratchFolder()
{
    network();
    QDir dir(VornTest::isolateUserFolders().filePath(QStringLiteral("scratch")));
    dir.removeRecursively();
    dir.mkpath(QStringLiteral("."));
    return dir.path();
}

void check(bool condition, const char* what)
{
    if (condition)
        return;
    fprintf(stderr, "fuzz check failed: %s\n", what);
    abort();
}

} // namespace Fuzz
