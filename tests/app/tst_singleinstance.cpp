// The hand-over between a second start and the running program over the
// local socket, with the blocking client on a thread of its own as it is in
// a second process.

#include "SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static bool handOverAside(const QStringList& files)
    {
        std::atomic<int> result{-1};
        std::thread client([&] { result = SingleInstance::handOver(files, 2000) ? 1 : 0; });
        (void)QTest::qWaitFor([&] { return result >= 0; }, 10000);
        client.join();
        return result == 1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("VORN_INSTANCE_SOCKET", m_dir.filePath("vorn.socket").toUtf8());
    }

    void handsOverToTheRunningProgram()
    {
        // Nobody listens: the start goes on as the only program.
        QVERIFY(!handOverAside({"/data/a.vorn"}));

        // A socket file left by a program that ended is replaced.
        QFile stale(SingleInstance::socketPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        SingleInstance running;
        QVERIFY(running.listen());
        QSignalSpy handed(&running, &SingleInstance::filesHandedOver);

        const QStringList cases[] = {{"/data/shot 1.vorn"}, {}, {QString::fromUtf8("/data/ünïcode.vorn")}};
        for (const QStringList& files : cases) {
            QVERIFY(handOverAside(files));
            QTRY_COMPARE(handed.count(), 1);
            QCOMPARE(handed.takeFirst().first().toStringList(), files);
        }

        // A client that never ends its message, or sends far too much, is
        // dropped without opening anything.
        QLocalSocket endless, flood;
        endless.connectToServer(SingleInstance::socketPath());
        flood.connectToServer(SingleInstance::socketPath());
        QVERIFY(endless.waitForConnected(2000) && flood.waitForConnected(2000));
        endless.write("/data/a.vorn\n");
        flood.write(QByteArray(100 * 1024, 'x') + "\n\n");
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::UnconnectedState, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(endless.state() == QLocalSocket::UnconnectedState, 10000);
        QCOMPARE(handed.count(), 0);
    }

    void filesAreMadeAbsolute()
    {
        QCOMPARE(SingleInstance::filesOf({"vorn"}), QStringList());
        QCOMPARE(SingleInstance::filesOf({"vorn", "/abs/a.vorn", "second.vorn"}), QStringList{"/abs/a.vorn"});
        QCOMPARE(SingleInstance::filesOf({"vorn", "rel.vorn"}),
                 QStringList{QDir::current().filePath("rel.vorn")});
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
