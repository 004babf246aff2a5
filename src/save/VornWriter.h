#pragma once

#include "SaveJob.h"

#include <QObject>
#include <QPointer>

class FileSaveJob;
class QFile;
class QThread;
#include "VornWriterWorker.h"

// Base of the writers of file saves: the output is written by a worker in a
// thread of the writer's own, fed by the job's frame reader through queued
// signals. The writer itself lives in the GUI thread with its job.
//
// Whatever way a save ends, its output never claims what it does not hold:
// a cancelled save removes its output, a failed one keeps exactly the frames
// written before the failure (each writer's close hook sees to its format),
// and an output that received no frame at all is removed.
class VornWriter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint64 framesWritten READ framesWritten NOTIFY framesWrittenChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)

public:
    explicit VornWriter(FileSaveJob* job);
    ~VornWriter() override;

    FileSaveJob* job() const { return m_job; }
    qint64 framesWritten() const { return m_framesWritten; }
    double progress() const { return m_progress; }
    QString error() const { return m_error; }
    // What became of an output that could not be kept after a failure
    // ("the video could not be finished and was removed"); else empty.
    QString outcome() const { return m_outcome; }
    VornWriterWorker* worker() const { return m_worker; }

    // Creates the output (and its folder) and starts the worker; false with
    // `error` set when the output cannot be created.
    virtual bool start() = 0;

public slots:
    // Ends the write at once: joins the thread, lets the subclass close its
    // output, keeps the error and tells the job. Only the first call counts.
    void finish(SaveJob::FinishState state, const QString& error = QString(), bool cancelReader = false);
    // No more input will come: the worker writes what has already reached
    // it and then ends the write with `error`.
    void endInput(const QString& error);

signals:
    void framesWrittenChanged();
    void progressChanged();
    void errorChanged();
    void finished(SaveJob::FinishState state);

protected:
    // Closes, keeps or removes the output; the thread has stopped.
    virtual void close(SaveJob::FinishState state) = 0;

    void setError(const QString& error);
    void setOutcome(const QString& outcome) { m_outcome = outcome; }
    // The frames the output really holds, when the close hook knows better
    // than the worker's reports (a record cut short by a full disk).
    void setFramesWritten(qint64 framesWritten);
    // Creates the job's folder when it does not exist yet; false with the
    // error set when that fails.
    bool makeFolder();
    // The job's output path, with " (n)" added to the name when a file of
    // that name exists.
    QString freeOutputPath();
    // The job's output file in its folder, created new (an existing name
    // gets " (n)" added) and unbuffered, so a failing write shows at once;
    // null with the error set when it cannot be created.
    QFile* createOutputFile();
    // Closes the output file, or removes it after a cancel or when it holds
    // no frame, and lets it go.
    void closeOutputFile(QFile*& file, SaveJob::FinishState state);
    // Moves the worker into the writer's thread, wires it up and starts it.
    void startWorker(VornWriterWorker* worker, const QString& threadName);

private slots:
    void onFramesWritten(qint64 framesWritten);

private:
    void stopThread();

    FileSaveJob* const m_job;
    QThread* m_thread;
    QPointer<VornWriterWorker> m_worker;
    qint64 m_framesWritten = 0;
    double m_progress = 0;
    QString m_error;
    QString m_outcome;
    bool m_finished = false;
};
