#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

namespace q7sim {

// Answers the program's discovery search: a "VORN_BCAST\n" datagram arriving
// on the listen address (where broadcasts arrive: the wildcard or the
// network's broadcast address) is answered with "VORN_REPLY\n" and a few
// identifying lines, sent from the camera's own address to the sender.
class DiscoveryResponder
{
public:
    DiscoveryResponder() = default;
    ~DiscoveryResponder();

    // `answering` is asked before each reply, so a silent camera stays silent.
    bool start(const QString& listenAddress, const QString& cameraAddress, uint16_t port,
               const QByteArray& reply, std::function<bool()> answering, QString* error);
    void stop();

private:
    void run();

    int m_listenSocket = -1;
    int m_replySocket = -1;
    QByteArray m_reply;
    std::function<bool()> m_answering;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
};

} // namespace q7sim
