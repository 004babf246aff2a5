// A VORN file as the program meets it: opened (header and values), three of
// its frames shown through the display pipeline, and the metadata CSV of
// its whole range saved through the save manager.
#include "FuzzSupport.h"
#include "RawFrame.h"
#include "SaveManager.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFileGeometry.h"

#include <QEventLoop>
#include <QFile>

int fuzzVornFile(const uint8_t* data, size_t size)
{
    const QString folder = Fuzz::scratchFolder();
    const QString path = folder + QStringLiteral("/input.vorn");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    VornApp* app = VornApp::instance();
    auto* vornFile = new VornFile(path, app);
    if (vornFile->open()) {
        Fuzz::check(vornFile->valuesInit(), "an opened file has its values");
        vornFile->setSelected(true);
        const qint64 first = vornFile->firstFrame();
        const qint64 last = vornFile->lastFrame();
        for (qint64 fr : {first, first + (last - first) / 2, last}) {
            vornFile->setFr(fr, true);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

        const qint64 frames = vornFile->bFr() - vornFile->aFr() + 1;
        SaveJob* job = app->saveManager()->createSaveJob(
            vornFile, vornFile->aFr(), frames, SaveManager::FileDest, Util::FormatCsv, Util::CodecCsv, 0, 0,
            QStringLiteral("meta"), folder, SaveJob::DontDeleteClose);
        if (job) {
            // The save runs in threads of its own; its end arrives as queued signals.
            QEventLoop loop;
            QObject::connect(job, &SaveJob::stateChanged, &loop, [&loop, job] {
                if (job->state() > SaveJob::Saving)
                    loop.quit();
            });
            if (job->state() <= SaveJob::Saving)
                loop.exec();
            if (job->state() == SaveJob::Done) {
                const VornFileGeometry geometry = VornFileGeometry::of(vornFile);
                const qint64 lastIndex = vornFile->bFr() - geometry.firstFr;
                Fuzz::check(qint64(vornFile->dataOffset() + lastIndex * geometry.recordSize()) < qint64(size),
                            "only records the file holds are saved");
                QFile csv(folder + QStringLiteral("/meta.csv"));
                Fuzz::check(csv.open(QIODevice::ReadOnly), "a finished save has its file");
                Fuzz::check(csv.readAll().count('\n') == frames + 1, "one row per frame after the header");
            }
            app->saveManager()->removeSaveJob(job);
        }
    }
    delete vornFile;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
