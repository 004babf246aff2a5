#include "VornApp.h"
#include "VornLog.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>

// Without "vorn/log" above 0 the log file is neither written nor deleted.
class TestLogDisabled : public QObject
{
    Q_OBJECT

private slots:
    void staleFileIsLeftAlone()
    {
        qWarning("not for the file");
        QFile log(VornLog::filePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), QByteArray("stale\n"));
    }
};

int main(int argc, char** argv)
{
    VornTest::isolateUserFolders();
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/Korvanstead/VORN";
    QDir().mkpath(data);
    QFile log(data + "/log.txt");
    log.open(QIODevice::WriteOnly);
    log.write("stale\n");
    log.close();
    static int appArgc = 1;
    VornApp app(appArgc, argv);
    TestLogDisabled tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_logdisabled.moc"
