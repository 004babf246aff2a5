#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QStringList>

class Camera;
class CameraValue;
class QTimer;

// Takes one camera's acquisition and trigger settings to another camera of
// its model, through the target's own camera values and commands, and then
// tells what did not stick.
//
// The settings limit each other, so they go in steps, each one written only
// after the camera has reported on the step before: resolution, frame sync
// mode and partition count first (the resolution bounds the frame period),
// then the frame period (it bounds the exposure), then exposure and trigger
// offset. A step waits until its writes have been answered and two polls
// sent after that have come back: the first poll after a local change is
// dropped by the value, the second shows what the camera made of it.
class CameraSettingsCopy : public QObject
{
    Q_OBJECT

public:
    // What is copied, as the source camera reported it.
    struct Settings
    {
        QString model;
        QString res;
        int clkFreq = 0;
        int frClks = 0;
        int expClks = 0;
        int fsyncMode = 0;
        uint trigOffset = 0;
        int prtnCnt = 0;
    };
    static Settings read(const Camera* camera);

    // A step whose writes are not answered, or whose polls do not come back,
    // within this time ends the copy to that camera.
    static constexpr int StepTimeoutMs = 15000;

    CameraSettingsCopy(const Settings& wanted, Camera* target, QObject* parent);

    void start();
    // Plain-text lines of what did not stick ("Q7 B: exposure 500.000 µs
    // became 498.000 µs"); empty once all settings were copied.
    QStringList problems() const { return m_problems; }
    QString targetName() const { return m_targetName; }
    bool isDone() const { return m_finished; }

signals:
    void done();

private:
    enum Step { Modes, FramePeriod, Exposure, Check };

    void runStep();
    void write(const char* valueName, const QVariant& value);
    void valueSent();
    void waitForPolls();
    void polled();
    void compare();
    void finish(const QString& problem = QString());
    void dropConnections();
    CameraValue* value(const char* name) const;
    bool partitionAllowed() const;
    // The wanted clocks counted in the target's clock.
    int targetClocks(int sourceClocks) const;

    const Settings m_wanted;
    QPointer<Camera> m_target;
    QString m_targetName;
    Step m_step = Modes;
    int m_unsent = 0;
    int m_pollsNeeded = 0;
    bool m_partitionSkipped = false;
    bool m_finished = false;
    QList<QMetaObject::Connection> m_connections;
    QTimer* m_stepTimer = nullptr;
    QStringList m_problems;
};
