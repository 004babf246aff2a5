#pragma once

#include "CameraHttp.h"
#include "QQmlObjectListModel.h"
#include "VornObject.h"

#include <QGuiApplication>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSettings>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include "OpenVornFileModel.h"
#include "SaveManager.h"

class Camera;
Q_MOC_INCLUDE("Camera.h")
class ReviewGroup;
Q_MOC_INCLUDE("ReviewGroup.h")
class CameraRig;
Q_MOC_INCLUDE("CameraRig.h")
#include "ImgAdjUtil.h"
class QJSEngine;
class QQmlEngine;
class QTimer;
class QUdpSocket;

// The program's application object: owns the settings, the list of selectable
// objects (cameras and open VORN files) and the current selection, and offers
// QML small utilities. QML reaches it as the singleton VornApp; the context
// property "vornApp" names the same object.
class VornApp : public QGuiApplication
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QNetworkAccessManager* networkAccessManager READ networkAccessManager WRITE
                   set_networkAccessManager NOTIFY networkAccessManagerChanged)
    Q_PROPERTY(QQmlObjectListModelBase* vornObjModel READ vornObjModelBase CONSTANT)
    Q_PROPERTY(QQmlObjectListModelBase* saveBatchObjModel READ saveBatchObjModelBase CONSTANT)
    Q_PROPERTY(SaveManager* saveManager READ saveManager CONSTANT)
    Q_PROPERTY(VornObject* selectedVornObject READ selectedVornObject WRITE setSelectedVornObject NOTIFY
                   selectedVornObjectChanged)
    Q_PROPERTY(OpenVornFileModel* openVornFiles READ openVornFiles NOTIFY openVornFilesChanged)
    Q_PROPERTY(BackgroundView backgroundView READ backgroundView NOTIFY backgroundViewChanged)
    Q_PROPERTY(ImgAdjUtil* imgAdjUtil READ imgAdjUtil CONSTANT)
    // Every connected camera worked at once (Record All, Trigger All ...).
    Q_PROPERTY(CameraRig* rig READ rig CONSTANT)

public:
    enum BackgroundView {
        Empty = 0,        // the About view
        SaveProgress = 1, // the save progress view
    };
    Q_ENUM(BackgroundView)

    // Window: the desktop program, which scans for cameras at once and opens
    // a VORN file named as its first argument. Headless: the same objects for
    // a command-line front end, which decides itself what to contact; cameras
    // make no update checks of their own either.
    enum class StartMode { Window, Headless };

    VornApp(int& argc, char** argv, StartMode mode = StartMode::Window);
    ~VornApp() override;

    // The running application object, or null when the QCoreApplication is not
    // a VornApp.
    static VornApp* instance();
    // The QML singleton VornApp: the running application object, which stays
    // owned by main() whichever engine asks for it.
    static VornApp* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    // URL of a path on the camera at `address`: "http://" + address + path,
    // with IPv6 addresses in brackets; an empty URL for a null address.
    static QUrl cameraUrl(const QHostAddress& address, const QString& path);

    // The address of the virtual camera, on which nothing answers.
    static QHostAddress virtualCameraAddress() { return QHostAddress(QStringLiteral("192.0.2.0")); }

    bool broadcasting() const { return m_broadcasting; }

    QNetworkAccessManager* networkAccessManager() const { return m_networkAccessManager; }
    QQmlObjectListModel<VornObject>* vornObjModel() const { return m_vornObjModel; }
    QQmlObjectListModelBase* vornObjModelBase() const { return m_vornObjModel; }
    QQmlObjectListModel<SaveBatchObject>* saveBatchObjModel() const { return m_saveBatchObjModel; }
    QQmlObjectListModelBase* saveBatchObjModelBase() const { return m_saveBatchObjModel; }
    SaveManager* saveManager() const { return m_saveManager; }
    VornObject* selectedVornObject() const { return m_selectedVornObject; }
    bool headless() const { return m_startMode == StartMode::Headless; }
    // How long a save's frame transfer may go without a whole frame before
    // it fails as stalled; vorn-cli sets it from --timeout.
    int transferStallMs() const { return m_transferStallMs; }
    void setTransferStallMs(int ms) { m_transferStallMs = ms; }
    void setSelectedVornObject(VornObject* vornObject);
    OpenVornFileModel* openVornFiles() const { return m_openVornFiles; }
    BackgroundView backgroundView() const { return m_backgroundView; }
    QSettings* settings() const { return m_settings; }
    // The image pipeline, one for the whole program.
    ImgAdjUtil* imgAdjUtil() const { return m_imgAdjUtil; }
    CameraRig* rig() const { return m_rig; }

    Q_INVOKABLE QVariant setting(const QString& key, const QVariant& defaultValue) const;
    Q_INVOKABLE QVariant setting(const QString& key) const;
    Q_INVOKABLE void setSetting(const QString& key, const QVariant& value);
    Q_INVOKABLE QString fileNameFromPath(const QString& filePath) const;
    Q_INVOKABLE QString baseNameFromPath(const QString& filePath) const;
    Q_INVOKABLE QString filePathFromUrl(const QString& fileUrl) const;
    Q_INVOKABLE QUrl fileUrlFromPath(const QString& filePath) const;
    Q_INVOKABLE QString currentDateTime() const;
    Q_INVOKABLE QString timestampDateString(quint64 sec, uint ns) const;
    Q_INVOKABLE QString timestampTimeUsString(quint64 sec, uint ns) const;
    Q_INVOKABLE QString timestampTimeNsString(quint64 sec, uint ns) const;
    // Free space for a save into the folder, also one that does not exist
    // yet (a save creates it).
    Q_INVOKABLE qint64 folderBytesAvailable(const QString& folderPath) const;
    Q_INVOKABLE bool folderExists(const QString& folderPath) const;
    // The listed camera at that address, or null.
    Camera* findCamera(const QHostAddress& ip) const;
    // Every size the window shows, in decimal (SI) units with two decimals
    // and the unit named: "68.72 GB" for a 64 GiB card.
    static QString dataSizeText(qint64 bytes);
    Q_INVOKABLE QString sizeText(qint64 bytes) const { return dataSizeText(bytes); }
    // A recording's frame rate as the camera's rate list shows rates: whole
    // frames per second.
    Q_INVOKABLE QString frameRateText(double fps) const;

    // Side-by-side review (VornAppReview.cpp): every take and file that can
    // be reviewed (saved memory takes and open SSD takes of each camera,
    // open VORN files), and the newest memory take of each connected camera
    // (by trigger time).
    Q_INVOKABLE QVariantList reviewCandidates() const;
    Q_INVOKABLE QVariantList newestTakes() const;

public slots:
    bool set_networkAccessManager(QNetworkAccessManager* networkAccessManager);
    void setNullVornObject();
    void setNullVornObject(VornApp::BackgroundView backgroundView);

    // Camera discovery: one scan sends "VORN_BCAST\n" on every broadcast
    // interface at 1 s and 2 s and listens until 3 s; every camera that answers
    // is connected.
    void startBroadcast();
    void stopBroadcast();
    void connectCamera(const QHostAddress& ip);
    void connectCamera(const QString& ip);
    void connectVirtualCamera();

    // VORN files (VornAppFiles.cpp). A file that opens is listed and
    // selected; one that does not is dropped (the file says why).
    void openVornFile(const QString& fileUrl);
    void closeAllVornFiles();
    // Opens a file as a row of the batch save list only, opened or not, so
    // that the batch shows every file the user chose.
    void openVornFileForSaveBatch(const QString& fileUrl);
    void clearSaveBatchObjModel(bool deleteSource = false);
    // Takes one row out of the batch save list (and, for files opened for the
    // batch only, deletes its source).
    void removeSaveBatchObject(SaveBatchObject* row, bool deleteSource = false);

    // Opens takes and files side by side as one group, listed and selected;
    // fewer than two give a message and no group.
    ReviewGroup* openReviewGroup(const QVariantList& objects);
    ReviewGroup* reviewNewestTakes();

    // Asks the update manifest whether a newer application exists. A silent
    // check (manual false) says nothing unless it has something to offer;
    // a check while one is outstanding is ignored.
    void updateCheck(bool manual = false);

signals:
    void networkAccessManagerChanged(QNetworkAccessManager* networkAccessManager);
    void selectedVornObjectChanged();
    void openVornFilesChanged();
    void backgroundViewChanged();
    // An HTML message for the user; the window opens one message dialog for each.
    void showMessage(const QString& msg);
    void vornUpdateAvailable(const QString& version, const QString& msg);

private slots:
    void removeVornObject(VornObject* vornObj);
    void sendBroadcast();
    void recvBroadcastReply();
    void connectCameraFinished(Camera* camera);
    void updateCheckFinished();

private:
    struct BroadcastEntry
    {
        QHostAddress address;
        QHostAddress broadcast;
        QUdpSocket* socket;
    };

    void clearSelection();
    void openBroadcastSockets();
    void addCamera(Camera* camera);
    // Moves a camera to its tab's place: cameras by name, then address,
    // before the VORN files.
    void placeCamera(Camera* camera);
    int cameraRow(const Camera* camera) const;

    QPointer<QNetworkAccessManager> m_networkAccessManager;
    QQmlObjectListModel<VornObject>* m_vornObjModel = nullptr;
    BackgroundView m_backgroundView = Empty;
    QSettings* m_settings = nullptr;
    VornObject* m_selectedVornObject = nullptr;
    QMetaObject::Connection m_unselectConnection;
    QMetaObject::Connection m_destroyedConnection;
    OpenVornFileModel* m_openVornFiles = nullptr;
    ImgAdjUtil* m_imgAdjUtil = nullptr;
    QQmlObjectListModel<SaveBatchObject>* m_saveBatchObjModel = nullptr;
    SaveManager* m_saveManager = nullptr;
    CameraRig* m_rig = nullptr;
    bool m_updateCheckPending = false;

    QList<BroadcastEntry> m_broadcastEntries;
    QTimer* m_broadcastTimer = nullptr;
    bool m_broadcasting = false;
    const StartMode m_startMode;
    int m_transferStallMs = CameraHttp::CommandTimeoutMs;
    int m_broadcastCount = 0;
};
