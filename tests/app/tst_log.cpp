#include "VornApp.h"
#include "VornLog.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace {

QStringList logLines()
{
    QFile file(VornLog::filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Writes the settings file and a stale log before the application starts.
void prepareFiles(const QByteArray& settingsJson)
{
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Korvanstead";
    QDir().mkpath(config);
    QFile settings(config + "/VORN.json");
    settings.open(QIODevice::WriteOnly);
    settings.write(settingsJson);
    const QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/Korvanstead/VORN";
    QDir().mkpath(data);
    QFile log(data + "/log.txt");
    log.open(QIODevice::WriteOnly);
    log.write("stale line from the last run\n");
}

} // namespace

class TestLog : public QObject
{
    Q_OBJECT

private slots:
    void headerStartsTheFreshFile()
    {
        const QStringList lines = logLines();
        QVERIFY(lines.size() >= 15);
        QCOMPARE(lines.at(0), QStringLiteral("Debug: vorn/log = 1"));
        QVERIFY(!lines.contains(QStringLiteral("stale line from the last run")));
        for (int i = 1; i < 15; ++i)
            QVERIFY2(lines.at(i).startsWith(QStringLiteral("Debug: ")), qPrintable(lines.at(i)));
        QCOMPARE(lines.at(2), QStringLiteral("Debug: VORN version: \"12.0\""));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("Debug: Host: \"")));
        QCOMPARE(lines.at(12), QStringLiteral("Debug: Qt version: ") + QString::fromLatin1(qVersion()));
        QVERIFY2(lines.at(14).startsWith(QStringLiteral("Debug: Settings path: \"")) &&
                     lines.at(14).endsWith(QStringLiteral("/Korvanstead/VORN.json\"")),
                 qPrintable(lines.at(14)));
    }

    void linesByMessageType()
    {
        const qsizetype before = logLines().size();
        const QtMessageHandler testHandler = qInstallMessageHandler(VornLog::messageHandler);
        qWarning("x");
        qCritical() << "camera" << 3 << "lost";
        qInfo("note");
        qDebug("step");
        qInstallMessageHandler(testHandler);
        const QStringList lines = logLines().mid(before);
        QCOMPARE(lines, (QStringList{"Warning: x", "Critical: camera 3 lost", "Info: note", "Debug: step"}));
    }

    void concurrentLinesNeverInterleave()
    {
        const qsizetype before = logLines().size();
        constexpr int threadCount = 4;
        constexpr int linesPerThread = 500;
        QList<QThread*> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.append(QThread::create([t] {
                for (int i = 0; i < linesPerThread; ++i)
                    VornLog::messageHandler(
                        QtWarningMsg, QMessageLogContext(),
                        QStringLiteral("thread %1 line %2 %3").arg(t).arg(i).arg(QString(40, 'x')));
            }));
        }
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(30000));
            delete thread;
        }
        const QStringList lines = logLines().mid(before);
        QCOMPARE(lines.size(), threadCount * linesPerThread);
        QList<int> next(threadCount, 0);
        static const QRegularExpression pattern("^Warning: thread (\\d) line (\\d+) x{40}$");
        for (const QString& line : lines) {
            const auto match = pattern.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            const int t = match.captured(1).toInt();
            QCOMPARE(match.captured(2).toInt(), next[t]); // in each thread's order, none lost
            ++next[t];
        }
    }
};

int main(int argc, char** argv)
{
    VornTest::isolateUserFolders();
    prepareFiles(R"({"vorn": {"log": 1}})");
    static int appArgc = 1;
    VornApp app(appArgc, argv);
    TestLog tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_log.moc"
