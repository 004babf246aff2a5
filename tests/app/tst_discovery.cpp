#include "Camera.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QUdpSocket>

// Discovery across the sandbox's veth pair: the program on 10.77.0.1, a q7sim
// process on the camera host at 10.77.0.2.
class TestDiscovery : public QObject
{
    Q_OBJECT

private:
    QProcess m_sim;
    QNetworkAccessManager m_nam;

    struct Search
    {
        QHostAddress from;
        qint64 atMs;
    };

    // Collects the search datagrams the program broadcasts (they loop back to
    // a socket bound to the broadcast address) during one scan.
    QList<Search> runScan(QElapsedTimer& clock, const std::function<void()>& during = {})
    {
        QUdpSocket listener;
        if (!listener.bind(QHostAddress(QString::fromLocal8Bit(qgetenv("VORN_BROADCAST_IP"))), 8890,
                           QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
            return {};
        QList<Search> searches;
        connect(&listener, &QUdpSocket::readyRead, &listener, [&] {
            while (listener.hasPendingDatagrams()) {
                const QNetworkDatagram d = listener.receiveDatagram();
                if (d.data() == "VORN_BCAST\n")
                    searches.append({d.senderAddress(), clock.elapsed()});
            }
        });
        VornApp* app = VornApp::instance();
        clock.start();
        app->startBroadcast();
        if (during)
            during();
        (void)QTest::qWaitFor([&] { return !app->broadcasting(); }, 5000);
        return searches;
    }

    static void runIp(const QStringList& args) { QCOMPARE(QProcess::execute(QStringLiteral("ip"), args), 0); }

private slots:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariableIsSet("VORN_CAMERA_HOST_NETNS"), "must run inside scripts/sandbox");
        VornApp* app = VornApp::instance();
        app->stopBroadcast(); // the scan of the start-up
        app->set_networkAccessManager(&m_nam);
        const QString sim = qEnvironmentVariable("VORN_TEST_BUILD_DIR") + "/tools/q7sim/q7sim";
        m_sim.setProcessChannelMode(QProcess::ForwardedChannels);
        m_sim.start("nsenter", {"--net=" + qEnvironmentVariable("VORN_CAMERA_HOST_NETNS"), sim, "--camera",
                                qEnvironmentVariable("VORN_CAMERA_HOST_IP"), "--name", "Discovered"});
        QVERIFY(m_sim.waitForStarted());
        // Wait until the camera serves HTTP.
        QVERIFY(QTest::qWaitFor(
            [&] {
                QNetworkReply* reply =
                    m_nam.get(QNetworkRequest(QUrl("http://" + qEnvironmentVariable("VORN_CAMERA_HOST_IP"))));
                QSignalSpy done(reply, &QNetworkReply::finished);
                done.wait(1000);
                const bool ok = reply->error() == QNetworkReply::NoError;
                delete reply;
                return ok;
            },
            10000));
    }

    void cleanupTestCase()
    {
        m_sim.terminate();
        m_sim.waitForFinished(3000);
    }

    void scanFindsTheCameraOnce()
    {
        VornApp* app = VornApp::instance();
        QElapsedTimer clock;
        // A second start during the scan neither restarts nor extends it.
        const auto searches = runScan(clock, [&] {
            QTest::qWait(500);
            app->startBroadcast();
        });
        // The scan's timer is precise: ticks can come late on a loaded
        // machine, not early.
        const qint64 endedMs = clock.elapsed();
        QVERIFY2(endedMs >= 2900 && endedMs < 4500, qPrintable(QString::number(endedMs)));
        QCOMPARE(searches.size(), 2);
        QCOMPARE(searches.at(0).from, QHostAddress(qEnvironmentVariable("VORN_PROGRAM_HOST_IP")));
        QVERIFY2(searches.at(0).atMs > 900 && searches.at(0).atMs < 1500,
                 qPrintable(QString::number(searches.at(0).atMs)));
        QVERIFY2(searches.at(1).atMs - searches.at(0).atMs > 900 && searches.at(1).atMs < 2700,
                 qPrintable(QString::number(searches.at(1).atMs)));

        // The camera answered both searches: one camera, connected over HTTP.
        QCOMPARE(app->vornObjModel()->count(), 1);
        auto* camera = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(camera);
        QCOMPARE(camera->ipString(), qEnvironmentVariable("VORN_CAMERA_HOST_IP"));
        QTRY_VERIFY_WITH_TIMEOUT(camera->connected(), 5000);
        QCOMPARE(camera->name()->value().toString(), QStringLiteral("Discovered"));
        QCOMPARE(app->selectedVornObject(), camera);

        // The next scan finds it again and adds nothing.
        runScan(clock);
        QCOMPARE(app->vornObjModel()->count(), 1);
        camera->disconnectCamera();
        QTRY_COMPARE(app->vornObjModel()->count(), 0);
    }

    void oneSearchPerInterfaceAddress()
    {
        // A second address on the same subnet and interface.
        runIp({"addr", "add", "10.77.0.5/24", "broadcast", "10.77.0.255", "dev", "vorn0"});
        QElapsedTimer clock;
        const auto searches = runScan(clock);
        runIp({"addr", "del", "10.77.0.5/24", "dev", "vorn0"});
        QCOMPARE(searches.size(), 4);
        QMap<QString, int> perAddress;
        for (const Search& s : searches)
            ++perAddress[s.from.toString()];
        QCOMPARE(perAddress.value(qEnvironmentVariable("VORN_PROGRAM_HOST_IP")), 2);
        QCOMPARE(perAddress.value("10.77.0.5"), 2);
        VornApp* app = VornApp::instance();
        QTRY_COMPARE(app->vornObjModel()->count(), 1);
        qobject_cast<Camera*>(app->vornObjModel()->first())->disconnectCamera();
        QTRY_COMPARE(app->vornObjModel()->count(), 0);
    }

    void repliesMustMatchExactly()
    {
        VornApp* app = VornApp::instance();
        const QString cameraIp = qEnvironmentVariable("VORN_CAMERA_HOST_IP");
        // An address typed by hand is not connected again by discovery.
        app->connectCamera(cameraIp);
        QCOMPARE(app->vornObjModel()->count(), 1);

        QElapsedTimer clock;
        runScan(clock, [&] {
            QTest::qWait(100); // sockets are open
            const QHostAddress program(qEnvironmentVariable("VORN_PROGRAM_HOST_IP"));
            const QList<QPair<QString, QByteArray>> replies{
                {"127.0.0.5", "VORN_REPLY"},           // no final line feed
                {"127.0.0.6", "vorn_reply\n"},         // lower case
                {"127.0.0.7", "VORN_REPLYX"},          // wrong 11th byte
                {"127.0.0.8", "VORN_REPLY\nmodel=Q7"}, // valid, with trailing text
            };
            for (const auto& [from, text] : replies) {
                QUdpSocket sender;
                QVERIFY(sender.bind(QHostAddress(from), 0));
                QCOMPARE(sender.writeDatagram(text, program, 8890), qint64(text.size()));
            }
        });
        QStringList addresses;
        for (VornObject* object : app->vornObjModel()->toList())
            addresses << qobject_cast<Camera*>(object)->ipString();
        addresses.sort();
        QCOMPARE(addresses, (QStringList{cameraIp, "127.0.0.8"}));
        for (VornObject* object : app->vornObjModel()->toList())
            qobject_cast<Camera*>(object)->disconnectCamera();
        QTRY_COMPARE(app->vornObjModel()->count(), 0);
    }
};

VORN_TEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
