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

namespace {

// Names compared as people read them: runs of digits by value ("Rig 9"
// before "Rig 10"), letters without regard to case.
int compareNames(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            const qsizetype startA = i, startB = j;
            while (i < a.size() && a.at(i).isDigit())
                ++i;
            while (j < b.size() && b.at(j).isDigit())
                ++j;
            QStringView numberA = QStringView(a).mid(startA, i - startA);
            QStringView numberB = QStringView(b).mid(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == QLatin1Char('0'))
                numberA = numberA.mid(1);
            while (numberB.size() > 1 && numberB.front() == QLatin1Char('0'))
                numberB = numberB.mid(1);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size() ? -1 : 1;
            if (const int byDigits = numberA.compare(numberB))
                return byDigits;
            continue;
        }
        const char32_t charA = a.at(i++).toCaseFolded().unicode();
        const char32_t charB = b.at(j++).toCaseFolded().unicode();
        if (charA != charB)
            return charA < charB ? -1 : 1;
    }
    return int(a.size() - i) - int(b.size() - j);
}

// The order of the camera tabs, the same at every start whichever camera
// answers first: by name, then by address. A camera that has not answered
// yet has no name and waits behind the named ones.
bool cameraBefore(const Camera* a, const Camera* b)
{
    const QString nameA = a->name()->value().toString();
    const QString nameB = b->name()->value().toString();
    if (nameA.isEmpty() != nameB.isEmpty())
        return nameB.isEmpty();
    if (const int byName = compareNames(nameA, nameB))
        return byName < 0;
    return a->address().toIPv4Address() < b->address().toIPv4Address();
}

} // namespace

int VornApp::cameraRow(const Camera* camera) const
{
    // Cameras come first in the list, the files after them in opening order.
    int row = 0;
    for (VornObject* object : *m_vornObjModel) {
        auto* other = qobject_cast<Camera*>(object);
        if (other && other != camera && cameraBefore(other, camera))
            ++row;
    }
    return row;
}

void VornApp::placeCamera(Camera* camera)
{
    const int from = m_vornObjModel->indexOf(camera);
    if (from >= 0)
        m_vornObjModel->move(from, cameraRow(camera));
}

void VornApp::addCamera(Camera* camera)
{
    m_vornObjModel->insert(cameraRow(camera), camera);
    // A renamed camera (or one that names itself on its first answer) moves
    // to its place.
    connect(camera->name(), &VornValue::valueChanged, this, [this, camera] { placeCamera(camera); });
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
