#pragma once

#include "AbstractTakeValue.h"
#include "PlaybackVornObject.h"
#include <QtQml/qqmlregistration.h>

class Camera;
Q_MOC_INCLUDE("Camera.h")
class QTimer;
class SaveJobQueue;
Q_MOC_INCLUDE("SaveJobQueue.h")

// A take on a camera, in its memory or on its SSD: a playable object whose
// frames come from the camera with single-frame transfers and whose values
// come from the take's document, polled every 100 ms while it is being
// recorded, and while it is selected.
class AbstractTake : public PlaybackVornObject, public TakeValueOwner
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int takeId READ takeId WRITE setTakeId NOTIFY takeIdChanged)
    Q_PROPERTY(Camera* camera READ camera CONSTANT)
    Q_PROPERTY(bool savedOpened READ savedOpened NOTIFY savedOpenedChanged)
    // The camera's queue of file saves, where the saves of this take run.
    Q_PROPERTY(SaveJobQueue* fileSaveJobQueue READ fileSaveJobQueue CONSTANT)

public:
    AbstractTake(int takeId, Type type, Camera* camera, const QString& nameSuffix);

    int takeId() const { return m_takeId; }
    void setTakeId(int takeId);
    Camera* camera() const { return m_camera; }
    bool savedOpened() const { return m_savedOpened; }
    bool pollInFlight() const { return m_pollInFlight; }
    SaveJobQueue* fileSaveJobQueue() const;

    // "/takes" or "/ssd/takes".
    virtual QString takesPath() const = 0;
    // Source number of the take's transfers.
    virtual int xferSource() const = 0;

    // The take stops or starts being saved (memory) or open (SSD).
    // `markClosed` ignores the next change (the program closed the take
    // itself); `skipHook` leaves out onOpened() (takes found at connection).
    void setSavedOpened(bool opened, bool markClosed, bool skipHook);

    // Fetches one frame; a reply that does not have the take's geometry
    // (its "res", and its metadata size once the take's document told it)
    // fails.
    int getFrame(RawFrame* frame, qint64 fr) override;
    // No frames while the take is not saved/opened, nor while the camera
    // saves a take to a file.
    bool frameBusy() const override;

    // TakeValueOwner
    QHostAddress takeCameraAddress() const override;
    QString takeDocumentPath() const override;

signals:
    void takeIdChanged();
    void savedOpenedChanged();
    void deletedClosed();

protected:
    virtual void onOpened() = 0;
    // Whether a timer tick must poll even while the take is not selected.
    virtual bool pollNeededOnTick() const = 0;
    void pollTake(bool needed, bool init);
    QTimer* pollTimer() const { return m_pollTimer; }

private slots:
    void pollTakeFinished();

private:
    int m_takeId;
    Camera* m_camera;
    bool m_savedOpened = false;
    bool m_closedByRequest = false;
    bool m_pollInFlight = false;
    // The take's document gave its metadata size (32 is only assumed).
    bool m_metaSizeKnown = false;
    QTimer* m_pollTimer;
};
