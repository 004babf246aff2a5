#include "VornTestMain.h"

#include <QRegularExpression>

namespace VornTest {

QTemporaryDir& isolateUserFolders()
{
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("runtime")).toLocal8Bit());
    QDir(dir.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

void useNetwork(QNetworkAccessManager* nam)
{
    VornApp::instance()->stopBroadcast();
    VornApp::instance()->set_networkAccessManager(nam);
}

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QRegularExpressionMatch rss = QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+) kB"))
                                            .match(status.open(QIODevice::ReadOnly) ? status.readAll() : "");
    return rss.hasMatch() ? rss.captured(1).toLongLong() * 1024 : -1;
}

} // namespace VornTest
