#pragma once

#include "BurnInOptions.h"
#include "PlaybackVornObject.h"
#include "SaveFileName.h"
#include "SaveJobQueue.h"
#include "Util.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// One save of a range of frames of a take or a VORN file, whatever its format
// or destination. It waits (Queued), runs (Saving) and ends Done, Cancelled
// or Error; the three ends are final. Every way to an end, from any state,
// emits finished() exactly once: the camera's queue moves on only on it.
// Jobs of a camera wait in that camera's queue; a job without queue is
// started at once by the save manager.
class SaveJob : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(PlaybackVornObject* source READ source CONSTANT)
    Q_PROPERTY(SaveJobQueue* queue READ queue CONSTANT)
    Q_PROPERTY(SourceType sourceType READ sourceType CONSTANT)
    Q_PROPERTY(QString sourceCameraName READ sourceCameraName CONSTANT)
    Q_PROPERTY(int sourceTakeId READ sourceTakeId CONSTANT)
    Q_PROPERTY(QString sourceFileName READ sourceFileName CONSTANT)
    Q_PROPERTY(qint64 startFr READ startFr CONSTANT)
    Q_PROPERTY(qint64 frCnt READ frCnt CONSTANT)
    Q_PROPERTY(Dest dest READ dest CONSTANT)
    Q_PROPERTY(QString fileName READ fileName NOTIFY fileNameChanged)
    Q_PROPERTY(QString fileExt READ fileExt NOTIFY fileExtChanged)
    Q_PROPERTY(Util::Format format READ format CONSTANT)
    Q_PROPERTY(Util::Codec codec READ codec CONSTANT)
    Q_PROPERTY(double frameRate READ frameRate CONSTANT)
    Q_PROPERTY(int quality READ quality CONSTANT)
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    // Where a file save writes: the file (for an image sequence its first
    // image) and its folder; empty for a save onto the SSD.
    Q_PROPERTY(QString outputPath READ outputPath NOTIFY fileNameChanged)
    Q_PROPERTY(QString outputFolder READ outputFolder CONSTANT)
    // Seconds the save is estimated to take still; -1 while that is not known
    // or the job does not run.
    Q_PROPERTY(int secondsLeft READ secondsLeft NOTIFY secondsLeftChanged)

public:
    enum SourceType {
        UnknownSourceType = 0,
        TakeSourceType = 3,
        SsdTakeSourceType = 4,
        VornFileSourceType = 5,
    };
    Q_ENUM(SourceType)
    enum Dest : int { FileDest = 0, SsdDest = 1 };
    Q_ENUM(Dest)
    enum DeleteCloseSource : int { DontDeleteClose = 0, DeleteClose = 1, ForceDeleteClose = 2 };
    Q_ENUM(DeleteCloseSource)
    enum State { Queued = 0, QueuedFW = 1, Saving = 2, Done = 3, Cancelled = 4, Error = 5 };
    Q_ENUM(State)
    enum FinishState { FinishedOk = 0, FinishedCancelled = 1, FinishedError = 2 };

    // What the user asked to save, as the save dialog hands it over.
    struct Params
    {
        qint64 startFr = 0;
        qint64 frCnt = 0;
        Dest dest = FileDest;
        Util::Format format = Util::FormatVorn;
        Util::Codec codec = Util::CodecVorn;
        double frameRate = 0;
        int quality = 0;
        DeleteCloseSource deleteCloseSource = DontDeleteClose;
        // Text burned into the pictures (image sequences and videos).
        BurnInOptions burnIn;
    };

    // Where the source comes from, copied so that the job still describes
    // itself once the source is gone.
    struct SourceInfo
    {
        QString cameraName;
        int takeId = 0;
        QString fileName;
    };

    SaveJob(QObject* parent, PlaybackVornObject* source, SaveJobQueue* queue, const SourceInfo& info,
            const Params& params, const SaveFileName& outputName);

    PlaybackVornObject* source() const { return m_source; }
    SaveJobQueue* queue() const { return m_queue; }
    SourceType sourceType() const { return m_sourceType; }
    QString sourceCameraName() const { return m_sourceInfo.cameraName; }
    int sourceTakeId() const { return m_sourceInfo.takeId; }
    QString sourceFileName() const { return m_sourceInfo.fileName; }
    qint64 startFr() const { return m_params.startFr; }
    qint64 frCnt() const { return m_params.frCnt; }
    Dest dest() const { return m_params.dest; }
    QString fileName() const { return m_outputName.expand(0); }
    QString fileExt() const { return m_outputName.ext(); }
    Util::Format format() const { return m_params.format; }
    Util::Codec codec() const { return m_params.codec; }
    double frameRate() const { return m_params.frameRate; }
    int quality() const { return m_params.quality; }
    State state() const { return m_state; }
    double progress() const { return m_progress; }
    QString error() const { return m_error; }
    QString outputPath() const;
    QString outputFolder() const;
    int secondsLeft() const { return m_secondsLeft; }
    DeleteCloseSource deleteCloseSource() const { return m_params.deleteCloseSource; }
    const BurnInOptions& burnIn() const { return m_params.burnIn; }
    const SaveFileName& outputName() const { return m_outputName; }
    // Appends literal text to the name template (a writer that must not
    // overwrite a file names the free one this way).
    void appendToFileName(const QString& text);

    // Starts the job; false (and the job ends in Error) when it cannot run.
    bool start();
    bool ended() const { return m_state == Done || m_state == Cancelled || m_state == Error; }

public slots:
    virtual void cancel(SaveJob::FinishState state) = 0;
    void cancel() { cancel(FinishedCancelled); }

public:
    // Opens the saved output (a saved VORN file opens as a playable object);
    // false when nothing could open it, for example when the desktop has no
    // program for it.
    Q_INVOKABLE virtual bool open() = 0;
    // Shows the output's folder with the desktop's file manager; false when
    // it could not (or the save went onto the SSD).
    Q_INVOKABLE bool showFolder() const;

signals:
    void fileNameChanged();
    void fileExtChanged();
    void stateChanged();
    void progressChanged();
    void errorChanged();
    void secondsLeftChanged();
    void finished();

protected:
    virtual bool startImpl() = 0;
    // Runs first when the job ends.
    virtual void onFinished(FinishState state) = 0;

    // The end of every job; a job that has ended already stays as it is.
    void finish(FinishState state);
    // Ends a job that never started: it leaves its queue's waiting list.
    void finishWaiting(FinishState state);
    void setState(State state);
    void setProgress(double progress);
    void setError(const QString& error);
    // The name the output really got, when the destination chose it.
    void setFileNameTemplate(const QString& nameTemplate);
    void setFileExt(const QString& ext);
    // Hands a file or folder to the desktop's program for it.
    static bool openWithDesktop(const QString& path);

private:
    void queueDestroyed();
    void sourceDeletedClosed();
    void sourceLost(const QString& reason);
    void updateSecondsLeft();

    QPointer<PlaybackVornObject> m_source;
    QPointer<SaveJobQueue> m_queue;
    const SourceType m_sourceType;
    const SourceInfo m_sourceInfo;
    const Params m_params;
    SaveFileName m_outputName;
    State m_state = Queued;
    double m_progress = 0;
    QString m_error;
    // Time and progress since the job last began saving, for secondsLeft.
    QElapsedTimer m_savingClock;
    double m_progressAtStart = 0;
    int m_secondsLeft = -1;
    QMetaObject::Connection m_queueConnection;
    QMetaObject::Connection m_takeConnection;
};
