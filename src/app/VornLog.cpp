#include "VornLog.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextStream>

namespace VornLog {

QString filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log.txt");
}

void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    QString line;
    switch (type) {
    case QtDebugMsg:
        line = QStringLiteral("Debug: %1").arg(msg);
        break;
    case QtWarningMsg:
        line = QStringLiteral("Warning: %1").arg(msg);
        break;
    case QtCriticalMsg:
        line = QStringLiteral("Critical: %1").arg(msg);
        break;
    case QtFatalMsg:
        line = QStringLiteral("Fatal: %1").arg(msg);
        break;
    case QtInfoMsg:
        line = QStringLiteral("Info: %1").arg(msg);
        break;
    }

    // Writer, reader and search threads log too: one line at a time, never
    // interleaved. The file is opened and closed per message so that the log is
    // complete up to the last line even after a crash.
    static QMutex mutex;
    static const QString path = filePath();
    QMutexLocker lock(&mutex);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QTextStream out(&file);
    out << line << '\n';
}

void setup(QSettings* settings)
{
    const int level = settings->value(QStringLiteral("vorn/log"), 0).toInt();
    if (level > 0) {
        QFile::remove(filePath());
        qInstallMessageHandler(messageHandler);
    }
    qDebug() << "vorn/log =" << level;

    qDebug() << QDateTime::currentDateTime().toString(Qt::TextDate);
    qDebug() << "VORN version:" << QCoreApplication::applicationVersion();
    qDebug() << "Host:" << QSysInfo::machineHostName();
    qDebug() << "Product:" << QSysInfo::prettyProductName();
    qDebug() << "Type:" << QSysInfo::productType();
    qDebug() << "Version:" << QSysInfo::productVersion();
    qDebug() << "Boot ID:" << QSysInfo::bootUniqueId();
    qDebug() << "Build:" << QSysInfo::buildAbi();
    qDebug() << "CPU:" << QSysInfo::buildCpuArchitecture();
    qDebug() << "Kernel:" << QSysInfo::kernelType();
    qDebug() << "Kernel version:" << QSysInfo::kernelVersion();
    qDebug() << "Qt version:" << qVersion();
    qDebug() << "Qt path:" << QLibraryInfo::path(QLibraryInfo::PrefixPath);
    qDebug() << "Settings path:" << settings->fileName();
}

} // namespace VornLog
