#pragma once

#include "SaveJob.h"
#include "VornReader.h"

#include <QPointer>

class FileSaveJob;
class QFile;
class QThread;
#include "VornFileReaderWorker.h"

// Reads the frames of a save whose source is an opened VORN file, in a thread
// of its own through a file handle of its own. At most one chunk is in
// flight: the next is read when the writer reports the last one written.
class VornFileReader : public VornReader
{
    Q_OBJECT

public:
    VornFileReader(Util::ReqTypes type, FileSaveJob* job);
    ~VornFileReader() override;

    bool start() override;
    void stop() override;

private slots:
    void workerFinished(SaveJob::FinishState state, const QString& error);

private:
    bool fail(const QString& error);

    FileSaveJob* const m_job;
    QThread* m_thread;
    QFile* m_file = nullptr;
    QPointer<VornFileReaderWorker> m_worker;
    bool m_finished = false;
};
