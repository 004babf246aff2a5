#pragma once

#include "QQmlObjectListModel.h"
#include "SaveBatchObject.h"
#include "SaveJob.h"
#include "Util.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

class PlaybackVornObject;
class VornApp;

// The one place where saves are made: turns a save dialog's choices into the
// job of the right kind, lists every job until the user removes it, and hands
// each job to its camera's queue or starts it at once.
class SaveManager : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QQmlObjectListModelBase* saveJobs READ saveJobsBase CONSTANT)

public:
    enum SaveDest : int { FileDest = SaveJob::FileDest, SsdDest = SaveJob::SsdDest };
    Q_ENUM(SaveDest)

    explicit SaveManager(VornApp* app);

    QQmlObjectListModel<SaveJob>* saveJobs() const { return m_saveJobs; }
    QQmlObjectListModelBase* saveJobsBase() const { return m_saveJobs; }

    // The job made, or null when this source, destination and format make
    // none. A combination the save rules forbid (SaveChoices) is refused
    // with a message to the user.
    Q_INVOKABLE SaveJob* createSaveJob(PlaybackVornObject* source, qint64 startFr, qint64 frCnt,
                                       SaveDest dest, Util::Format format, Util::Codec codec,
                                       double frameRate, int quality, const QString& fileName,
                                       const QString& folderPath,
                                       SaveJob::DeleteCloseSource deleteCloseSource, int burnInLines = 0,
                                       int burnInCorner = BurnInOptions::BottomLeft);
    // One job per row with a source, each with the row's range; a refusal
    // is told once for the whole batch.
    Q_INVOKABLE void createSaveJobBatch(QQmlObjectListModelBase* objs, SaveDest dest, Util::Format format,
                                        Util::Codec codec, double frameRate, int quality,
                                        const QString& fileName, const QString& folderPath,
                                        SaveJob::DeleteCloseSource deleteCloseSources, int burnInLines = 0,
                                        int burnInCorner = BurnInOptions::BottomLeft);
    // Takes a job off the list unless it is running (cancel it first).
    Q_INVOKABLE void removeSaveJob(SaveJob* saveJob);
    // Bytes the save of `frames` frames of the source will take; 0 for a
    // format that cannot say.
    Q_INVOKABLE qint64 estFileSize(PlaybackVornObject* source, qint64 frames, Util::Format format,
                                   Util::Codec codec) const;

    // The name the <name> tag stands for.
    static QString sourceName(const PlaybackVornObject* source);

private:
    SaveJob* createFileSaveJob(PlaybackVornObject* source, const SaveJob::Params& params,
                               const SaveFileName& outputName);
    void refuse(const QString& message);

    QQmlObjectListModel<SaveJob>* m_saveJobs;
    // Refusals told during the batch being made; -1 outside a batch.
    int m_batchRefusals = -1;
};
