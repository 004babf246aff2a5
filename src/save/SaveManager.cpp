#include "SaveManager.h"

#include "AbstractTake.h"
#include "ImgFileSaveJob.h"
#include "ImgFileWriter.h"
#include "MetaFileSaveJob.h"
#include "MetaFileWriter.h"
#include "SaveChoices.h"
#include "SaveJobQueue.h"
#include "SsdSaveJob.h"
#include "SsdTake.h"
#include "Take.h"
#include "VideoFileSaveJob.h"
#include "VideoFileWriter.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFileSaveJob.h"
#include "VornFileWriter.h"

#include <QDebug>
#include <QFileInfo>

SaveManager::SaveManager(VornApp* app) : QObject(app), m_saveJobs(new QQmlObjectListModel<SaveJob>(this))
{
    qDebug() << "__cdecl SaveManager::SaveManager(class VornApp *)";
}

QString SaveManager::sourceName(const PlaybackVornObject* source)
{
    if (!source)
        return QString();
    switch (source->type()) {
    case VornObject::TakeType:
        return QStringLiteral("Take%1").arg(static_cast<const AbstractTake*>(source)->takeId());
    case VornObject::VornFileType:
        return QFileInfo(static_cast<const VornFile*>(source)->fileName()).completeBaseName();
    case VornObject::SsdTakeType:
        return QFileInfo(static_cast<const SsdTake*>(source)->name()).completeBaseName();
    default:
        return QString();
    }
}

SaveJob* SaveManager::createSaveJob(PlaybackVornObject* source, qint64 startFr, qint64 frCnt, SaveDest dest,
                                    Util::Format format, Util::Codec codec, double frameRate, int quality,
                                    const QString& fileName, const QString& folderPath,
                                    SaveJob::DeleteCloseSource deleteCloseSource, int burnInLines,
                                    int burnInCorner)
{
    // Nothing to save is no save: a job of no frames would wait for ever
    // for a transfer that never sends a frame.
    if (!source || frCnt < 1) {
        qWarning() << "createSaveJob: nothing to save" << source << frCnt;
        return nullptr;
    }
    BurnInOptions burnIn;
    burnIn.lines = burnInLines & BurnInOptions::AllLines;
    burnIn.corner = BurnInOptions::Corner(qBound(0, burnInCorner, int(BurnInOptions::BottomRight)));
    QString refusal =
        SaveChoices::refusal(VornObject::Type(source->type()), SaveJob::Dest(dest), format, codec);
    if (refusal.isEmpty())
        refusal = SaveChoices::burnInRefusal(format, burnIn);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return nullptr;
    }
    SaveJob::Params params;
    params.startFr = startFr;
    params.frCnt = frCnt;
    params.dest = SaveJob::Dest(dest);
    params.format = format;
    params.codec = codec;
    params.frameRate = frameRate;
    params.quality = quality;
    params.deleteCloseSource = deleteCloseSource;
    params.burnIn = burnIn;

    SaveJob* job = nullptr;
    if (dest == FileDest) {
        const SaveFileName outputName(folderPath, fileName, format, startFr, sourceName(source));
        job = createFileSaveJob(source, params, outputName);
    }
    if (dest == SsdDest) {
        // The camera copies a range of its memory; the file name is the
        // template expanded (its folder plays no part).
        auto* take = qobject_cast<Take*>(source);
        if (take && take->camera())
            job = new SsdSaveJob(
                this, take, params,
                SaveFileName(QString(), fileName, Util::FormatVorn, startFr, sourceName(source)));
    }
    if (!job)
        return nullptr;
    m_saveJobs->append(job);
    if (job->queue())
        job->queue()->enqueue(job);
    else
        job->start();
    return job;
}

// The file an SSD take reads; a memory take has none.
static QString takeFileName(AbstractTake* take)
{
    auto* ssdTake = qobject_cast<SsdTake*>(take);
    return ssdTake ? ssdTake->name() : QString();
}

SaveJob* SaveManager::createFileSaveJob(PlaybackVornObject* source, const SaveJob::Params& params,
                                        const SaveFileName& outputName)
{
    auto* take = qobject_cast<AbstractTake*>(source);
    auto* file = qobject_cast<VornFile*>(source);
    switch (params.format) {
    case Util::FormatVorn:
        if (take)
            return new VornFileSaveJob(this, take, takeFileName(take), params, outputName);
        if (file)
            return new VornFileSaveJob(this, file, params, outputName);
        return nullptr;
    case Util::FormatTiff:
    case Util::FormatDng:
        if (take)
            return new ImgFileSaveJob(this, take, takeFileName(take), params, outputName);
        if (file)
            return new ImgFileSaveJob(this, file, params, outputName);
        return nullptr;
    case Util::FormatCsv:
        if (take)
            return new MetaFileSaveJob(this, take, takeFileName(take), params, outputName);
        if (file)
            return new MetaFileSaveJob(this, file, params, outputName);
        return nullptr;
    case Util::FormatAvi:
    case Util::FormatMp4:
        if (take)
            return new VideoFileSaveJob(this, take, takeFileName(take), params, outputName);
        if (file)
            return new VideoFileSaveJob(this, file, params, outputName);
        return nullptr;
    default:
        return nullptr;
    }
}

void SaveManager::createSaveJobBatch(QQmlObjectListModelBase* objs, SaveDest dest, Util::Format format,
                                     Util::Codec codec, double frameRate, int quality,
                                     const QString& fileName, const QString& folderPath,
                                     SaveJob::DeleteCloseSource deleteCloseSources, int burnInLines,
                                     int burnInCorner)
{
    if (!objs)
        return;
    // Jobs that close their source when done may change the list meanwhile.
    QList<QPointer<SaveBatchObject>> rows;
    for (int i = 0; i < objs->count(); ++i) {
        if (auto* row = qobject_cast<SaveBatchObject*>(objs->get(i)))
            rows.append(row);
    }
    // A batch the rules forbid says so once, not once per row.
    m_batchRefusals = 0;
    for (const QPointer<SaveBatchObject>& row : std::as_const(rows)) {
        if (row && row->source())
            createSaveJob(row->source(), row->aFr(), row->bFr() - row->aFr() + 1, dest, format, codec,
                          frameRate, quality, fileName, folderPath, deleteCloseSources, burnInLines,
                          burnInCorner);
    }
    m_batchRefusals = -1;
}

void SaveManager::refuse(const QString& message)
{
    qWarning().noquote() << "createSaveJob refused:" << message;
    if (m_batchRefusals >= 0 && m_batchRefusals++ > 0)
        return;
    if (auto* app = qobject_cast<VornApp*>(parent()))
        emit app->showMessage(message);
}

void SaveManager::removeSaveJob(SaveJob* saveJob)
{
    if (!saveJob || !m_saveJobs->contains(saveJob))
        return;
    if (saveJob->state() == SaveJob::Queued) {
        // It leaves its queue and ends (Cancelled) before it goes.
        saveJob->cancel();
    } else if (saveJob->state() == SaveJob::QueuedFW || saveJob->state() == SaveJob::Saving) {
        return;
    }
    m_saveJobs->remove(saveJob);
    saveJob->deleteLater();
}

qint64 SaveManager::estFileSize(PlaybackVornObject* source, qint64 frames, Util::Format format,
                                Util::Codec codec) const
{
    switch (format) {
    case Util::FormatVorn:
        return VornFileWriter::estFileSize(source, frames);
    case Util::FormatCsv:
        return MetaFileWriter::estFileSize(source, frames);
    case Util::FormatTiff:
    case Util::FormatDng:
        return ImgFileWriter::estFileSize(source, frames, format, codec);
    case Util::FormatAvi:
    case Util::FormatMp4:
        return VideoFileWriter::estFileSize(source, frames, format, codec);
    default:
        return 0;
    }
}
