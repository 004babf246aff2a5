#include "FuzzSupport.h"

#include "FuzzReply.h"
#include "VornApp.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
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
    qsizetype at = 0;
    qsizetype lineEnd = part.indexOf('\n');
    QByteArray line = part.left(lineEnd < 0 ? part.size() : lineEnd).trimmed();
    if (line.startsWith("HTTP/"))
        line = line.mid(line.indexOf(' ') + 1);
    bool ok = false;
    const int status = line.left(3).toInt(&ok);
    if (!ok || line.size() < 3 || lineEnd < 0) {
        answer.body = part;
        return answer;
    }
    answer.status = status;
    at = lineEnd + 1;
    while (at < part.size()) {
        lineEnd = part.indexOf('\n', at);
        const qsizetype end = lineEnd < 0 ? part.size() : lineEnd;
        const QByteArray header = part.mid(at, end - at);
        at = end + 1;
        if (header.trimmed().isEmpty())
            break;
        const qsizetype colon = header.indexOf(':');
        const QByteArray name = header.left(colon < 0 ? header.size() : colon).trimmed();
        const QByteArray value = colon < 0 ? QByteArray() : header.mid(colon + 1).trimmed();
        if (name.startsWith("X-Fuzz-"))
            answer.controls.append({name.mid(7), value});
        else
            answer.headers.append({name, value});
    }
    if (at < part.size())
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

QNetworkReply* Network::createRequest(Operation op, const QNetworkRequest& request, QIODevice* outgoingData)
{
    const QByteArray body = outgoingData ? outgoingData->readAll() : QByteArray();
    Answer answer;
    if (m_responder)
        answer = m_responder(op, request.url().path(), body);
    else
        answer.status = 404;
    return new FuzzReply(op, request, answer, this);
}

bool Network::settle()
{
    // Camera values send their changes every 50 ms and are answered at once;
    // a round limit keeps a reply that never ends from hanging the run.
    for (int round = 0; round < 100000; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bool busy = false;
        for (const FuzzReply* reply : findChildren<FuzzReply*>(Qt::FindDirectChildrenOnly))
            busy = busy || reply->delivering();
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

QTemporaryDir& userFolder()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

Network& network()
{
    static Network* net = [] {
        // The program's own folders, settings and log stay out of the
        // user's; no window system is needed.
        QTemporaryDir& dir = userFolder();
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("runtime")).toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QDir(dir.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
    QDir dir(userFolder().filePath(QStringLiteral("scratch")));
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
