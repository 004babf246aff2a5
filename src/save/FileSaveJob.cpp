#include "FileSaveJob.h"

#include "AbstractTake.h"
#include "AbstractTakeReader.h"
#include "Camera.h"
#include "FrameLimits.h"
#include "SaveJobQueue.h"
#include "Take.h"
#include "VornFile.h"
#include "VornFileGeometry.h"
#include "VornFileReader.h"
#include "VornWriter.h"
#include "VornWriterWorker.h"

namespace {

SaveJob::SourceInfo takeInfo(AbstractTake* take, const QString& fileName)
{
    SaveJob::SourceInfo info;
    info.cameraName = take->camera()->name()->value().toString();
    info.takeId = take->takeId();
    info.fileName = fileName;
    return info;
}

SaveJob::SourceInfo fileInfo(VornFile* file)
{
    SaveJob::SourceInfo info;
    info.fileName = file->fileName();
    return info;
}

} // namespace

FileSaveJob::FileSaveJob(QObject* parent, AbstractTake* take, const QString& sourceFileName,
                         const Params& params, const SaveFileName& outputName)
    : SaveJob(parent, take, take->camera()->fileSaveJobQueue(), takeInfo(take, sourceFileName), params,
              outputName)
{
    AbstractTakeReader::Range range;
    range.camera = take->camera()->address();
    range.source = take->xferSource();
    range.take = take->takeId();
    range.start = params.startFr;
    range.count = params.frCnt;
    m_reader = new AbstractTakeReader(readerType(params), range, this);
}

FileSaveJob::FileSaveJob(QObject* parent, VornFile* file, const Params& params,
                         const SaveFileName& outputName)
    : SaveJob(parent, file, nullptr, fileInfo(file), params, outputName)
{
    m_reader = new VornFileReader(readerType(params), this);
}

Util::ReqTypes FileSaveJob::readerType(const Params& params)
{
    return params.format == Util::FormatCsv ? Util::ReqTypes(Util::ReqMeta) : Util::ReqTypes(Util::ReqBoth);
}

bool FileSaveJob::startImpl()
{
    // A queued save whose take went while it waited has nothing to read.
    const bool takeSource = sourceType() == TakeSourceType || sourceType() == SsdTakeSourceType;
    auto* take = qobject_cast<AbstractTake*>(source());
    if (takeSource && (!take || !take->savedOpened())) {
        setError(QStringLiteral("take deleted or closed"));
        finish(FinishedError);
        return false;
    }
    // The take's geometry comes from the camera: every writer sizes its
    // frames from it, so it must be a frame this program can hold.
    if (takeSource && !takeGeometryUsable(take)) {
        setError(QStringLiteral("bad frame size from camera"));
        finish(FinishedError);
        return false;
    }
    if (auto* takeReader = qobject_cast<AbstractTakeReader*>(m_reader)) {
        const VornFileGeometry geometry = VornFileGeometry::of(take);
        takeReader->expectRecords(geometry.imgSize(), geometry.metaSize);
    }
    if (!m_writer->start()) {
        finish(FinishedError);
        return false;
    }
    connect(m_reader, &VornReader::readyRead, m_writer->worker(), &VornWriterWorker::writeChunk);
    // The camera's transfer hands on a new chunk only once the writer has
    // caught up (the VORN file reader has its own pacing).
    if (auto* takeReader = qobject_cast<AbstractTakeReader*>(m_reader))
        connect(m_writer, &VornWriter::framesWrittenChanged, takeReader,
                [this, takeReader] { takeReader->setFramesWritten(m_writer->framesWritten()); });
    // A reader that fails hands its text to the writer, which ends the job
    // once it has written what arrived before.
    m_readFailedConnection = connect(m_reader, &VornReader::readFailed, this, &FileSaveJob::readFailed);
    m_progressConnection =
        connect(m_writer, &VornWriter::progressChanged, this, &FileSaveJob::copyWriterProgress);
    m_finishedConnection =
        connect(m_writer, &VornWriter::finished, this, [this](FinishState state) { finish(state); });
    if (!m_reader->start()) {
        disconnect(m_readFailedConnection);
        disconnect(m_progressConnection);
        disconnect(m_finishedConnection);
        m_writer->finish(FinishedError, m_reader->error(), false);
        finish(FinishedError);
        return false;
    }
    return true;
}

bool FileSaveJob::takeGeometryUsable(const AbstractTake* take) const
{
    const VornFileGeometry geometry = VornFileGeometry::of(take);
    const qint64 metaSize = take->metaSizeValue()->value().toLongLong();
    if (metaSize < 0 || metaSize > FrameLimits::MaxMetaSize)
        return false;
    // A metadata save needs no picture.
    return format() == Util::FormatCsv ||
           (geometry.imgSize() > 0 && FrameLimits::validGeometry(geometry.width, geometry.height,
                                                                 geometry.imgSize(), geometry.metaSize));
}

void FileSaveJob::readFailed(const QString& error)
{
    m_writer->endInput(error);
}

void FileSaveJob::copyWriterProgress()
{
    setProgress(m_writer->progress());
}

void FileSaveJob::cancel(SaveJob::FinishState state)
{
    if (this->state() == Queued) {
        // Never started: there is nothing to stop, only the place in line.
        finishWaiting(state);
        return;
    }
    if (this->state() != Saving)
        return;
    if (state == FinishedError) {
        // The source went away: what already arrived is still written and
        // kept, then the save ends with the reason the job was given.
        if (auto* takeReader = qobject_cast<AbstractTakeReader*>(m_reader))
            takeReader->handOnArrived();
        m_reader->stop();
        m_writer->endInput(error());
        return;
    }
    m_reader->stop();
    m_writer->finish(state, QString(), true);
}

void FileSaveJob::onFinished(FinishState state)
{
    bool doIt = deleteCloseSource() == DeleteClose || deleteCloseSource() == ForceDeleteClose;
    if (state == FinishedError) {
        QString text = m_writer->error().isEmpty() ? error() : m_writer->error();
        // A save that ran says how far it got: the frames its output keeps,
        // or what became of an output that could not be kept.
        if (this->state() == Saving)
            text += QStringLiteral(" after %1 of %2 frames").arg(m_writer->framesWritten()).arg(frCnt());
        if (!m_writer->outcome().isEmpty())
            text += QStringLiteral("; ") + m_writer->outcome();
        setError(text);
        if (deleteCloseSource() == DeleteClose)
            doIt = false;
    }
    disconnect(m_readFailedConnection);
    disconnect(m_progressConnection);
    disconnect(m_finishedConnection);
    PlaybackVornObject* object = source();
    if (!doIt || !object)
        return;
    if (auto* take = qobject_cast<Take*>(object)) {
        // Without its queue the camera itself is going away.
        if (queue())
            take->deleteTake();
    } else if (auto* file = qobject_cast<VornFile*>(object)) {
        file->close();
        file->deleteLater();
    }
    // SSD takes close on the camera once they exist here.
}
