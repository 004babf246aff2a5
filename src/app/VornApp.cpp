#include "VornApp.h"

#include "CameraRig.h"
#include "ImgAdjUtil.h"
#include "JsonSettingsFormat.h"
#include "OpenVornFileModel.h"
#include "SettingListMath.h"
#include "VornLog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJSEngine>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTimeZone>
#include <QTimer>

namespace {

QDateTime utcFromTimestamp(quint64 sec, uint ns)
{
    // Built from whole milliseconds: the seconds part is always whole and the
    // fraction of the texts comes from ns alone.
    return QDateTime::fromMSecsSinceEpoch(qint64(sec * 1000 + ns / 1000000), QTimeZone::utc());
}

} // namespace

VornApp::VornApp(int& argc, char** argv, StartMode mode) : QGuiApplication(argc, argv), m_startMode(mode)
{
    setApplicationName(QStringLiteral("VORN"));
    setApplicationVersion(QStringLiteral(VORN_VERSION));
    setOrganizationDomain(QStringLiteral("korvanstead.com"));
    setOrganizationName(QStringLiteral("Korvanstead"));
    // The launcher entry's name, which desktops match the window against.
    setDesktopFileName(QStringLiteral("com.korvanstead.vorn"));

    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    m_settings = new QSettings(JsonSettingsFormat::format(), QSettings::UserScope, organizationName(),
                               applicationName(), this);
    m_settings->setValue(QStringLiteral("vorn/version"), applicationVersion());

    VornLog::setup(m_settings);

    m_vornObjModel = new QQmlObjectListModel<VornObject>(this);
    m_openVornFiles = new OpenVornFileModel(this);
    m_openVornFiles->setSourceModel(m_vornObjModel);
    m_saveBatchObjModel = new QQmlObjectListModel<SaveBatchObject>(this);
    m_saveManager = new SaveManager(this);
    m_imgAdjUtil = new ImgAdjUtil(this);
    m_rig = new CameraRig(m_vornObjModel, this);

    m_broadcastTimer = new QTimer(this);
    m_broadcastTimer->setInterval(1000);
    // A coarse timer may fire up to 5 % early; the scan's 1 s, 2 s and 3 s
    // marks should hold.
    m_broadcastTimer->setTimerType(Qt::PreciseTimer);
    connect(m_broadcastTimer, &QTimer::timeout, this, &VornApp::sendBroadcast);

    if (headless())
        return;
    // A file handed over by the desktop (or named by the user) opens at once.
    const QStringList args = arguments();
    if (args.size() > 1)
        openVornFile(QUrl::fromLocalFile(args.at(1)).toString());

    startBroadcast();
}

VornApp::~VornApp()
{
    // Objects of the list are children of the application; clear the selection
    // first so no destroyed() handler runs against a half-destroyed application,
    // then release cameras and files while the application is still whole
    // (their timers, threads and pictures need it).
    clearSelection();
    m_vornObjModel->clear();
    qDeleteAll(findChildren<VornObject*>(Qt::FindDirectChildrenOnly));
}

VornApp* VornApp::instance()
{
    return qobject_cast<VornApp*>(QCoreApplication::instance());
}

VornApp* VornApp::create(QQmlEngine*, QJSEngine*)
{
    VornApp* app = instance();
    if (app)
        QJSEngine::setObjectOwnership(app, QJSEngine::CppOwnership);
    return app;
}

QUrl VornApp::cameraUrl(const QHostAddress& address, const QString& path)
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return QUrl(QStringLiteral("http://") + address.toString() + path);
    case QAbstractSocket::IPv6Protocol:
        return QUrl(QStringLiteral("http://[") + address.toString() + QLatin1Char(']') + path);
    default:
        return QUrl();
    }
}

bool VornApp::set_networkAccessManager(QNetworkAccessManager* networkAccessManager)
{
    if (m_networkAccessManager == networkAccessManager)
        return false;
    m_networkAccessManager = networkAccessManager;
    emit networkAccessManagerChanged(networkAccessManager);
    return true;
}

void VornApp::setSelectedVornObject(VornObject* vornObject)
{
    if (!vornObject || vornObject == m_selectedVornObject)
        return;
    setNullVornObject();
    m_unselectConnection =
        connect(vornObject, &VornObject::shouldBeUnselected, this, qOverload<>(&VornApp::setNullVornObject));
    // A destroyed object is past being told that it is no longer selected.
    m_destroyedConnection = connect(vornObject, &QObject::destroyed, this, [this] {
        disconnect(m_unselectConnection);
        disconnect(m_destroyedConnection);
        m_selectedVornObject = nullptr;
        emit selectedVornObjectChanged();
        setNullVornObject();
    });
    m_selectedVornObject = vornObject;
    vornObject->setSelected(true);
    emit selectedVornObjectChanged();
}

void VornApp::clearSelection()
{
    if (!m_selectedVornObject)
        return;
    VornObject* old = m_selectedVornObject;
    m_selectedVornObject = nullptr;
    disconnect(m_unselectConnection);
    disconnect(m_destroyedConnection);
    old->setSelected(false);
    emit selectedVornObjectChanged();
}

void VornApp::setNullVornObject()
{
    setNullVornObject(Empty);
}

void VornApp::setNullVornObject(BackgroundView backgroundView)
{
    clearSelection();
    if (m_backgroundView != backgroundView) {
        m_backgroundView = backgroundView;
        emit backgroundViewChanged();
    }
}

void VornApp::removeVornObject(VornObject* vornObj)
{
    m_vornObjModel->remove(vornObj);
    vornObj->deleteLater();
}

QVariant VornApp::setting(const QString& key, const QVariant& defaultValue) const
{
    return m_settings->value(key, defaultValue);
}

QVariant VornApp::setting(const QString& key) const
{
    return m_settings->value(key);
}

void VornApp::setSetting(const QString& key, const QVariant& value)
{
    m_settings->setValue(key, value);
}

QString VornApp::fileNameFromPath(const QString& filePath) const
{
    return QFileInfo(filePath).fileName();
}

QString VornApp::baseNameFromPath(const QString& filePath) const
{
    return QFileInfo(filePath).completeBaseName();
}

QString VornApp::filePathFromUrl(const QString& fileUrl) const
{
    return QUrl(fileUrl).toLocalFile();
}

QUrl VornApp::fileUrlFromPath(const QString& filePath) const
{
    return QUrl::fromLocalFile(filePath);
}

QString VornApp::currentDateTime() const
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).remove(QLatin1Char(':'));
}

QString VornApp::timestampDateString(quint64 sec, uint ns) const
{
    return utcFromTimestamp(sec, ns).toString(QStringLiteral("yyyy-MM-dd"));
}

QString VornApp::timestampTimeUsString(quint64 sec, uint ns) const
{
    QString text = utcFromTimestamp(sec, ns).toString(QStringLiteral("HH:mm:ssZ"));
    return text.insert(text.size() - 1, QStringLiteral(".%1").arg(ns / 1000, 6, 10, QLatin1Char('0')));
}

QString VornApp::timestampTimeNsString(quint64 sec, uint ns) const
{
    QString text = utcFromTimestamp(sec, ns).toString(QStringLiteral("HH:mm:ssZ"));
    return text.insert(text.size() - 1, QStringLiteral(".%1").arg(ns, 9, 10, QLatin1Char('0')));
}

qint64 VornApp::folderBytesAvailable(const QString& folderPath) const
{
    // A folder that a save will create gets the space of the disk it will be
    // made on: that of its nearest folder that exists.
    QString path = QDir::cleanPath(folderPath);
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return 0;
        path = parent;
    }
    const QStorageInfo storage(path);
    return (!path.isEmpty() && storage.isValid() && storage.isReady()) ? storage.bytesAvailable() : 0;
}

bool VornApp::folderExists(const QString& folderPath) const
{
    return QFileInfo(folderPath).isDir();
}

QString VornApp::dataSizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(std::max<qint64>(bytes, 0), 2, QLocale::DataSizeSIFormat);
}

QString VornApp::frameRateText(double fps) const
{
    return SettingListMath::frameRateText(fps);
}
