#pragma once

#include "QQmlObjectListModel.h"
#include "VornObject.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class Camera;
class CameraSettingsCopy;
class QNetworkReply;

// Every connected camera worked as one rig: Record All, Trigger All and
// Abort All send one command to each camera at once, and Copy Settings takes
// one camera's acquisition and trigger settings to others of its model.
//
// A rig command goes out in one pass (every camera's request is handed to the
// network before any answer is looked at) and ends when every camera has
// answered or its answer timed out; then finished() carries one message that
// names each camera that refused, could not be asked (its state does not
// allow the command) or did not answer, or an empty text when all followed.
// Each camera's own state keeps showing through its polls as usual. Several
// commands may be under way at once (an Abort All while a Trigger All waits
// for a camera that hangs); each ends with its own finished().
class CameraRig : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    // Connected cameras, and whether any of them is in a state for each command.
    Q_PROPERTY(int cameraCount READ cameraCount NOTIFY stateChanged)
    Q_PROPERTY(bool canRecord READ canRecord NOTIFY stateChanged)
    Q_PROPERTY(bool canTrigger READ canTrigger NOTIFY stateChanged)
    Q_PROPERTY(bool canAbort READ canAbort NOTIFY stateChanged)
    // A rig command or a copy of settings is waiting for answers.
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool copying READ copying NOTIFY busyChanged)
    // The message of the command that ended last (empty: all cameras followed).
    Q_PROPERTY(QString lastMessage READ lastMessage NOTIFY finished)
    // Time between the first and the last request of the latest Trigger All
    // being handed to the network, in nanoseconds (0 for one camera).
    Q_PROPERTY(qint64 lastTriggerSpreadNs READ lastTriggerSpreadNs NOTIFY requestsSent)

public:
    enum Command { Record, Trigger, Abort };
    Q_ENUM(Command)

    // How long a camera may take to answer a rig command.
    static constexpr int DefaultAnswerTimeoutMs = 3000;

    CameraRig(QQmlObjectListModel<VornObject>* objects, QObject* parent);
    ~CameraRig() override;

    // The connected cameras in tab order.
    QList<Camera*> cameras() const;
    int cameraCount() const { return m_cameraCount; }
    bool canRecord() const { return m_canRecord; }
    bool canTrigger() const { return m_canTrigger; }
    bool canAbort() const { return m_canAbort; }
    bool busy() const { return !m_runs.isEmpty() || copying(); }
    bool copying() const { return !m_copies.isEmpty(); }
    QString lastMessage() const { return m_lastMessage; }
    qint64 lastTriggerSpreadNs() const { return m_lastTriggerSpreadNs; }
    int answerTimeoutMs() const { return m_answerTimeoutMs; }
    void setAnswerTimeoutMs(int ms) { m_answerTimeoutMs = ms; }

    // The cameras that could receive `source`'s settings, each as a map of
    // "camera" (the Camera), "name", "enabled" and "reason" (why not, in
    // plain words, for a camera that cannot).
    Q_INVOKABLE QVariantList copyTargets(Camera* source) const;
    // Why `target` cannot take `source`'s settings, or an empty text.
    QString copyRefusal(const Camera* source, const Camera* target) const;

    // The name a message gives a camera: its own name, or its address.
    static QString displayName(const Camera* camera);

public slots:
    void recordAll();
    void triggerAll();
    void abortAll();
    // Copies resolution, frame rate, exposure, frame sync mode, trigger offset
    // and partition count of `source` to each of `targets` (Cameras); ends
    // with copyFinished(), which tells per camera what did not stick.
    void copySettings(Camera* source, const QVariantList& targets);

public:
    void copySettings(Camera* source, const QList<Camera*>& targets);

signals:
    void stateChanged();
    void busyChanged();
    // Every request of a rig command has been handed to the network.
    void requestsSent(CameraRig::Command command, int count);
    // One camera's answer to a rig command was handled: the problem in plain
    // words, empty when it followed (camera null when it has gone meanwhile).
    void answered(Camera* camera, const QString& problem);
    // A rig command ended: the HTML message for the user, empty when every
    // camera followed.
    void finished(const QString& message);
    // A copy of settings ended: the HTML report for the user.
    void copyFinished(const QString& message);

private:
    struct Outcome
    {
        QString name;
        QString problem; // empty: the camera followed (or has not answered yet)
    };
    struct Run
    {
        Command command = Record;
        QList<Outcome> outcomes;
        int pending = 0;
    };
    struct CopyRun
    {
        QString sourceName;
        QList<CameraSettingsCopy*> copies;
        QStringList lines; // refusals found before the copy began
    };

    void sendAll(Command command);
    void commandFinished(QNetworkReply* reply, int id, int index, Camera* camera);
    void finishRun(int id);
    void copyDone(int id);
    void watchCameras();
    void updateState();
    // Why the camera's state does not allow the command, or an empty text.
    static QString stateProblem(Command command, const Camera* camera);
    static QString answerProblem(QNetworkReply* reply, int timeoutMs);

    QQmlObjectListModel<VornObject>* m_objects;
    QHash<int, Run> m_runs;
    QHash<int, CopyRun> m_copies;
    int m_nextId = 1;
    int m_answerTimeoutMs = DefaultAnswerTimeoutMs;
    QElapsedTimer m_clock;
    qint64 m_lastTriggerSpreadNs = 0;
    QString m_lastMessage;
    int m_cameraCount = 0;
    bool m_canRecord = false;
    bool m_canTrigger = false;
    bool m_canAbort = false;
};
