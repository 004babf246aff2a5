#pragma once

#include "CameraIO.h"
#include "CameraValue.h"
#include "QQmlObjectListModel.h"
#include "SaveJobQueue.h"
#include "SavedTakeModel.h"
#include "SsdLsListModel.h"
#include "SsdLsSortProxyModel.h"
#include "SsdTake.h"
#include "SsdTakeSortProxyModel.h"
#include "Take.h"
#include "VornObject.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QNetworkReply>
#include <QPointer>
#include <QStringListModel>
#include <QtQml/qqmlregistration.h>

class QTimer;

// One Q7 camera on the network. Its state lives in the camera: the program
// polls the camera's state document four times a second into value objects
// and sends the user's changes back. Commands are fire-and-forget; their
// outcome shows in the next poll.
class Camera : public VornObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QHostAddress ip READ address CONSTANT)
    Q_PROPERTY(QString ipString READ ipString CONSTANT)
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)
    // False while polls fail or time out; true again after the next good poll.
    Q_PROPERTY(bool responding READ responding NOTIFY respondingChanged)
    Q_PROPERTY(QQmlObjectListModelBase* takes READ takesBase CONSTANT)
    Q_PROPERTY(SavedTakeModel* savedTakes READ savedTakes NOTIFY savedTakesChanged)
    Q_PROPERTY(Take* activeTake READ activeTake NOTIFY activeTakeChanged)
    // The trigger input and the six general-purpose I/O lines.
    Q_PROPERTY(QQmlObjectListModelBase* ios READ iosBase CONSTANT)
    // File saves of its takes run one at a time here; saves onto its SSD in
    // the other queue.
    Q_PROPERTY(SaveJobQueue* fileSaveJobQueue READ fileSaveJobQueue CONSTANT)
    Q_PROPERTY(SaveJobQueue* ssdSaveJobQueue READ ssdSaveJobQueue CONSTANT)
    // Setting lists: the choices for a combo box and the index of the
    // camera's current value among them (-1 when it is not listed).
    Q_PROPERTY(QStringListModel* resList READ resList NOTIFY resListChanged)
    Q_PROPERTY(int resIndex READ resIndex NOTIFY resIndexChanged)
    Q_PROPERTY(QStringListModel* frRateList READ frRateList NOTIFY frRateListChanged)
    Q_PROPERTY(int frRateListIndex READ frRateListIndex NOTIFY frRateListIndexChanged)
    Q_PROPERTY(QStringListModel* expList READ expList NOTIFY expListChanged)
    Q_PROPERTY(int expListIndex READ expListIndex NOTIFY expListIndexChanged)
    Q_PROPERTY(QStringListModel* trigOffsetList READ trigOffsetList NOTIFY trigOffsetListChanged)
    Q_PROPERTY(int trigOffsetListIndex READ trigOffsetListIndex NOTIFY trigOffsetListIndexChanged)
    Q_PROPERTY(QStringListModel* vidFormatList READ vidFormatList NOTIFY vidFormatListChanged)
    Q_PROPERTY(int vidFormatIndex READ vidFormatIndex NOTIFY vidFormatIndexChanged)
    Q_PROPERTY(QStringListModel* fstopList READ fstopList NOTIFY fstopListChanged)
    Q_PROPERTY(int fstopIndex READ fstopIndex NOTIFY fstopIndexChanged)
    Q_PROPERTY(CameraValue* name MEMBER m_name CONSTANT)
    Q_PROPERTY(CameraValue* serial MEMBER m_serial CONSTANT)
    Q_PROPERTY(CameraValue* cameraModel MEMBER m_cameraModel CONSTANT)
    Q_PROPERTY(CameraValue* cameraModelId MEMBER m_cameraModelId CONSTANT)
    Q_PROPERTY(CameraValue* cfa MEMBER m_cfa CONSTANT)
    Q_PROPERTY(CameraValue* fwVer MEMBER m_fwVer CONSTANT)
    Q_PROPERTY(CameraValue* fwVerInt MEMBER m_fwVerInt CONSTANT)
    Q_PROPERTY(CameraValue* fwState MEMBER m_fwState CONSTANT)
    Q_PROPERTY(QQmlObjectListModelBase* ssdTakes READ ssdTakesBase CONSTANT)
    Q_PROPERTY(SsdTakeSortProxyModel* ssdTakesSorted READ ssdTakesSorted CONSTANT)
    Q_PROPERTY(SsdLsSortProxyModel* ssdLsEntries READ ssdLsEntries CONSTANT)
    Q_PROPERTY(SsdLsListModel* ssdLsList READ ssdLsList CONSTANT)
    Q_PROPERTY(double fwUpdateProgress READ fwUpdateProgress NOTIFY fwUpdateProgressChanged)
    Q_PROPERTY(QString fwUpdateStatus READ fwUpdateStatus NOTIFY fwUpdateStatusChanged)
    // The whole file has gone out and the camera is installing it: no answer
    // yet, and nothing else may be uploaded.
    Q_PROPERTY(bool fwInstalling READ fwInstalling NOTIFY fwInstallingChanged)
    Q_PROPERTY(CameraValue* acqMode MEMBER m_acqMode CONSTANT)
    Q_PROPERTY(CameraValue* acqState MEMBER m_acqState CONSTANT)
    Q_PROPERTY(CameraValue* clkFreq MEMBER m_clkFreq CONSTANT)
    Q_PROPERTY(CameraValue* expClks MEMBER m_expClks CONSTANT)
    Q_PROPERTY(CameraValue* expClksMin MEMBER m_expClksMin CONSTANT)
    Q_PROPERTY(CameraValue* expClksMax MEMBER m_expClksMax CONSTANT)
    Q_PROPERTY(CameraValue* expClksMult MEMBER m_expClksMult CONSTANT)
    Q_PROPERTY(CameraValue* expClksOfst MEMBER m_expClksOfst CONSTANT)
    Q_PROPERTY(CameraValue* expTime MEMBER m_expTime CONSTANT)
    Q_PROPERTY(CameraValue* frRate MEMBER m_frRate CONSTANT)
    Q_PROPERTY(CameraValue* frClks MEMBER m_frClks CONSTANT)
    Q_PROPERTY(CameraValue* frClksMin MEMBER m_frClksMin CONSTANT)
    Q_PROPERTY(CameraValue* frClksMax MEMBER m_frClksMax CONSTANT)
    Q_PROPERTY(CameraValue* fsyncMode MEMBER m_fsyncMode CONSTANT)
    Q_PROPERTY(CameraValue* fsyncState MEMBER m_fsyncState CONSTANT)
    Q_PROPERTY(CameraValue* trigOffset MEMBER m_trigOffset CONSTANT)
    Q_PROPERTY(CameraValue* prtnCnt MEMBER m_prtnCnt CONSTANT)
    Q_PROPERTY(CameraValue* activeTakeId MEMBER m_activeTakeId CONSTANT)
    Q_PROPERTY(CameraValue* brefState MEMBER m_brefState CONSTANT)
    Q_PROPERTY(CameraValue* corrMode MEMBER m_corrMode CONSTANT)
    Q_PROPERTY(CameraValue* lowLightMode MEMBER m_lowLightMode CONSTANT)
    Q_PROPERTY(CameraValue* lowLightExpClks MEMBER m_lowLightExpClks CONSTANT)
    Q_PROPERTY(CameraValue* take1PrtnFrCnt MEMBER m_take1PrtnFrCnt CONSTANT)
    Q_PROPERTY(CameraValue* res MEMBER m_res CONSTANT)
    Q_PROPERTY(CameraValue* bpp MEMBER m_bpp CONSTANT)
    Q_PROPERTY(CameraValue* lensMount MEMBER m_lensMount CONSTANT)
    Q_PROPERTY(CameraValue* lensState MEMBER m_lensState CONSTANT)
    Q_PROPERTY(CameraValue* lensId MEMBER m_lensId CONSTANT)
    Q_PROPERTY(CameraValue* lensName MEMBER m_lensName CONSTANT)
    Q_PROPERTY(CameraValue* lensAFSwitch MEMBER m_lensAFSwitch CONSTANT)
    Q_PROPERTY(CameraValue* lensFocalLenMin MEMBER m_lensFocalLenMin CONSTANT)
    Q_PROPERTY(CameraValue* lensFocalLenMax MEMBER m_lensFocalLenMax CONSTANT)
    Q_PROPERTY(CameraValue* lensFocalLen MEMBER m_lensFocalLen CONSTANT)
    Q_PROPERTY(CameraValue* lensFstopMin MEMBER m_lensFstopMin CONSTANT)
    Q_PROPERTY(CameraValue* lensFstopMax MEMBER m_lensFstopMax CONSTANT)
    Q_PROPERTY(CameraValue* lensFstop MEMBER m_lensFstop CONSTANT)
    Q_PROPERTY(CameraValue* lensFocusDist MEMBER m_lensFocusDist CONSTANT)
    Q_PROPERTY(CameraValue* shtrState MEMBER m_shtrState CONSTANT)
    Q_PROPERTY(CameraValue* ssdState MEMBER m_ssdState CONSTANT)
    Q_PROPERTY(CameraValue* ssdWrState MEMBER m_ssdWrState CONSTANT)
    Q_PROPERTY(CameraValue* ssdWrSeq MEMBER m_ssdWrSeq CONSTANT)
    Q_PROPERTY(CameraValue* ssdProgress MEMBER m_ssdProgress CONSTANT)
    Q_PROPERTY(CameraValue* ssdName MEMBER m_ssdName CONSTANT)
    Q_PROPERTY(CameraValue* ssdSize MEMBER m_ssdSize CONSTANT)
    Q_PROPERTY(CameraValue* ssdUsed MEMBER m_ssdUsed CONSTANT)
    Q_PROPERTY(CameraValue* ssdNameSeq MEMBER m_ssdNameSeq CONSTANT)
    Q_PROPERTY(CameraValue* ssdAutosaveMode MEMBER m_ssdAutosaveMode CONSTANT)
    Q_PROPERTY(CameraValue* ssdAutosaveStart MEMBER m_ssdAutosaveStart CONSTANT)
    Q_PROPERTY(CameraValue* ssdAutosaveCnt MEMBER m_ssdAutosaveCnt CONSTANT)
    Q_PROPERTY(CameraValue* ssdAutosaveName MEMBER m_ssdAutosaveName CONSTANT)
    Q_PROPERTY(CameraValue* time MEMBER m_time CONSTANT)
    Q_PROPERTY(CameraValue* yearOffset MEMBER m_yearOffset CONSTANT)
    Q_PROPERTY(CameraValue* vidFormat MEMBER m_vidFormat CONSTANT)
    Q_PROPERTY(CameraValue* featureCorrMode MEMBER m_featureCorrMode CONSTANT)
    Q_PROPERTY(CameraValue* featureLowLight MEMBER m_featureLowLight CONSTANT)
    Q_PROPERTY(CameraValue* featureQ7FW MEMBER m_featureQ7FW CONSTANT)
    Q_PROPERTY(CameraValue* featureLens MEMBER m_featureLens CONSTANT)
    Q_PROPERTY(CameraValue* featureShtr MEMBER m_featureShtr CONSTANT)
    Q_PROPERTY(CameraValue* featureSsdFormat MEMBER m_featureSsdFormat CONSTANT)
    Q_PROPERTY(CameraValue* featureSsdSave MEMBER m_featureSsdSave CONSTANT)

public:
    // The acquisition state the camera reports: recording also after the
    // partition has filled once and wrapped.
    enum AcqState { AcqStandby = 1, AcqRecording = 2, AcqTriggered = 3, AcqRecordingWrapped = 6 };
    Q_ENUM(AcqState)
    enum FsyncMode { FsyncModeInt = 0, FsyncModeExt = 1, FsyncModeIrig = 2, FsyncModeTrig = 3 };
    Q_ENUM(FsyncMode)
    enum BrefState { BrefInvalid = 1, BrefInProgress = 2, BrefFull = 4 };
    Q_ENUM(BrefState)
    enum CorrMode { CorrModeBrefAdv = 1 };
    Q_ENUM(CorrMode)
    enum LensState { LensRemoved = 0, LensDetect = 1, LensEnable = 2, LensReady = 3, LensFail = 4 };
    Q_ENUM(LensState)
    enum ShtrState { ShtrOpen = 0, ShtrClosed = 1, ShtrFail = 2 };
    Q_ENUM(ShtrState)
    enum SsdState {
        SsdRemoved = 0,
        SsdInsert = 1,
        SsdEnable = 2,
        SsdReady = 3,
        SsdShutdown = 4,
        SsdPowerDown = 5,
        SsdOff = 6,
        SsdFail = 7,
        SsdUnformatted = 8,
        SsdFormat = 9,
    };
    Q_ENUM(SsdState)
    enum SsdWrState { SsdWrIdle = 0, SsdWrSave = 1 };
    Q_ENUM(SsdWrState)
    enum SsdAutosaveMode {
        SsdAutosaveDisabled = 0,
        SsdAutosaveEnabled = 1,
        SsdAutosaveSelection = 2,
        SsdAutosaveDeleteTake = 4,
    };
    Q_ENUM(SsdAutosaveMode)
    enum ShtrFeatures { ShtrFeatHasShtr = 1 };
    Q_ENUM(ShtrFeatures)
    enum LensFeatures { LensFeatFstop = 1, LensFeatFocus = 2 };
    Q_ENUM(LensFeatures)

    Camera(const QHostAddress& address, QObject* parent);

    int fetchFrame(RawFrame* frame) override;
    // No live image while a take of the camera is saved to a file: the
    // save's transfer has the camera's link to itself.
    bool frameBusy() const override { return fileSaveBusy(); }
    quint64 yearOffsetSeconds() const override { return quint64(m_yearOffset->value().toLongLong()); }

    const QHostAddress& address() const { return m_address; }
    QString ipString() const { return m_address.toString(); }
    bool connected() const { return m_connected; }
    bool responding() const { return m_responding; }
    bool pollInFlight() const { return m_pollInFlight; }

    QQmlObjectListModel<Take>* takes() const { return m_takes; }
    QQmlObjectListModelBase* takesBase() const { return m_takes; }
    SavedTakeModel* savedTakes() const { return m_savedTakes; }
    Take* activeTake() const { return m_activeTake; }
    QQmlObjectListModel<CameraIO>* ios() const { return m_ios; }
    QQmlObjectListModelBase* iosBase() const { return m_ios; }
    // Free partitions: partitions minus saved takes.
    Q_INVOKABLE int takesAvailable() const;
    // A frame rate chosen or typed (fps) written as the frame period in
    // clocks; false when it cannot be (no clock yet, no positive rate).
    Q_INVOKABLE bool writeFrameRate(double fps);
    // An exposure chosen or typed (µs) written in clocks, into the low-light
    // exposure while that mode is on; false when it cannot be.
    Q_INVOKABLE bool writeExposure(double us);
    // The partitions the camera reports, within CameraLimits::MaxPartitions.
    int partitionCount() const;
    // True while the camera's file save queue runs a job: no frames may be
    // fetched for display meanwhile.
    bool fileSaveBusy() const { return m_fileSaveJobQueue->activeSaveJob() != nullptr; }
    SaveJobQueue* fileSaveJobQueue() const { return m_fileSaveJobQueue; }
    SaveJobQueue* ssdSaveJobQueue() const { return m_ssdSaveJobQueue; }

    CameraValue* name() const { return m_name; }
    CameraValue* serial() const { return m_serial; }
    CameraValue* cfa() const { return m_cfa; }
    CameraValue* acqState() const { return m_acqState; }
    CameraValue* clkFreq() const { return m_clkFreq; }
    CameraValue* prtnCnt() const { return m_prtnCnt; }
    CameraValue* trigOffset() const { return m_trigOffset; }
    CameraValue* activeTakeId() const { return m_activeTakeId; }
    CameraValue* brefState() const { return m_brefState; }
    CameraValue* yearOffset() const { return m_yearOffset; }
    CameraValue* time() const { return m_time; }

    QStringListModel* resList() const { return m_resList; }
    int resIndex() const { return m_resIndex; }
    QStringListModel* frRateList() const { return m_frRateList; }
    int frRateListIndex() const { return m_frRateListIndex; }
    QStringListModel* expList() const { return m_expList; }
    int expListIndex() const { return m_expListIndex; }
    QStringListModel* trigOffsetList() const { return m_trigOffsetList; }
    int trigOffsetListIndex() const { return m_trigOffsetListIndex; }
    QStringListModel* vidFormatList() const { return m_vidFormatList; }
    int vidFormatIndex() const { return m_vidFormatIndex; }
    QStringListModel* fstopList() const { return m_fstopList; }
    int fstopIndex() const { return m_fstopIndex; }

    // The takes open on the SSD, in opening order and by name, and the
    // SSD's listing for the open dialog (sorted, and as the camera sent it).
    QQmlObjectListModel<SsdTake>* ssdTakes() const { return m_ssdTakes; }
    QQmlObjectListModelBase* ssdTakesBase() const { return m_ssdTakes; }
    SsdTakeSortProxyModel* ssdTakesSorted() const { return m_ssdTakesSorted; }
    SsdLsSortProxyModel* ssdLsEntries() const { return m_ssdLsEntries; }
    SsdLsListModel* ssdLsList() const { return m_ssdLsList; }

    // Firmware upload: percent sent (0 while none runs) and the status line.
    double fwUpdateProgress() const { return m_fwUpdateProgress; }
    QString fwUpdateStatus() const { return m_fwUpdateStatus; }
    bool fwFinalizing() const { return m_fwFinalizing; }
    bool fwInstalling() const { return m_fwInstalling; }

    // Application settings of this camera, under "cameras/<serial>/".
    Q_INVOKABLE QVariant setting(const QString& key, const QVariant& defaultValue) const;
    Q_INVOKABLE QVariant setting(const QString& key) const;
    Q_INVOKABLE void setSetting(const QString& key, const QVariant& value);

public slots:
    void connectCamera();
    void disconnectCamera();
    void pollCameraValues(bool init = false);

    void record();
    void trigger();
    void abort();
    void deleteAllTakes();
    void partition(int count);
    void lensFocus(int step);
    void shutterMove(bool pos);
    void ssdUmount();
    void ssdFormat(const QString& name);
    void bref();
    // Fills the batch save list with every saved take of the camera.
    void addAllTakesToSaveBatch();
    // The same with every open SSD take.
    void addAllSsdTakesToSaveBatch();

    // The SSD's files (CameraSsd.cpp): listing, opening the selected ones or
    // one by name (it becomes the selected object), closing all.
    void ssdLs();
    void ssdFOpen(const QString& name);
    void ssdFOpen();
    void ssdFCloseAll();

    // Uploads a Q7FW file (a local file URL or path); the camera installs it.
    void fwUpdate(const QString& fileUrl);
    // Asks the update manifest for newer firmware of this camera's model.
    void updateCheck(bool manual = false);

signals:
    void connectedChanged();
    void respondingChanged();
    void cameraConnected(Camera* camera);
    void cameraConnectFailed(Camera* camera);
    void cameraDisconnected(Camera* camera);
    void valuesPolled();
    void savedTakesChanged();
    void activeTakeChanged();
    void resListChanged();
    void resIndexChanged();
    void frRateListChanged();
    void frRateListIndexChanged();
    void expListChanged();
    void expListIndexChanged();
    void trigOffsetListChanged();
    void trigOffsetListIndexChanged();
    void vidFormatListChanged();
    void vidFormatIndexChanged();
    void fstopListChanged();
    void fstopIndexChanged();
    void fwUpdateProgressChanged();
    void fwUpdateStatusChanged();
    void fwInstallingChanged();
    void cameraFWUpdateAvailable(const QString& version, const QString& msg);

private slots:
    void pollCameraValuesFinished();
    void updateCheckFinished();
    void ssdLsFinished();
    void ssdFOpenFinished();
    void brefFinished();

private:
    // Runs the live-picture timer exactly while the camera is connected and selected.
    void updateFrameTimer();

    struct ValueSpec
    {
        CameraValue* Camera::*member;
        const char* key;
        const char* altKey;
        VornValue::Type type;
    };
    static const ValueSpec s_valueSpecs[];
    static constexpr int ConnectRetryMs = 1000;

    void setConnected(bool connected, const QJsonObject& document);
    // Keeps one Take per partition in step with the poll document.
    void updateTakes(const QJsonObject& document, bool init);
    void setResponding(bool responding);
    void command(const QString& path, const QByteArray& body = QByteArray());
    QString settingKey(const QString& key) const;

    // Keeps one SsdTake per file the camera has open (CameraSsd.cpp).
    void createSsdModels();
    void updateSsdTakes(const QJsonObject& document, bool init, quint64 pollNumber);
    SsdTake* addSsdTake(int takeId, const QString& name);

    // Firmware upload (CameraFirmware.cpp).
    void createFirmwareUpdate();
    void setFwUpdateProgress(double progress);
    void fwUpdateFinished(QNetworkReply* reply);
    void setFwUpdateStatus(const QString& status);
    void setFwInstalling(bool installing);
    void updateFwStatus();

    // Setting lists (CameraSettingLists.cpp): built on connection and
    // rebuilt whenever one of their input values changes.
    void createSettingLists();
    void setResList(const QJsonObject& document);
    void setFrRateList();
    void setFrRateListExt();
    void setExpList();
    void setTrigOffsetList();
    void setVidFormatList(const QJsonObject& document);
    void setFstopList();
    void updateResIndex();
    void updateVidFormatIndex();
    void updateFstopIndex();

    const QHostAddress m_address;
    bool m_connected = false;
    bool m_responding = true;
    bool m_pollInFlight = false;
    // Between connectCamera() and disconnectCamera(): a failed first poll is
    // tried again.
    bool m_connecting = false;
    QTimer* m_connectRetryTimer = nullptr;
    quint64 m_pollsSent = 0;
    QTimer* m_pollTimer = nullptr;
    QTimer* m_frameTimer = nullptr;
    QQmlObjectListModel<Take>* m_takes = nullptr;
    SavedTakeModel* m_savedTakes = nullptr;
    Take* m_activeTake = nullptr;
    QQmlObjectListModel<CameraIO>* m_ios = nullptr;
    SaveJobQueue* m_fileSaveJobQueue = nullptr;
    SaveJobQueue* m_ssdSaveJobQueue = nullptr;
    QQmlObjectListModel<SsdTake>* m_ssdTakes = nullptr;
    SsdTakeSortProxyModel* m_ssdTakesSorted = nullptr;
    SsdLsListModel* m_ssdLsList = nullptr;
    SsdLsSortProxyModel* m_ssdLsEntries = nullptr;
    double m_fwUpdateProgress = 0;
    QString m_fwUpdateStatus;
    bool m_fwFinalizing = false;
    QTimer* m_fwFinalizeTimer = nullptr;
    // Limits of an upload: bytes must keep going out, then the installation
    // has its own, longer wait for the camera's answer.
    QPointer<QNetworkReply> m_fwUploadReply;
    QTimer* m_fwUploadIdleTimer = nullptr;
    QTimer* m_fwInstallTimer = nullptr;
    bool m_fwInstalling = false;
    bool m_fwUploadTimedOut = false;
    bool m_updateCheckPending = false;

    QStringListModel* m_resList = nullptr;
    QStringListModel* m_frRateList = nullptr;
    QStringListModel* m_expList = nullptr;
    QStringListModel* m_trigOffsetList = nullptr;
    QStringListModel* m_vidFormatList = nullptr;
    QStringListModel* m_fstopList = nullptr;
    int m_resIndex = -1;
    int m_frRateListIndex = -1;
    int m_expListIndex = -1;
    int m_trigOffsetListIndex = -1;
    int m_vidFormatIndex = -1;
    int m_fstopIndex = -1;

    CameraValue* m_name = nullptr;
    CameraValue* m_serial = nullptr;
    CameraValue* m_cameraModel = nullptr;
    CameraValue* m_cameraModelId = nullptr;
    CameraValue* m_cfa = nullptr;
    CameraValue* m_fwVer = nullptr;
    CameraValue* m_fwVerInt = nullptr;
    CameraValue* m_fwState = nullptr;
    CameraValue* m_acqMode = nullptr;
    CameraValue* m_acqState = nullptr;
    CameraValue* m_clkFreq = nullptr;
    CameraValue* m_expClks = nullptr;
    CameraValue* m_expClksMin = nullptr;
    CameraValue* m_expClksMax = nullptr;
    CameraValue* m_expClksMult = nullptr;
    CameraValue* m_expClksOfst = nullptr;
    CameraValue* m_expTime = nullptr;
    CameraValue* m_frRate = nullptr;
    CameraValue* m_frClks = nullptr;
    CameraValue* m_frClksMin = nullptr;
    CameraValue* m_frClksMax = nullptr;
    CameraValue* m_fsyncMode = nullptr;
    CameraValue* m_fsyncState = nullptr;
    CameraValue* m_trigOffset = nullptr;
    CameraValue* m_prtnCnt = nullptr;
    CameraValue* m_activeTakeId = nullptr;
    CameraValue* m_brefState = nullptr;
    CameraValue* m_corrMode = nullptr;
    CameraValue* m_lowLightMode = nullptr;
    CameraValue* m_lowLightExpClks = nullptr;
    CameraValue* m_take1PrtnFrCnt = nullptr;
    CameraValue* m_res = nullptr;
    CameraValue* m_bpp = nullptr;
    CameraValue* m_lensMount = nullptr;
    CameraValue* m_lensState = nullptr;
    CameraValue* m_lensId = nullptr;
    CameraValue* m_lensName = nullptr;
    CameraValue* m_lensAFSwitch = nullptr;
    CameraValue* m_lensFocalLenMin = nullptr;
    CameraValue* m_lensFocalLenMax = nullptr;
    CameraValue* m_lensFocalLen = nullptr;
    CameraValue* m_lensFstopMin = nullptr;
    CameraValue* m_lensFstopMax = nullptr;
    CameraValue* m_lensFstop = nullptr;
    CameraValue* m_lensFocusDist = nullptr;
    CameraValue* m_shtrState = nullptr;
    CameraValue* m_ssdState = nullptr;
    CameraValue* m_ssdWrState = nullptr;
    CameraValue* m_ssdWrSeq = nullptr;
    CameraValue* m_ssdProgress = nullptr;
    CameraValue* m_ssdName = nullptr;
    CameraValue* m_ssdSize = nullptr;
    CameraValue* m_ssdUsed = nullptr;
    CameraValue* m_ssdNameSeq = nullptr;
    CameraValue* m_ssdAutosaveMode = nullptr;
    CameraValue* m_ssdAutosaveStart = nullptr;
    CameraValue* m_ssdAutosaveCnt = nullptr;
    CameraValue* m_ssdAutosaveName = nullptr;
    CameraValue* m_time = nullptr;
    CameraValue* m_yearOffset = nullptr;
    CameraValue* m_vidFormat = nullptr;
    CameraValue* m_featureCorrMode = nullptr;
    CameraValue* m_featureLowLight = nullptr;
    CameraValue* m_featureQ7FW = nullptr;
    CameraValue* m_featureLens = nullptr;
    CameraValue* m_featureShtr = nullptr;
    CameraValue* m_featureSsdFormat = nullptr;
    CameraValue* m_featureSsdSave = nullptr;
};
