#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace {

// A second start writes a handful of paths; anything longer is not one.
constexpr qint64 MaxMessageBytes = 64 * 1024;
constexpr int ClientTimeoutMs = 5000;

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

QString SingleInstance::socketPath()
{
    // A program run apart from the user's session (in the network sandbox
    // with simulated cameras) names a socket of its own.
    const QString own = qEnvironmentVariable("VORN_INSTANCE_SOCKET");
    if (!own.isEmpty())
        return own;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("vorn.socket"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vorn-%1.socket").arg(getuid()));
}

QStringList SingleInstance::filesOf(const QStringList& arguments)
{
    // The program opens the first argument after its name; the others are
    // ignored, as at an ordinary start.
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return {};
    return {QFileInfo(arguments.at(1)).absoluteFilePath()};
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    for (const QString& file : files)
        message += file.toUtf8() + '\n';
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    return answer.startsWith("ok\n");
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = socketPath();
    if (!m_server->listen(path)) {
        // Nobody answered there (handOver failed), so the file is stale.
        QLocalServer::removeServer(path);
        if (!m_server->listen(path)) {
            qWarning() << "single instance: cannot listen on" << path << m_server->errorString();
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A client that never finishes its message is dropped.
            QTimer::singleShot(ClientTimeoutMs, socket, [socket] { socket->abort(); });
            readFrom(socket);
        }
    });
    return true;
}

void SingleInstance::readFrom(QLocalSocket* socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    if (buffer.size() > MaxMessageBytes) {
        socket->abort();
        return;
    }
    socket->setProperty("buffer", buffer);
    if (!buffer.endsWith("\n\n") && buffer != "\n")
        return;
    QStringList files;
    for (const QByteArray& line : buffer.split('\n'))
        if (!line.isEmpty())
            files << QString::fromUtf8(line);
    socket->setProperty("buffer", QVariant());
    socket->write("ok\n");
    socket->flush();
    emit filesHandedOver(files);
}
