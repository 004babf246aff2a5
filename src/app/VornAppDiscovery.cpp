// Camera discovery and connection of the application object.

#include "Camera.h"
#include "VornApp.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace {

constexpr quint16 DiscoveryPort = 8890;
const QByteArray SearchDatagram("VORN_BCAST\n");
const QByteArray ReplyPrefix("VORN_REPLY\n");

} // namespace

void VornApp::openBroadcastSockets()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            !flags.testFlag(QNetworkInterface::CanBroadcast) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.broadcast().isNull())
                continue;
            const bool known = std::any_of(m_broadcastEntries.cbegin(), m_broadcastEntries.cend(),
                                           [&](const BroadcastEntry& e) { return e.address == entry.ip(); });
            if (known)
                continue;
            auto* socket = new QUdpSocket(this);
            if (!socket->bind(entry.ip(), DiscoveryPort,
                              QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
                socket->deleteLater();
                continue;
            }
            connect(socket, &QUdpSocket::readyRead, this, &VornApp::recvBroadcastReply);
            m_broadcastEntries.append({entry.ip(), entry.broadcast(), socket});
            qDebug() << "broadcast to " << entry.broadcast();
        }
    }
}

void VornApp::startBroadcast()
{
    if (m_broadcasting)
        return;
    m_broadcastCount = 0;
    openBroadcastSockets();
    m_broadcastTimer->start();
    m_broadcasting = true;
}

void VornApp::sendBroadcast()
{
    if (!m_broadcasting)
        return;
    if (m_broadcastCount == 2) {
        stopBroadcast();
        return;
    }
    for (const BroadcastEntry& entry : std::as_const(m_broadcastEntries))
        entry.socket->writeDatagram(SearchDatagram, entry.broadcast, DiscoveryPort);
    ++m_broadcastCount;
}

void VornApp::stopBroadcast()
{
    if (!m_broadcasting)
        return;
    for (const BroadcastEntry& entry : std::as_const(m_broadcastEntries)) {
        entry.socket->close();
        entry.socket->deleteLater();
    }
    m_broadcastEntries.clear();
    m_broadcastTimer->stop();
    m_broadcasting = false;
}

void VornApp::recvBroadcastReply()
{
    auto* socket = qobject_cast<QUdpSocket*>(sender());
    if (!socket)
        return;
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram(socket->pendingDatagramSize());
        bool isIPv4 = false;
        const QHostAddress source(datagram.senderAddress().toIPv4Address(&isIPv4));
        if (!isIPv4)
            continue;
        const QByteArray data = datagram.data();
        if (data.size() >= ReplyPrefix.size() && data.left(ReplyPrefix.size()) == ReplyPrefix)
            connectCamera(source);
    }
}

Camera* VornApp::findCamera(const QHostAddress& ip) const
{
    for (VornObject* object : *m_vornObjModel) {
        auto* camera = qobject_cast<Camera*>(object);
        if (camera && camera->address().isEqual(ip, QHostAddress::TolerantConversion))
            return camera;
    }
    return nullptr;
}

void VornApp::addCamera(Camera* camera)
{
    m_vornObjModel->append(camera);
    connect(camera, &Camera::cameraConnectFailed, this, &VornApp::removeVornObject);
    connect(camera, &Camera::cameraDisconnected, this, &VornApp::removeVornObject);
    if (!m_selectedVornObject)
        setSelectedVornObject(camera);
}

void VornApp::connectCamera(const QHostAddress& ip)
{
    if (findCamera(ip))
        return;
    qDebug() << "connectCamera" << ip.toString();
    auto* camera = new Camera(ip, this);
    camera->connectCamera();
    connect(camera, &Camera::cameraConnected, this, &VornApp::connectCameraFinished);
    addCamera(camera);
}

void VornApp::connectCamera(const QString& ip)
{
    connectCamera(QHostAddress(ip));
}

void VornApp::connectVirtualCamera()
{
    addCamera(new Camera(virtualCameraAddress(), this));
}

void VornApp::connectCameraFinished(Camera* camera)
{
    disconnect(camera, &Camera::cameraConnected, this, &VornApp::connectCameraFinished);
    disconnect(camera, &Camera::cameraConnectFailed, this, &VornApp::removeVornObject);
}
