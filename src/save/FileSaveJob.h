#pragma once

#include "SaveJob.h"

class AbstractTake;
class VornFile;
class VornReader;
class VornWriter;

// A save into a file: a frame reader (a take's transfer from the camera, or a
// VORN file read in a thread) feeds a format writer running in a thread of
// its own. Saves of takes wait in their camera's file save queue; saves of
// VORN files have no queue and run side by side.
class FileSaveJob : public SaveJob
{
    Q_OBJECT

public:
    // A take in camera memory or on the camera's SSD.
    FileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName, const Params& params,
                const SaveFileName& outputName);
    FileSaveJob(QObject* parent, VornFile* file, const Params& params, const SaveFileName& outputName);

    VornReader* reader() const { return m_reader; }
    VornWriter* writer() const { return m_writer; }

    // Not a slot of its own: QML would find it first and miss cancel(),
    // the slot the save progress view calls.
    using SaveJob::cancel;
    void cancel(SaveJob::FinishState state) override;

protected:
    // The format subclass makes its writer in its constructor.
    void setWriter(VornWriter* writer) { m_writer = writer; }
    bool startImpl() override;
    void onFinished(FinishState state) override;

private:
    static Util::ReqTypes readerType(const Params& params);
    bool takeGeometryUsable(const AbstractTake* take) const;
    void readFailed(const QString& error);
    void copyWriterProgress();

    VornReader* m_reader = nullptr;
    VornWriter* m_writer = nullptr;
    QMetaObject::Connection m_progressConnection;
    QMetaObject::Connection m_finishedConnection;
    QMetaObject::Connection m_readFailedConnection;
};
