// The application's update check against the simulated update server: up to
// date, newer, skipped, unusable answers and the one-request-at-a-time guard.
#include "ManifestServer.h"
#include "UpdateManifest.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QSysInfo>

class TestUpdateCheck : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    q7sim::ManifestServer m_server;

    QJsonObject manifestWith(const QJsonValue& version, const QString& platform = QSysInfo::productType())
    {
        return QJsonObject{
            {"vorn", QJsonObject{{platform, QJsonObject{{"version", version}, {"msg", "Release notes"}}}}}};
    }

    // Runs one check and waits for its answer: the messages and offers it gave.
    struct Outcome
    {
        QStringList messages;
        QList<QStringList> offers;
    };
    Outcome check(bool manual)
    {
        VornApp* app = VornApp::instance();
        QSignalSpy messages(app, &VornApp::showMessage);
        QSignalSpy offers(app, &VornApp::vornUpdateAvailable);
        const int before = m_server.requests().size();
        app->updateCheck(manual);
        Outcome outcome;
        if (!QTest::qWaitFor([&] { return m_server.requests().size() > before; }, 5000))
            return outcome;
        // The answer is in once the reply has been handled.
        QTest::qWait(100);
        for (const auto& m : messages)
            outcome.messages << m.at(0).toString();
        for (const auto& o : offers)
            outcome.offers << QStringList{o.at(0).toString(), o.at(1).toString()};
        return outcome;
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        QVERIFY(m_server.start(QStringLiteral("127.0.0.5"), 0));
        qputenv(UpdateManifest::AddressEnvironment, m_server.url().toUtf8());
    }

    void address()
    {
        // The environment wins over the setting, the setting over the maker's server.
        QCOMPARE(UpdateManifest::address(QStringLiteral("http://10.1.1.1/m.json")), QUrl(m_server.url()));
        qunsetenv(UpdateManifest::AddressEnvironment);
        QCOMPARE(UpdateManifest::address(QStringLiteral("http://10.1.1.1/m.json")),
                 QUrl(QStringLiteral("http://10.1.1.1/m.json")));
        QCOMPARE(UpdateManifest::address(QString()),
                 QUrl(QStringLiteral("https://updates.korvanstead.com/latest-versions.json")));
        qputenv(UpdateManifest::AddressEnvironment, m_server.url().toUtf8());
    }

    void upToDateAndNewer()
    {
        VornApp* app = VornApp::instance();
        const QString running = app->applicationVersion();
        QVERIFY(!running.isEmpty());
        app->setSetting(QStringLiteral("vorn/skip_version"), QStringLiteral("1.0"));
        m_server.setManifest(manifestWith(running));

        Outcome silent = check(false);
        QVERIFY(silent.messages.isEmpty());
        QVERIFY(silent.offers.isEmpty());
        // An up-to-date answer replaces the skipped version with the running one.
        QCOMPARE(app->setting(QStringLiteral("vorn/skip_version")).toString(), running);
        QCOMPARE(m_server.requests().last().header("User-Agent"), QByteArray("Vorn 1.0"));

        Outcome manual = check(true);
        QCOMPARE(manual.messages, QStringList{"<b>VORN " + running + " is up to date!</b>"});
        QVERIFY(manual.offers.isEmpty());

        m_server.setManifest(manifestWith(QStringLiteral("99.1")));
        Outcome newer = check(false);
        QVERIFY(newer.messages.isEmpty());
        QCOMPARE(newer.offers, (QList<QStringList>{{"99.1", "Release notes"}}));
    }

    void skippedVersion()
    {
        VornApp* app = VornApp::instance();
        m_server.setManifest(manifestWith(QStringLiteral("99.2")));
        app->setSetting(QStringLiteral("vorn/skip_version"), QStringLiteral("99.2"));
        Outcome silent = check(false);
        QVERIFY(silent.offers.isEmpty());
        QVERIFY(silent.messages.isEmpty());
        // Asking by hand offers it anyway.
        Outcome manual = check(true);
        QCOMPARE(manual.offers, (QList<QStringList>{{"99.2", "Release notes"}}));
        QCOMPARE(app->setting(QStringLiteral("vorn/skip_version")).toString(), QStringLiteral("99.2"));
    }

    void unusableAnswers()
    {
        const QString failed = QStringLiteral("<b>Check for VORN updates failed!</b>");
        const QList<QPair<const char*, QByteArray>> answers = {
            {"other platform", QJsonDocument(manifestWith(QStringLiteral("99.3"), "plan9")).toJson()},
            {"number version", QJsonDocument(manifestWith(99.3)).toJson()},
            {"no version", QByteArray(R"({"vorn": {"debian": {"msg": "x"}, "windows": {"msg": "x"}}})")},
            {"not JSON", QByteArray("<html>502</html>")},
            {"array", QByteArray("[1, 2]")},
        };
        for (const auto& answer : answers) {
            m_server.setManifestBody(answer.second);
            Outcome manual = check(true);
            QVERIFY2(manual.offers.isEmpty(), answer.first);
            QVERIFY2(manual.messages == QStringList{failed}, answer.first);
            Outcome silent = check(false);
            QVERIFY2(silent.messages.isEmpty() && silent.offers.isEmpty(), answer.first);
        }
        m_server.setManifest(manifestWith(QStringLiteral("99.3")));
        m_server.setStatus(404);
        QCOMPARE(check(true).messages, QStringList{failed});
        m_server.setStatus(200);
    }

    void oneCheckAtATime()
    {
        VornApp* app = VornApp::instance();
        m_server.setManifest(manifestWith(QStringLiteral("99.4")));
        QSignalSpy offers(app, &VornApp::vornUpdateAvailable);
        QSignalSpy messages(app, &VornApp::showMessage);
        m_server.clearRequests();
        m_server.setHeld(true);
        app->updateCheck(false);
        QVERIFY(QTest::qWaitFor([&] { return m_server.requests().size() == 1; }, 5000));
        // Pending: a second check, even a manual one, is ignored.
        app->updateCheck(true);
        QTest::qWait(300);
        QCOMPARE(m_server.requests().size(), 1);
        m_server.setHeld(false);
        QVERIFY(QTest::qWaitFor([&] { return offers.size() == 1; }, 5000));
        QTest::qWait(200);
        QCOMPARE(offers.size(), 1);
        QCOMPARE(messages.size(), 0);
        // Once answered, the next check goes out again.
        app->updateCheck(true);
        QVERIFY(QTest::qWaitFor([&] { return m_server.requests().size() == 2; }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return offers.size() == 2; }, 5000));
    }

    void cleanupTestCase() { m_server.stop(); }
};

VORN_TEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
