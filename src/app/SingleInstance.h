#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One program per user session. The running program listens on a local
// socket; a second start hands it the files of its command line (and asks
// for its window) instead of scanning and polling the same cameras again.
//
// The exchange is a few lines of UTF-8: one absolute file path per line, an
// empty line to end, answered by "ok". A socket nobody answers on is left
// over from a program that ended without removing it and is replaced.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject* parent = nullptr);

    // The socket's path: VORN_INSTANCE_SOCKET when set, else in the
    // session's runtime folder when there is one, else in the temporary
    // folder under the user's id.
    static QString socketPath();

    // The VORN files named on a command line, made absolute against the
    // current folder (the running program may have another).
    static QStringList filesOf(const QStringList& arguments);

    // Hands the files to a running program; true when one took them. Works
    // before any application object exists.
    static bool handOver(const QStringList& files, int timeoutMs = 3000);

    // Starts answering second starts; false (with the reason in the log)
    // when the socket cannot be made, which leaves this program on its own.
    bool listen();

signals:
    // A second start handed over these files (possibly none) and wants the
    // window in front.
    void filesHandedOver(const QStringList& files);

private:
    void readFrom(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};
