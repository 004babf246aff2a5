// Discovery answers of simulated cameras: a q7sim process on the sandbox's
// camera host answers the program side's broadcast; in-process cameras answer
// searches sent to them and fall silent with the camera.
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

using namespace q7sim;

namespace {

const QByteArray Search("VORN_BCAST\n");

// Everything that arrives on the socket within `ms`.
QList<QNetworkDatagram> collect(QUdpSocket& socket, int ms)
{
    QList<QNetworkDatagram> datagrams;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        socket.waitForReadyRead(20);
        while (socket.hasPendingDatagrams())
            datagrams.append(socket.receiveDatagram());
    }
    return datagrams;
}

QString simulator()
{
    return qEnvironmentVariable("VORN_TEST_BUILD_DIR") + QStringLiteral("/tools/q7sim/q7sim");
}

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void broadcastFromTheProgramSide();
    void otherDatagramsAreIgnored();
    void silentCameraDoesNotAnswer();
    void commandLine();

private:
    QProcess m_process;
    QString m_output;
};

void TestDiscovery::initTestCase()
{
    const QString netns = qEnvironmentVariable("VORN_CAMERA_HOST_NETNS");
    if (netns.isEmpty())
        QSKIP("needs scripts/sandbox (no camera host)");
    QVERIFY2(QFile::exists(simulator()), qPrintable(simulator()));
    m_process.setProgram(QStringLiteral("nsenter"));
    m_process.setArguments({QStringLiteral("--net=") + netns, simulator(), "--camera", "10.77.0.2",
                            "--colour", "--name", "Q7 Colour", "--camera", "10.77.0.3", "--mono", "--name",
                            "Q7 Mono"});
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    QVERIFY(m_process.waitForStarted());
    // It prints one line per camera once every camera listens.
    QElapsedTimer clock;
    clock.start();
    while (m_output.count(QStringLiteral("q7sim: camera")) < 2 && clock.elapsed() < 10000 &&
           m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(100);
        m_output += QString::fromLocal8Bit(m_process.readAll());
    }
    QVERIFY2(m_output.count(QStringLiteral("q7sim: camera")) == 2, qPrintable(m_output));
}

void TestDiscovery::cleanupTestCase()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
        QCOMPARE(m_process.exitCode(), 0);
    }
}

void TestDiscovery::broadcastFromTheProgramSide()
{
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress(qEnvironmentVariable("VORN_PROGRAM_HOST_IP")), 8890,
                        QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    QCOMPARE(socket.writeDatagram(Search, QHostAddress(qEnvironmentVariable("VORN_BROADCAST_IP")), 8890),
             qint64(Search.size()));
    const QList<QNetworkDatagram> replies = collect(socket, 1000);
    QMap<QString, QByteArray> bySender;
    for (const QNetworkDatagram& d : replies)
        bySender.insert(QHostAddress(d.senderAddress().toIPv4Address()).toString(), d.data());
    QCOMPARE(replies.size(), 2); // one answer per camera and search
    QCOMPARE(bySender.keys(), QStringList({"10.77.0.2", "10.77.0.3"}));
    for (const QByteArray& data : bySender)
        QVERIFY(data.startsWith("VORN_REPLY\n"));
    QVERIFY(bySender.value("10.77.0.2").contains("name=Q7 Colour\n"));
    QVERIFY(bySender.value("10.77.0.3").contains("name=Q7 Mono\n"));
    // A second search is answered again.
    socket.writeDatagram(Search, QHostAddress(qEnvironmentVariable("VORN_BROADCAST_IP")), 8890);
    QCOMPARE(collect(socket, 500).size(), 2);
}

void TestDiscovery::otherDatagramsAreIgnored()
{
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress(qEnvironmentVariable("VORN_PROGRAM_HOST_IP")), 8890,
                        QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    for (const QByteArray& wrong :
         {QByteArray("VORN_BCAST"), QByteArray("vorn_bcast\n"), QByteArray("VORN_BCAST\nx")})
        socket.writeDatagram(wrong, QHostAddress(qEnvironmentVariable("VORN_BROADCAST_IP")), 8890);
    QCOMPARE(collect(socket, 500).size(), 0);
}

void TestDiscovery::silentCameraDoesNotAnswer()
{
    // In-process, a camera that listens on its own address answers searches sent to it.
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.5");
    config.discoveryListen = config.address;
    config.discoveryPort = 8891;
    SimCamera camera(config);
    QVERIFY2(camera.start(), qPrintable(camera.errorString()));
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    socket.writeDatagram(Search, QHostAddress(config.address), 8891);
    QList<QNetworkDatagram> replies = collect(socket, 300);
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.first().senderAddress(), QHostAddress(config.address));
    QVERIFY(replies.first().data().startsWith("VORN_REPLY\n"));

    camera.addFault(Fault::noAnswer());
    socket.writeDatagram(Search, QHostAddress(config.address), 8891);
    QCOMPARE(collect(socket, 300).size(), 0);
    camera.clearFaults();
    socket.writeDatagram(Search, QHostAddress(config.address), 8891);
    QCOMPARE(collect(socket, 300).size(), 1);
}

void TestDiscovery::commandLine()
{
    QProcess wrong;
    wrong.start(simulator(),
                {QStringLiteral("--camera"), QStringLiteral("127.0.0.9"), QStringLiteral("--bogus")});
    QVERIFY(wrong.waitForFinished(5000));
    QCOMPARE(wrong.exitCode(), 2);
    QVERIFY(wrong.readAllStandardError().contains("unknown option --bogus"));
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
