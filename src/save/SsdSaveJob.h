#pragma once

#include "SaveJob.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QtQml/qqmlregistration.h>

class Camera;
class QNetworkReply;
class QTimer;
class Take;

// A save of a memory take's range onto the camera's own SSD. The camera does
// the writing; the job sends one request and follows the camera's SSD values
// from the polls. Newer firmware numbers its saves, so the job knows whether
// its own is waiting behind others, being written, or done. Older firmware
// tells only whether it is writing: there the save is done once the camera is
// idle again and its SSD lists a file that was not there before.
//
// The job always ends: in Error when the camera refuses the save, the SSD
// leaves the ready state, the camera or take goes away, the camera stops
// answering, or (older firmware) the camera goes idle without the file.
class SsdSaveJob : public SaveJob
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")

public:
    SsdSaveJob(QObject* parent, Take* take, const Params& params, const SaveFileName& outputName);

    // The camera writes a save it accepted to its end, whatever happens
    // here: cancelling a running job only stops following it, so the next
    // save of the camera can go.
    void cancel(SaveJob::FinishState state) override;
    // A written file opens as an SSD take.
    Q_INVOKABLE bool open() override;

    // How long a job waits for a camera that does not answer its polls or,
    // on older firmware, shows no sign of the save, before it ends in Error.
    static int silenceLimitMs();
    static void setSilenceLimitMs(int ms);

protected:
    bool startImpl() override;
    void onFinished(FinishState state) override;

private slots:
    void ssdSaveFinished();
    void listingBeforeFinished();
    void listingAfterFinished();

private:
    Take* take() const;
    Camera* camera() const;
    QByteArray requestBody() const;
    void post(const QString& path, const QByteArray& body, void (SsdSaveJob::*handler)());
    // The body of the finished reply of the one request on its way: false when
    // the reply is stale, or failed (the job then ended in Error).
    bool takeAnswer(QByteArray* body);
    // The names an answered listing holds; false as takeAnswer, or when
    // the listing is unreadable.
    bool takeListing(QStringList* names);
    // The camera's words when it gave any, else what became of the request.
    static QString requestError(QNetworkReply* reply, const QByteArray& body);
    void fail(const QString& error);
    // False, with the job ended in Error, once the take or camera is gone or
    // the SSD has left the ready state.
    bool stillPossible();
    void cameraPolled();
    void watchSequence();
    void checkProgress();
    void checkOlderFirmware();

    QPointer<Camera> m_camera;
    qint64 m_seq = 0;
    QTimer* m_timer = nullptr; // runs out when the camera stays silent
    QList<QMetaObject::Connection> m_watch;
    QPointer<QNetworkReply> m_reply;

    // Older firmware: the SSD's files before the save, whether a poll showed
    // the camera writing after it took the request, and how long ago it did.
    bool m_olderFirmware = false;
    QSet<QString> m_filesBefore;
    int m_pollsSinceAccepted = 0;
    bool m_sawWriting = false;
    QElapsedTimer m_sinceAccepted;
};
