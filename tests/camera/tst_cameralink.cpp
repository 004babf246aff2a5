#include "Camera.h"
#include "CameraHttp.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QPointer>
#include <QSignalSpy>
#include <QTimeZone>

using q7sim::Fault;

namespace {

QJsonValue simMember(q7sim::SimCamera* sim, const QStringList& key, const QStringList& altKey)
{
    const QJsonObject document = sim->stateDocument();
    QJsonValue found = VornObject::lookup(key, document);
    if (found.isNull() || found.isUndefined())
        found = VornObject::lookup(altKey, document);
    return found;
}

} // namespace

class TestCameraLink : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;

    void removeAllObjects()
    {
        VornApp* app = VornApp::instance();
        for (VornObject* object : app->vornObjModel()->toList()) {
            app->vornObjModel()->remove(object);
            delete object;
        }
    }

private slots:
    void initTestCase() { VornTest::useNetwork(&m_nam); }

    void cleanup()
    {
        removeAllObjects();
        m_sims.stopAll();
    }

    void urls()
    {
        QCOMPARE(VornApp::cameraUrl(QHostAddress("10.1.2.3"), "/rec").toString(),
                 QStringLiteral("http://10.1.2.3/rec"));
        QCOMPARE(VornApp::cameraUrl(QHostAddress("10.1.2.3"), QString()).toString(),
                 QStringLiteral("http://10.1.2.3"));
        QCOMPARE(VornApp::cameraUrl(QHostAddress("fe80::1"), "/xfer").toString(),
                 QStringLiteral("http://[fe80::1]/xfer"));
        QVERIFY(VornApp::cameraUrl(QHostAddress(), "/rec").isEmpty());
    }

    void connectFillsEveryValue()
    {
        q7sim::CameraConfig config;
        config.name = QStringLiteral("Bench Left");
        auto* sim = m_sims.start(config);
        QVERIFY(sim);
        QVERIFY(SimCameras::put(config.address, "/meta/time",
                                "\"2001-02-03 04:05:06\"")); // a camera clock gone wrong
        VornApp* app = VornApp::instance();
        QSignalSpy selected(app, &VornApp::selectedVornObjectChanged);
        app->connectCamera(config.address);
        QCOMPARE(app->vornObjModel()->count(), 1);
        auto* camera = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(camera);
        QVERIFY(camera->objectName().endsWith("-Camera"));
        QCOMPARE(app->selectedVornObject(), camera); // the first camera is selected at once
        QVERIFY(!camera->connected());
        QSignalSpy connected(camera, &Camera::cameraConnected);
        QVERIFY(connected.wait(5000));
        QVERIFY(camera->connected());
        QCOMPARE(camera->name()->value().toString(), QStringLiteral("Bench Left"));
        QVERIFY(!camera->serial()->value().toString().isEmpty());

        // Every value the camera documents arrived with its type's conversion.
        int checked = 0;
        for (VornValue* value : camera->values()) {
            if (value == camera->time())
                continue; // set locally on connection
            const QJsonValue member = simMember(sim, value->key(), value->altKey());
            if (member.isUndefined() || member.isNull())
                continue;
            ++checked;
            VornValue expected(value->key(), value->valueType());
            expected.setJsonValue(member);
            QVERIFY2(value->value() == expected.value(), qPrintable(value->key().join('/')));
        }
        QVERIFY2(checked >= 60, qPrintable(QString::number(checked)));

        // The camera's clock is set on connection to the computer's UTC time.
        QTRY_COMPARE_WITH_TIMEOUT(SimCameras::requests(sim, "PUT", "/meta/time").size(), 2, 2000);
        const QByteArray timeBody = SimCameras::requests(sim, "PUT", "/meta/time").last().body;
        QDateTime sent =
            QDateTime::fromString(QString::fromUtf8(timeBody).remove('"'), "yyyy-MM-dd hh:mm:ss");
        sent.setTimeZone(QTimeZone::utc());
        QVERIFY(qAbs(sent.secsTo(QDateTime::currentDateTimeUtc())) < 5);

        // An address already connected is not connected twice.
        app->connectCamera(QHostAddress(QStringLiteral("::ffff:") + config.address));
        QCOMPARE(app->vornObjModel()->count(), 1);
    }

    void pollingRules()
    {
        auto* sim = m_sims.start();
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);

        // Four polls a second, each a bare GET of the root with the user agent.
        sim->clearRequests();
        QTest::qWait(1100);
        const auto polls = SimCameras::requests(sim, "GET", "/");
        QVERIFY2(polls.size() >= 3 && polls.size() <= 6, qPrintable(QString::number(polls.size())));
        QCOMPARE(polls.first().header("User-Agent"), QByteArray("Vorn 1.0"));
        QVERIFY(polls.first().header("Content-Type").isEmpty());

        // Values follow the camera.
        QVERIFY(SimCameras::put(sim->config().address, "/camera/name", "\"Renamed\""));
        QTRY_COMPARE_WITH_TIMEOUT(camera->name()->value().toString(), QStringLiteral("Renamed"), 2000);

        // A slow camera is never asked twice at once.
        sim->addFault(Fault::delay(1200, "/"));
        QTest::qWait(300); // let a poll start into the delay
        sim->clearRequests();
        QTest::qWait(1000);
        QVERIFY(SimCameras::requests(sim, "GET", "/").size() <= 1);
        QVERIFY(camera->pollInFlight());
        sim->clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(!camera->pollInFlight(), 3000);
        QVERIFY(camera->responding());
    }

    // A camera whose first answer comes later than a poll may take (one
    // still starting) is asked again, and connects once it answers.
    void slowFirstAnswerConnectsLater()
    {
        auto* sim = m_sims.start();
        QVERIFY(sim);
        Fault slow = Fault::delay(CameraHttp::PollTimeoutMs + 500, "/");
        slow.method = "GET";
        slow.remaining = 1;
        sim->addFault(slow);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("-Camera: json parse error:"));
        VornApp::instance()->connectCamera(sim->config().address);
        auto* camera = qobject_cast<Camera*>(VornApp::instance()->vornObjModel()->first());
        QVERIFY(camera);
        QTRY_VERIFY_WITH_TIMEOUT(!camera->responding(), CameraHttp::PollTimeoutMs + 2000);
        QVERIFY(!camera->connected());
        QTRY_VERIFY_WITH_TIMEOUT(camera->connected(), 5000);
        QVERIFY(camera->responding());
        QVERIFY(SimCameras::requests(sim, "GET", "/").size() >= 2);
    }

    void disconnecting()
    {
        auto* sim = m_sims.start();
        VornApp* app = VornApp::instance();
        QPointer<Camera> camera = SimCameras::connect(sim);
        QVERIFY(camera);
        QSignalSpy disconnected(camera.data(), &Camera::cameraDisconnected);
        camera->disconnectCamera();
        QCOMPARE(disconnected.count(), 1);
        QCOMPARE(app->vornObjModel()->count(), 0);
        QCOMPARE(app->selectedVornObject(), nullptr);
        QTRY_VERIFY(camera.isNull());
        sim->clearRequests();
        QTest::qWait(400);
        QCOMPARE(SimCameras::requests(sim, "GET", "/").size(), 0); // no more polls

        // A camera that never answered is removed too.
        app->connectCamera(QStringLiteral("127.0.0.99"));
        QPointer<Camera> never = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(never);
        QTest::qWait(300);
        QVERIFY(!never->connected());
        QSignalSpy failed(never.data(), &Camera::cameraConnectFailed);
        never->disconnectCamera();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(app->vornObjModel()->count(), 0);
        QTRY_VERIFY(never.isNull());

        // The virtual camera sends nothing and is removed the same way.
        app->connectVirtualCamera();
        QPointer<Camera> virtualCamera = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(virtualCamera);
        QCOMPARE(virtualCamera->ipString(), QStringLiteral("192.0.2.0"));
        QCOMPARE(app->selectedVornObject(), virtualCamera.data());
        QVERIFY(!virtualCamera->pollInFlight());
        virtualCamera->disconnectCamera();
        QTRY_VERIFY(virtualCamera.isNull());
    }

    void commandsAsSent()
    {
        auto* sim = m_sims.start();
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        sim->clearRequests();
        camera->record();
        camera->abort();
        camera->trigger();
        camera->deleteAllTakes();
        camera->partition(4);
        camera->lensFocus(-5);
        camera->shutterMove(true);
        camera->ssdUmount();
        camera->ssdFormat(QStringLiteral("Vol \"1\" \\ x"));
        const QList<QPair<QString, QByteArray>> expected{
            {"/rec", ""},
            {"/abort", ""},
            {"/trig", ""},
            {"/del", "{\"take\":-1}"},
            {"/prtn", "{\"cnt\":4}"},
            {"/focus", "{\"step\":-5}"},
            {"/shtr", "{\"pos\":1}"},
            {"/ssd-umount", ""},
            {"/ssd-format", "{\"name\":\"Vol \\\"1\\\" \\\\ x\"}"},
        };
        for (const auto& [path, body] : expected) {
            QTRY_COMPARE_WITH_TIMEOUT(SimCameras::requests(sim, "POST", path).size(), 1, 3000);
            const auto request = SimCameras::requests(sim, "POST", path).first();
            QCOMPARE(request.body, body);
            QCOMPARE(request.header("User-Agent"), QByteArray("Vorn 1.0"));
            QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        }
        // The format body is valid JSON carrying the name unchanged.
        const QJsonDocument format = QJsonDocument::fromJson(expected.last().second);
        QCOMPARE(format.object().value("name").toString(), QStringLiteral("Vol \"1\" \\ x"));

        // A black reference reply is applied at once.
        camera->bref();
        QTRY_COMPARE_WITH_TIMEOUT(camera->brefState()->value().toUInt(), uint(Camera::BrefInProgress), 2000);
    }

    void valueWritesAreCoalesced()
    {
        auto* sim = m_sims.start();
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        auto* expClks = qobject_cast<CameraValue*>(camera->property("expClks").value<CameraValue*>());
        QVERIFY(expClks);
        const int current = expClks->value().toInt();
        sim->clearRequests();
        expClks->setValue(current + 1000);
        expClks->setValue(current + 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!SimCameras::requests(sim, "PUT", "/acq/exp_clks").isEmpty(), 1000);
        QTest::qWait(200);
        const auto puts = SimCameras::requests(sim, "PUT", "/acq/exp_clks");
        QCOMPARE(puts.size(), 1);
        QCOMPARE(puts.first().body, QByteArray::number(current + 2000));
        QCOMPARE(puts.first().header("Content-Type"), QByteArray("application/json"));

        // Names with quotes arrive as the text the user typed.
        camera->name()->setValue(QStringLiteral("Left \"hi-speed\""));
        QTRY_COMPARE_WITH_TIMEOUT(SimCameras::requests(sim, "PUT", "/camera/name").size(), 1, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(sim->stateDocument().value("camera").toObject().value("name").toString(),
                                  QStringLiteral("Left \"hi-speed\""), 2000);
        QTest::qWait(600);
        QCOMPARE(camera->name()->value().toString(), QStringLiteral("Left \"hi-speed\""));
    }

    void perCameraSettings()
    {
        auto* sim = m_sims.start();
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        camera->setSetting("skip_version", "4.2");
        const QString key = "cameras/" + camera->serial()->value().toString() + "/skip_version";
        QCOMPARE(VornApp::instance()->setting(key).toString(), QStringLiteral("4.2"));
        QCOMPARE(camera->setting("skip_version").toString(), QStringLiteral("4.2"));
        QCOMPARE(camera->setting("absent", 7).toInt(), 7);

        Camera anonymous(QHostAddress("192.0.2.0"), nullptr);
        anonymous.setSetting("pane_expanded", true);
        QVERIFY(VornApp::instance()->setting("cameras/000000/pane_expanded").toBool());
    }
};

VORN_TEST_MAIN(TestCameraLink)
#include "tst_cameralink.moc"
