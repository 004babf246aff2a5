#include "DiscoveryResponder.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace q7sim {

namespace {

const QByteArray SearchDatagram("VORN_BCAST\n");

int boundSocket(const QString& address, uint16_t port, QString* error)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (inet_pton(AF_INET, address.toLatin1().constData(), &addr.sin_addr) != 1) {
        *error = QStringLiteral("invalid address %1").arg(address);
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = QStringLiteral("cannot create a UDP socket");
        return -1;
    }
    // Several cameras of one host share the discovery port.
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *error = QStringLiteral("cannot bind UDP %1:%2: %3")
                     .arg(address)
                     .arg(port)
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

DiscoveryResponder::~DiscoveryResponder()
{
    stop();
}

bool DiscoveryResponder::start(const QString& listenAddress, const QString& cameraAddress, uint16_t port,
                               const QByteArray& reply, std::function<bool()> answering, QString* error)
{
    QString ignored;
    QString& message = error ? *error : ignored;
    m_listenSocket = boundSocket(listenAddress, port, &message);
    if (m_listenSocket < 0)
        return false;
    // A second socket on the camera's own address sends the replies from
    // there (and hears searches sent straight to the camera).
    if (listenAddress != cameraAddress) {
        m_replySocket = boundSocket(cameraAddress, port, &message);
        if (m_replySocket < 0) {
            close(m_listenSocket);
            m_listenSocket = -1;
            return false;
        }
    } else {
        m_replySocket = m_listenSocket;
    }
    m_reply = reply;
    m_answering = std::move(answering);
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void DiscoveryResponder::stop()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_replySocket >= 0 && m_replySocket != m_listenSocket)
        close(m_replySocket);
    if (m_listenSocket >= 0)
        close(m_listenSocket);
    m_listenSocket = m_replySocket = -1;
}

void DiscoveryResponder::run()
{
    pollfd fds[2] = {{m_listenSocket, POLLIN, 0}, {m_replySocket, POLLIN, 0}};
    const int count = m_replySocket == m_listenSocket ? 1 : 2;
    char buffer[1500];
    while (!m_stopping) {
        if (poll(fds, count, 50) <= 0)
            continue;
        for (int i = 0; i < count; ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            sockaddr_in sender{};
            socklen_t senderSize = sizeof sender;
            const ssize_t n = recvfrom(fds[i].fd, buffer, sizeof buffer, 0,
                                       reinterpret_cast<sockaddr*>(&sender), &senderSize);
            if (n != SearchDatagram.size() || QByteArray(buffer, static_cast<int>(n)) != SearchDatagram)
                continue;
            if (m_answering && !m_answering())
                continue;
            sendto(m_replySocket, m_reply.constData(), static_cast<size_t>(m_reply.size()), 0,
                   reinterpret_cast<sockaddr*>(&sender), senderSize);
        }
    }
}

} // namespace q7sim
