#pragma once

#include "SaveJob.h"

#include <QPointer>

class Camera;
class QNetworkReply;
class QTimer;
class Take;

// A save of a memory take's range onto the camera's own SSD. The camera does
// the writing; the job sends one request and follows the camera's SSD values
// from the polls. Newer firmware numbers its saves, so the job knows whether
// its own is waiting behind others, being written, or done.
class SsdSaveJob : public SaveJob
{
    Q_OBJECT

public:
    SsdSaveJob(QObject* parent, Take* take, const Params& params, const SaveFileName& outputName);

    // An SSD save cannot be stopped: the camera writes it to the end. Only a
    // camera or take that went away ends it early (in Error).
    void cancel(SaveJob::FinishState state) override;
    // A written file opens as an SSD take.
    Q_INVOKABLE void open() override;

protected:
    bool startImpl() override;
    void onFinished(FinishState state) override;

private slots:
    void ssdSaveFinished();

private:
    Take* take() const;
    Camera* camera() const;
    QByteArray requestBody() const;
    // False, with the job ended in Error, once the take or camera is gone or
    // the SSD has left the ready state.
    bool stillPossible();
    void watchSequence();
    void checkProgress();
    void watchOlderFirmware();
    void checkOlderFirmware();

    QPointer<Camera> m_camera;
    qint64 m_seq = 0;
    QTimer* m_timer = nullptr;
    QList<QMetaObject::Connection> m_watch;
};
