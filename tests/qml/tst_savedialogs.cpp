// The save dialogs and the save progress view against a simulated monochrome
// camera with an SSD and real folders: what each source may be saved as,
// ranges typed into the dialog, saves that run to "Complete" and open from
// the view, cancelling and removing jobs, saves onto the SSD, batch saves of
// takes, SSD takes and VORN files, and the choices remembered between
// openings.

#include "CameraViewHarness.h"
#include "SaveManager.h"
#include "SsdTake.h"
#include "Take.h"
#include "VornFile.h"
#include "VornTestMain.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestSaveDialogs : public CameraViewHarness
{
    Q_OBJECT

    Take* m_take = nullptr;
    QTemporaryDir m_dir;

    QList<SaveJob*> jobs() const { return app()->saveManager()->saveJobs()->toList(); }

    // The texts of a dialog combo box's choices.
    QStringList choiceTexts(const QString& name) const
    {
        QStringList texts;
        QObject* box = find(name);
        if (!box)
            return {QStringLiteral("(no %1)").arg(name)};
        for (const QVariant& choice : box->property("choices").toList())
            texts << choice.toMap().value(QStringLiteral("text")).toString();
        return texts;
    }

    bool shown(const QString& name) const
    {
        QQuickItem* i = item(name);
        return i && i->isVisible();
    }

    // A dialog once shown and laid out.
    QQuickWindow* shownDialog(const QString& name)
    {
        QQuickWindow* w = dialog(name);
        if (!w || !QTest::qWaitForWindowActive(w))
            return nullptr;
        (void)w->grabWindow();
        return w;
    }

    QQuickWindow* openFromContextMenu(QQuickItem* tab, const QString& entry, const QString& dialogName)
    {
        if (!tab)
            return nullptr;
        QObject* menu = openContextMenu(tab);
        if (!menu)
            return nullptr;
        triggerMenuItem(menu, entry);
        return shownDialog(dialogName);
    }

    QQuickItem* takeTab() const
    {
        const QList<QQuickItem*> tabs = items(QStringLiteral("takeTab"));
        return tabs.isEmpty() ? nullptr : tabs.first();
    }

    void closeDialog(const QString& name)
    {
        click(item(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!find<QQuickWindow>(name));
    }

    void saveAndRepeat()
    {
        click(item(QStringLiteral("saveMoreButton")));
        QObject* menu = find(QStringLiteral("saveRepeatMenu"));
        QVERIFY(menu);
        QTRY_VERIFY(menu->property("opened").toBool());
        QTRY_VERIFY(menuLaidOut(menu));
        triggerMenuItem(menu, QStringLiteral("Save && Repeat"));
    }

    // The row of a job in the save progress view.
    QQuickItem* rowOf(SaveJob* job) const
    {
        for (QQuickItem* row : items(QStringLiteral("saveJobRow")))
            if (row->property("qtObject").value<QObject*>() == job)
                return row;
        return nullptr;
    }

    QQuickItem* inRow(SaveJob* job, const QString& name) const
    {
        QQuickItem* row = rowOf(job);
        const QList<QQuickItem*> found = row ? itemsNamed(row, name) : QList<QQuickItem*>();
        return found.isEmpty() ? nullptr : found.first();
    }

    QString statusOf(SaveJob* job) const
    {
        QQuickItem* label = inRow(job, QStringLiteral("jobStatusText"));
        return label ? label->property("text").toString() : QString();
    }

    bool allComplete(const QList<SaveJob*>& list) const
    {
        for (SaveJob* job : list)
            if (statusOf(job) != QLatin1String("Complete"))
                return false;
        return true;
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    void setFolder(const QString& folder)
    {
        type(item(QStringLiteral("folderText")), folder);
        QTRY_COMPARE(text(QStringLiteral("folderText")), folder);
    }

    // Chooses in a dialog combo box once the dialog has laid out the rows
    // that the last choice showed or hid.
    void pick(const QString& comboName, const QString& entry)
    {
        QQuickItem* box = item(comboName + "Box");
        QVERIFY2(box, qPrintable("no " + comboName));
        QVERIFY(!box->window()->grabWindow().isNull());
        choose(comboName, entry);
    }

    void setFileName(const QString& name) { type(item(QStringLiteral("fileNameText")), name); }

    QList<QUrl> m_desktopOpened;

public slots:
    // Stands in for the desktop's file manager where a test installs it.
    void desktopOpens(const QUrl& url) { m_desktopOpened << url; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        q7sim::CameraConfig config;
        config.cfa = q7sim::Cfa::Mono;
        config.name = QStringLiteral("Q7 Mono");
        config.res = QStringLiteral("320x240");
        config.ssdBytes = 64ULL << 30;
        // Slow enough to see an SSD save running.
        config.ssdWriteBytesPerSecond = 4LL << 20;
        QVERIFY(startWith(config));
        QVERIFY(SimCameras::recordTake(m_sim, 60, 20) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->savedTakes()->count() > 0, 5000);
        m_take = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
        QVERIFY(m_take);
        QTRY_VERIFY_WITH_TIMEOUT(m_take->valuesInit(), 5000);
        QVERIFY(m_take->lastFrame() - m_take->firstFrame() > 10);
        QTRY_COMPARE(valueOf(m_camera, "ssdState").toInt(), int(Camera::SsdReady));
        // Nothing selected: no frames are fetched behind the tests' backs.
        app()->setNullVornObject(VornApp::SaveProgress);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        QTRY_VERIFY(takeTab());
    }

    void cleanupTestCase() { finish(); }

    // A test that failed halfway leaves no dialog behind for the next.
    void cleanup()
    {
        for (const char* name : {"saveDialog", "batchSaveDialog"}) {
            if (auto* w = find<QQuickWindow>(name))
                w->close();
        }
        QTRY_VERIFY(!find<QQuickWindow>("saveDialog") && !find<QQuickWindow>("batchSaveDialog"));
        QCOMPARE(app()->saveBatchObjModel()->count(), 0);
    }

    void singleDialogOffersWhatATakeAllows()
    {
        QQuickWindow* w =
            openFromContextMenu(takeTab(), QStringLiteral("Save..."), QStringLiteral("saveDialog"));
        QVERIFY(w);
        QCOMPARE(w->title(), QStringLiteral("Save"));
        // Over the middle of the main window.
        QTRY_VERIFY(qAbs(w->geometry().center().x() - window()->geometry().center().x()) <= 1);
        QCOMPARE(text("sourceCameraRowText"), QStringLiteral("Q7 Mono"));
        QCOMPARE(text("sourceTakeRowText"), QString::number(m_take->takeId()));

        // A take in camera memory goes to a file or onto the SSD.
        QCOMPARE(choiceTexts("saveToBox"), (QStringList{"File", "SSD"}));
        QVERIFY(item("saveToBox")->isEnabled());
        QCOMPARE(choiceTexts("formatBox"),
                 (QStringList{"VORN", "AVI", "MP4", "TIFF", "DNG", "CSV (Metadata)"}));

        // Codecs, frame rate and quality per format.
        VIEW_STEP(pick("format", "AVI"));
        QCOMPARE(choiceTexts("codecBox"), (QStringList{"RAW - BGR24", "RAW - Gray8"}));
        QVERIFY(shown("codecBox") && shown("frameRateBox") && !shown("qualitySlider") && shown("burnInRow"));
        QVERIFY(shown("estFileSizeRowText"));
        VIEW_STEP(pick("format", "MP4"));
        QCOMPARE(choiceTexts("codecBox"),
                 (QStringList{"AV1 - YUV420P", "AV1 - YUV420P10", "H.264 - YUV420P"}));
        QVERIFY(shown("qualitySlider") && !shown("estFileSizeRowText"));
        QCOMPARE(item("qualitySlider")->property("from").toInt(), 63);
        QCOMPARE(item("qualitySlider")->property("to").toInt(), 1);
        VIEW_STEP(pick("codec", "H.264 - YUV420P"));
        QCOMPARE(item("qualitySlider")->property("from").toInt(), 51);
        VIEW_STEP(pick("format", "TIFF"));
        QCOMPARE(choiceTexts("codecBox"), (QStringList{"RAW - RGB24", "RAW - Gray8", "RAW - Gray16"}));
        QVERIFY(!shown("frameRateBox") && !shown("qualitySlider"));
        QVERIFY(shown("burnInRow"));
        VIEW_STEP(pick("format", "CSV (Metadata)"));
        QVERIFY(!shown("codecBox") && !shown("burnInRow"));
        VIEW_STEP(pick("format", "VORN"));
        QVERIFY(!shown("codecBox") && !shown("frameRateBox") && !shown("burnInRow"));

        // Onto the SSD only VORN, no folder, and the SSD's free space.
        VIEW_STEP(pick("saveTo", "SSD"));
        QCOMPARE(choiceTexts("formatBox"), QStringList{"VORN"});
        QVERIFY(!item("formatBox")->isEnabled());
        QVERIFY(!shown("folderText"));
        const qint64 ssdFree =
            qint64(valueOf(m_camera, "ssdSize").toULongLong() - valueOf(m_camera, "ssdUsed").toULongLong());
        QCOMPARE(text("freeSpaceRowText"), app()->sizeText(ssdFree));
        VIEW_STEP(pick("saveTo", "File"));
        QCOMPARE(choiceTexts("formatBox").size(), 6);
        VIEW_STEP(setFolder(m_dir.path()));
        QCOMPARE(text("freeSpaceRowText"), app()->sizeText(app()->folderBytesAvailable(m_dir.path())));
        // A folder the save will make, and a disk too small for the estimate.
        VIEW_STEP(setFolder(m_dir.filePath("not/yet")));
        QCOMPARE(text("freeSpaceRowText"),
                 app()->sizeText(app()->folderBytesAvailable(m_dir.path())) + " (folder will be created)");
        VIEW_STEP(setFolder(qEnvironmentVariable("VORN_SMALL_DISK")));
        QVERIFY2(text("freeSpaceRowText").endsWith(" (less than the estimate)"),
                 qPrintable(text("freeSpaceRowText")));
        VIEW_STEP(setFolder(m_dir.path()));

        // The range: the playback frames first, then a typed selection whose
        // end before its start leaves one frame.
        const qint64 first = m_take->firstFrame(), last = m_take->lastFrame(), total = last - first + 1;
        QCOMPARE(text("frameCountRowText"), QStringLiteral("%1  of  %1").arg(total));
        QCOMPARE(choiceTexts("saveRangeBox"), (QStringList{"All frames", "In to Out Points", "Selection"}));
        QVERIFY(!item("startFrameField")->isEnabled() && !item("endFrameField")->isEnabled());
        VIEW_STEP(pick("saveRange", "Selection"));
        VIEW_STEP(type(item("startFrameField"), QString::number(first + 5)));
        VIEW_STEP(type(item("endFrameField"), QString::number(first + 2)));
        QTRY_COMPARE(text("frameCountRowText"), QStringLiteral("1  of  %1").arg(total));
        QCOMPARE(text("startFrameField"), QString::number(first + 5));
        QCOMPARE(text("endFrameField"), QString::number(first + 5));
        // A start after the end gives way to the end; numbers outside the take are clamped.
        VIEW_STEP(type(item("startFrameField"), QString::number(last + 100)));
        QTRY_COMPARE(text("startFrameField"), QString::number(first + 5));
        VIEW_STEP(type(item("endFrameField"), QString::number(last + 100)));
        QTRY_COMPARE(text("endFrameField"), QString::number(last));
        QCOMPARE(text("frameCountRowText"), QStringLiteral("%1  of  %2").arg(last - first - 4).arg(total));
        QCOMPARE(text("estFileSizeRowText"),
                 app()->sizeText(app()->saveManager()->estFileSize(m_take, last - first - 4, Util::FormatVorn,
                                                                   Util::CodecVorn)));
        VIEW_STEP(pick("saveRange", "All frames"));
        QCOMPARE(text("frameCountRowText"), QStringLiteral("%1  of  %1").arg(total));

        // The file name's insert menu puts the tags in.
        VIEW_STEP(setFileName("clip_"));
        click(item("fileNameInsert"));
        QObject* menu = find("fileNameMenu");
        QTRY_VERIFY(menu->property("opened").toBool());
        QTRY_VERIFY(menuLaidOut(menu));
        VIEW_STEP(triggerMenuItem(menu, "Frame Number"));
        QTRY_COMPARE(text("fileNameText"), QStringLiteral("clip_<fr>"));
        click(item("fileNameReset"));
        QTRY_VERIFY(text("fileNameText").contains('T') && !text("fileNameText").contains(':'));

        VIEW_STEP(pick("format", "AVI"));
        VIEW_STEP(saveScreenshot("save-dialog.png", w));
        // "Cancel" saves nothing and remembers nothing.
        VIEW_STEP(closeDialog("saveDialog"));
        QVERIFY(jobs().isEmpty());
        QVERIFY(!app()->setting("save/format").isValid());
    }

    void savesFromTheDialogRunToCompleteAndOpen()
    {
        QVERIFY(openFromContextMenu(takeTab(), QStringLiteral("Save..."), QStringLiteral("saveDialog")));
        const qint64 first = m_take->firstFrame();
        VIEW_STEP(pick("saveRange", "Selection"));
        VIEW_STEP(type(item("startFrameField"), QString::number(first)));
        VIEW_STEP(type(item("endFrameField"), QString::number(first + 4)));
        VIEW_STEP(setFolder(m_dir.path()));
        VIEW_STEP(setFileName("vornclip"));
        VIEW_STEP(pick("format", "VORN"));
        // "Save && Repeat" leaves the dialog open for the next save.
        VIEW_STEP(saveAndRepeat());
        QTRY_COMPARE(jobs().size(), 1);
        QVERIFY(find<QQuickWindow>("saveDialog"));

        VIEW_STEP(setFileName("mp4clip"));
        VIEW_STEP(pick("format", "MP4"));
        VIEW_STEP(pick("codec", "H.264 - YUV420P"));
        QCOMPARE(item("qualitySlider")->property("from").toInt(), 51);
        const int quality = text("qualityValue").toInt();
        QCOMPARE(quality, 15);
        // Burn-in of two lines in the top-right corner.
        QVERIFY(!item("burnInCornerBox")->isEnabled());
        VIEW_STEP(click(item("burnInTime")));
        VIEW_STEP(click(item("burnInCamera")));
        QTRY_VERIFY(item("burnInCornerBox")->isEnabled());
        VIEW_STEP(pick("burnInCorner", "Top Right"));
        VIEW_STEP(saveAndRepeat());
        QTRY_COMPARE(jobs().size(), 2);

        VIEW_STEP(setFileName("aviclip"));
        VIEW_STEP(pick("format", "AVI"));
        VIEW_STEP(pick("codec", "RAW - Gray8"));
        VIEW_STEP(typeInCombo("frameRate", "50"));
        VIEW_STEP(click(item("saveButton")));
        QTRY_VERIFY(!find<QQuickWindow>("saveDialog"));
        QCOMPARE(jobs().size(), 3);
        QCOMPARE(app()->backgroundView(), VornApp::SaveProgress);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        SaveJob* vornJob = jobs().at(0);
        SaveJob* mp4Job = jobs().at(1);
        SaveJob* aviJob = jobs().at(2);
        QCOMPARE(mp4Job->codec(), Util::CodecH264);
        QCOMPARE(mp4Job->quality(), quality);
        QCOMPARE(mp4Job->frameRate(), 30.0);
        QCOMPARE(aviJob->frameRate(), 50.0);
        QCOMPARE(aviJob->codec(), Util::CodecRaw_Gray8);
        const BurnInOptions burnIn{BurnInOptions::TimeLine | BurnInOptions::CameraLine,
                                   BurnInOptions::TopRight};
        QVERIFY(vornJob->burnIn() == BurnInOptions() && mp4Job->burnIn() == burnIn &&
                aviJob->burnIn() == burnIn);
        QTRY_VERIFY_WITH_TIMEOUT(allComplete({vornJob, mp4Job, aviJob}), 30000);
        QVERIFY(QFileInfo(path("mp4clip.mp4")).size() > 0);
        QCOMPARE(inRow(vornJob, "jobDestText")->property("text").toString(), QStringLiteral("File"));
        QCOMPARE(inRow(vornJob, "jobNameText")->property("text").toString(), QStringLiteral("vornclip.vorn"));
        QCOMPARE(inRow(vornJob, "jobPathText")->property("text").toString(), path("vornclip.vorn"));
        QCOMPARE(inRow(vornJob, "jobCameraText")->property("text").toString(), QStringLiteral("Q7 Mono"));
        QCOMPARE(inRow(vornJob, "jobSourceText")->property("text").toString(),
                 QStringLiteral("Take %1").arg(m_take->takeId()));
        QVERIFY(QFileInfo(path("vornclip.vorn")).size() > 5 * 320 * 240);
        // Raw grey frames: at least one byte per pixel.
        QVERIFY(QFileInfo(path("aviclip.avi")).size() >= 5 * 320 * 240);

        // The play button opens the saved VORN file with the five frames.
        QQuickItem* open = inRow(vornJob, "jobOpenButton");
        QVERIFY(open && open->isVisible());
        click(open);
        QTRY_VERIFY(qobject_cast<VornFile*>(app()->selectedVornObject()));
        auto* file = qobject_cast<VornFile*>(app()->selectedVornObject());
        QCOMPARE(QFileInfo(file->fileName()).canonicalFilePath(),
                 QFileInfo(path("vornclip.vorn")).canonicalFilePath());
        QTRY_VERIFY(file->valuesInit());
        QCOMPARE(file->lastFrame() - file->firstFrame() + 1, 5);

        // A metadata file of the open file, from its own "Save..."; its
        // dialog names the file.
        QTRY_VERIFY(find("fileTab"));
        QVERIFY(openFromContextMenu(find<QQuickItem>("fileTab"), QStringLiteral("Save..."),
                                    QStringLiteral("saveDialog")));
        QCOMPARE(text("sourceCameraRowText"), QStringLiteral("vornclip.vorn"));
        QVERIFY(!shown("sourceTakeRowText"));
        QCOMPARE(choiceTexts("saveToBox"), QStringList{"File"});
        VIEW_STEP(pick("format", "CSV (Metadata)"));
        VIEW_STEP(setFileName("meta"));
        VIEW_STEP(click(item("saveButton")));
        QTRY_COMPARE(jobs().size(), 4);
        // The burn-in choice stays, but a metadata file has no pictures.
        QVERIFY(!jobs().at(3)->burnIn().active());
        QTRY_VERIFY_WITH_TIMEOUT(allComplete({jobs().at(3)}), 30000);
        QCOMPARE(inRow(jobs().at(3), "jobSourceText")->property("text").toString(),
                 QStringLiteral("vornclip.vorn"));
        QFile csv(path("meta.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().count('\n') >= 5);

        // The choices of the last save come back with the next dialog.
        QVERIFY(openFromContextMenu(takeTab(), QStringLiteral("Save..."), QStringLiteral("saveDialog")));
        QCOMPARE(find("formatBox")->property("value").toInt(), int(Util::FormatCsv));
        QCOMPARE(text("fileNameText"), QStringLiteral("meta"));
        QCOMPARE(text("folderText"), m_dir.path());
        QCOMPARE(app()->setting("save/fr_rate").toDouble(), 50.0);
        VIEW_STEP(pick("format", "AVI"));
        QCOMPARE(find("frameRateBox")->property("editText").toString(), QStringLiteral("50"));
        QCOMPARE(find("codecBox")->property("value").toInt(), int(Util::CodecRaw_BGR24));
        QVERIFY(item("burnInTime")->property("checked").toBool() &&
                !item("burnInFrame")->property("checked").toBool());
        QCOMPARE(find("burnInCornerBox")->property("value").toInt(), int(BurnInOptions::TopRight));
        VIEW_STEP(closeDialog("saveDialog"));
    }

    void progressViewCancelsAndRemoves()
    {
        app()->setNullVornObject(VornApp::SaveProgress);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        const int before = jobs().size();
        // A transfer that trickles in, so that the save is still running.
        q7sim::Fault slow = q7sim::Fault::xferPieces(1024, 40);
        slow.remaining = 1;
        m_sim->addFault(slow);

        QVERIFY(openFromContextMenu(takeTab(), QStringLiteral("Save..."), QStringLiteral("saveDialog")));
        VIEW_STEP(pick("saveRange", "All frames"));
        VIEW_STEP(pick("format", "VORN"));
        VIEW_STEP(setFileName("slow"));
        VIEW_STEP(saveAndRepeat());
        // A second save of the same camera waits for the first.
        VIEW_STEP(setFileName("waiting"));
        VIEW_STEP(click(item("saveButton")));
        QTRY_COMPARE(jobs().size(), before + 2);
        SaveJob* running = jobs().at(before);
        SaveJob* queued = jobs().at(before + 1);
        QTRY_COMPARE(running->state(), SaveJob::Saving);
        QTRY_VERIFY(rowOf(queued));
        QCOMPARE(statusOf(queued), QStringLiteral("Queued"));
        QTRY_VERIFY(inRow(running, "jobProgressBar") && inRow(running, "jobProgressBar")->isVisible());
        QTRY_VERIFY(running->progress() > 0);
        QVERIFY(inRow(running, "jobPercentText")->property("text").toString().endsWith('%'));
        // The time left, once the save has run a while; none for a waiting job.
        QTRY_VERIFY_WITH_TIMEOUT(running->secondsLeft() > 0, 15000);
        QTRY_VERIFY(inRow(running, "jobTimeLeftText")->property("text").toString().endsWith(" left"));
        QCOMPARE(queued->secondsLeft(), -1);
        VIEW_STEP(saveScreenshot("save-progress-view.png"));

        // A waiting job leaves the list at once.
        QPointer<SaveJob> gone = queued;
        click(inRow(queued, "jobCloseButton"));
        QTRY_VERIFY(!rowOf(queued));
        QVERIFY(!jobs().contains(queued));
        QTRY_VERIFY(!gone);

        // A running one is cancelled first, then removed.
        const double progress = running->progress();
        click(inRow(running, "jobCloseButton"));
        QTRY_COMPARE(running->state(), SaveJob::Cancelled);
        QCOMPARE(running->secondsLeft(), -1);
        QVERIFY(running->progress() >= progress && running->progress() < 100);
        QTRY_COMPARE(statusOf(running), QStringLiteral("Cancelled"));
        QVERIFY(!inRow(running, "jobOpenButton")->isVisible());
        click(inRow(running, "jobCloseButton"));
        QTRY_VERIFY(!jobs().contains(running));
        QCOMPARE(jobs().size(), before);
        QVERIFY(!QFileInfo::exists(path("waiting.vorn")));
    }

    void ssdSaveRunsOnTheCameraAndOpensAsSsdTake()
    {
        QVERIFY(openFromContextMenu(takeTab(), QStringLiteral("Save..."), QStringLiteral("saveDialog")));
        VIEW_STEP(pick("saveTo", "SSD"));
        VIEW_STEP(pick("saveRange", "All frames"));
        // The camera names the file after the template at this firmware level.
        QVERIFY(item("fileNameText")->isEnabled());
        VIEW_STEP(setFileName("ssdclip"));
        const int before = jobs().size();
        VIEW_STEP(click(item("saveButton")));
        QTRY_COMPARE(jobs().size(), before + 1);
        SaveJob* job = jobs().last();
        QCOMPARE(job->dest(), SaveJob::SsdDest);
        QTRY_VERIFY(rowOf(job));
        QCOMPARE(inRow(job, "jobDestText")->property("text").toString(), QStringLiteral("SSD"));
        // While the camera writes, the program can stop waiting for it.
        QTRY_VERIFY(job->state() == SaveJob::Saving || job->state() == SaveJob::QueuedFW ||
                    job->state() == SaveJob::Done);
        QVERIFY(inRow(job, "jobCloseButton")->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(job), QStringLiteral("Complete"), 30000);
        QVERIFY(inRow(job, "jobCloseButton")->isVisible());
        QCOMPARE(inRow(job, "jobNameText")->property("text").toString(), QStringLiteral("ssdclip.vorn"));

        // Its play button opens the file on the SSD as an SSD take.
        click(inRow(job, "jobOpenButton"));
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->ssdTakes()->count(), 1, 10000);
        SsdTake* ssdTake = m_camera->ssdTakes()->first();
        QCOMPARE(ssdTake->name(), QStringLiteral("ssdclip.vorn"));
        QTRY_VERIFY_WITH_TIMEOUT(ssdTake->valuesInit(), 5000);

        // An SSD take goes to files only, and not as metadata.
        QTRY_VERIFY(!items("ssdTakeTab").isEmpty());
        QVERIFY(openFromContextMenu(items("ssdTakeTab").first(), QStringLiteral("Save..."),
                                    QStringLiteral("saveDialog")));
        QCOMPARE(text("sourceCameraRowText"), QStringLiteral("Q7 Mono"));
        QCOMPARE(find("sourceTakeRow")->property("label").toString(), QStringLiteral("SSD Take:"));
        QCOMPARE(text("sourceTakeRowText"), QStringLiteral("ssdclip.vorn"));
        QCOMPARE(choiceTexts("saveToBox"), QStringList{"File"});
        QVERIFY(!item("saveToBox")->isEnabled());
        QCOMPARE(choiceTexts("formatBox"), (QStringList{"VORN", "AVI", "MP4", "TIFF", "DNG"}));
        VIEW_STEP(closeDialog("saveDialog"));

        // So does the batch of all SSD takes.
        QVERIFY(openFromContextMenu(find<QQuickItem>("cameraTabFrame"),
                                    QStringLiteral("Save All SSD Takes..."),
                                    QStringLiteral("batchSaveDialog")));
        QCOMPARE(app()->saveBatchObjModel()->count(), 1);
        QCOMPARE(choiceTexts("saveToBox"), QStringList{"File"});
        QCOMPARE(choiceTexts("formatBox"), (QStringList{"VORN", "AVI", "MP4", "TIFF", "DNG"}));
        QCOMPARE(text("batchSourceText"), QStringLiteral("ssdclip.vorn"));
        VIEW_STEP(closeDialog("batchSaveDialog"));
        QCOMPARE(app()->saveBatchObjModel()->count(), 0);
        QVERIFY(ssdTake && m_camera->ssdTakes()->contains(ssdTake));

        // A dialog whose SSD take is closed goes with it.
        QVERIFY(openFromContextMenu(items("ssdTakeTab").first(), QStringLiteral("Save..."),
                                    QStringLiteral("saveDialog")));
        ssdTake->fclose();
        QTRY_VERIFY_WITH_TIMEOUT(!find<QQuickWindow>("saveDialog"), 5000);
        QTRY_COMPARE(m_camera->ssdTakes()->count(), 0);
    }

    void batchSaveOfTakes()
    {
        QVERIFY(openFromContextMenu(find<QQuickItem>("cameraTabFrame"), QStringLiteral("Save All Takes..."),
                                    QStringLiteral("batchSaveDialog")));
        QCOMPARE(app()->saveBatchObjModel()->count(), 1);
        QCOMPARE(text("batchSourceText"), QStringLiteral("Take %1").arg(m_take->takeId()));
        QCOMPARE(choiceTexts("saveToBox"), (QStringList{"File", "SSD"}));
        // The batch dialog lists the grey codecs first.
        VIEW_STEP(pick("format", "AVI"));
        QCOMPARE(choiceTexts("codecBox"), (QStringList{"RAW - Gray8", "RAW - BGR24"}));
        VIEW_STEP(pick("format", "TIFF"));
        QCOMPARE(choiceTexts("codecBox"), (QStringList{"RAW - Gray8", "RAW - Gray16", "RAW - RGB24"}));
        VIEW_STEP(click(item("burnInFrame")));

        // The row's range: typed, reset, and an end before the start.
        auto* row = app()->saveBatchObjModel()->first();
        const qint64 first = m_take->firstFrame(), last = m_take->lastFrame();
        VIEW_STEP(type(item("startFrameField"), QString::number(first + 3)));
        QTRY_COMPARE(row->aFr(), first + 3);
        VIEW_STEP(type(item("endFrameField"), QString::number(first + 1)));
        QTRY_COMPARE(row->bFr(), first + 3);
        VIEW_STEP(click(item("endResetButton")));
        QTRY_COMPARE(row->bFr(), last);
        VIEW_STEP(type(item("endFrameField"), QString::number(first + 5)));
        QTRY_COMPARE(row->bFr(), first + 5);
        QCOMPARE(text("estFileSizeRowText"), app()->sizeText(app()->saveManager()->estFileSize(
                                                 m_take, 3, Util::FormatTiff, Util::CodecRaw_Gray8)));

        VIEW_STEP(pick("format", "CSV (Metadata)"));
        VIEW_STEP(setFolder(m_dir.path()));
        VIEW_STEP(setFileName("batch_<name>"));
        const int before = jobs().size();
        VIEW_STEP(click(item("saveButton")));
        QTRY_VERIFY(!find<QQuickWindow>("batchSaveDialog"));
        QCOMPARE(app()->saveBatchObjModel()->count(), 0);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        QCOMPARE(jobs().size(), before + 1);
        QCOMPARE(jobs().last()->startFr(), first + 3);
        QCOMPARE(jobs().last()->frCnt(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(allComplete({jobs().last()}), 30000);
        const QString csvName = QStringLiteral("batch_Take%1.csv").arg(m_take->takeId());
        QVERIFY2(QFileInfo::exists(path(csvName)), qPrintable(csvName));
        QCOMPARE(app()->setting("save_batch/format").toInt(), int(Util::FormatCsv));
        QVERIFY(!jobs().last()->burnIn().active());
        QCOMPARE(app()->setting("save_batch/burn_in").toInt(), int(BurnInOptions::FrameLine));
        // The single dialog keeps its own choices.
        QCOMPARE(app()->setting("save/format").toInt(), int(Util::FormatVorn));
    }

    void batchSaveOfVornFiles()
    {
        // Three copies of the saved VORN file, chosen in the file dialog.
        QStringList urls;
        for (int i = 1; i <= 3; ++i) {
            const QString name = path(QStringLiteral("batch%1.vorn").arg(i));
            QVERIFY(QFile::copy(path("vornclip.vorn"), name));
            urls << QUrl::fromLocalFile(name).toString();
        }
        QObject* fileDialog = find("batchOpenDialog");
        QVERIFY(fileDialog);
        QMetaObject::invokeMethod(fileDialog, "filesChosen", Q_ARG(QVariant, QVariant(urls)));
        QQuickWindow* w = shownDialog("batchSaveDialog");
        QVERIFY(w);
        QCOMPARE(app()->saveBatchObjModel()->count(), 3);
        QList<QPointer<PlaybackVornObject>> sources;
        for (SaveBatchObject* row : app()->saveBatchObjModel()->toList())
            sources << row->source();
        QTRY_COMPARE(itemsNamed(w->contentItem(), "batchSourceText").size(), 3);
        const QStringList names{
            itemsNamed(w->contentItem(), "batchSourceText").at(0)->property("text").toString(),
            itemsNamed(w->contentItem(), "batchSourceText").at(2)->property("text").toString()};
        QCOMPARE(names, (QStringList{"batch1.vorn", "batch3.vorn"}));
        // The choices of the last batch save.
        QCOMPARE(find("formatBox")->property("value").toInt(), int(Util::FormatCsv));
        QCOMPARE(choiceTexts("saveToBox"), QStringList{"File"});

        // The third file leaves the batch and is dropped.
        click(itemsNamed(w->contentItem(), "batchRemoveButton").at(2));
        QTRY_COMPARE(app()->saveBatchObjModel()->count(), 2);
        QTRY_VERIFY(!sources.at(2));

        // A start copied to every row, an end reset to the last frame.
        QList<QQuickItem*> startFields = itemsNamed(w->contentItem(), "startFrameField");
        QTRY_COMPARE(startFields.size(), 2);
        const QList<SaveBatchObject*> rows = app()->saveBatchObjModel()->toList();
        const qint64 start = sources.at(0)->firstFrame() + 1;
        VIEW_STEP(type(startFields.at(0), QString::number(start)));
        QTRY_COMPARE(rows.at(0)->aFr(), start);
        QCOMPARE(rows.at(1)->aFr(), sources.at(1)->firstFrame());
        click(itemsNamed(w->contentItem(), "startCopyButton").at(0));
        QTRY_COMPARE(rows.at(1)->aFr(), start);
        rows.at(1)->setBFr(start + 1);
        click(itemsNamed(w->contentItem(), "endResetButton").at(1));
        QTRY_COMPARE(rows.at(1)->bFr(), sources.at(1)->lastFrame());

        VIEW_STEP(pick("format", "VORN"));
        QVERIFY(QDir(m_dir.path()).mkpath("out"));
        VIEW_STEP(setFolder(path("out")));
        VIEW_STEP(setFileName("<name>_<seq:2>"));
        VIEW_STEP(saveScreenshot("batch-save-dialog.png", w));

        // Repeated saves leave the files open for the next one.
        const int before = jobs().size();
        VIEW_STEP(saveAndRepeat());
        QTRY_COMPARE(jobs().size(), before + 2);
        VIEW_STEP(pick("format", "TIFF"));
        VIEW_STEP(pick("codec", "RAW - Gray16"));
        VIEW_STEP(saveAndRepeat());
        QTRY_COMPARE(jobs().size(), before + 4);
        QTRY_VERIFY_WITH_TIMEOUT(allComplete(jobs().mid(before)), 30000);
        for (int i = 0; i < 2; ++i) {
            auto* file = qobject_cast<VornFile*>(sources.at(i).data());
            QVERIFY(file && file->isOpen());
        }
        QCOMPARE(app()->saveBatchObjModel()->count(), 2);
        QVERIFY(find<QQuickWindow>("batchSaveDialog"));

        // The last save closes them.
        VIEW_STEP(pick("format", "VORN"));
        VIEW_STEP(click(item("saveButton")));
        QTRY_VERIFY(!find<QQuickWindow>("batchSaveDialog"));
        QTRY_COMPARE(jobs().size(), before + 6);
        QTRY_VERIFY_WITH_TIMEOUT(allComplete(jobs().mid(before)), 30000);
        QTRY_VERIFY(!sources.at(0) && !sources.at(1));
        QCOMPARE(app()->saveBatchObjModel()->count(), 0);
        // Two VORN saves of each file, numbered in turn, and a TIFF sequence.
        const QStringList vornFiles = QDir(path("out")).entryList({"*.vorn"}, QDir::Files, QDir::Name);
        QCOMPARE(vornFiles.size(), 4);
        QVERIFY(vornFiles.at(0).startsWith("batch1_"));
        QVERIFY(!QDir(path("out")).entryList({"*.tiff"}, QDir::Files).isEmpty());
        QCOMPARE(app()->setting("save_batch/format").toInt(), int(Util::FormatVorn));
        QCOMPARE(app()->setting("save_batch/folder").toString(), path("out"));

        // A batch given up closes the files opened for it, and saves nothing.
        const int saved = jobs().size();
        QMetaObject::invokeMethod(fileDialog, "filesChosen", Q_ARG(QVariant, QVariant(urls.mid(0, 1))));
        QVERIFY(shownDialog("batchSaveDialog"));
        QCOMPARE(app()->saveBatchObjModel()->count(), 1);
        QPointer<PlaybackVornObject> dropped = app()->saveBatchObjModel()->first()->source();
        VIEW_STEP(closeDialog("batchSaveDialog"));
        QCOMPARE(app()->saveBatchObjModel()->count(), 0);
        QTRY_VERIFY(!dropped);
        QCOMPARE(jobs().size(), saved);
    }

    // "Show Folder" hands the folder to the desktop; ▶ on images that no
    // program here opens says so and names their folder.
    void outputsOpenOrSayWhyNot()
    {
        app()->setNullVornObject(VornApp::SaveProgress);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        SaveJob* tiff = nullptr;
        for (SaveJob* job : jobs())
            tiff = job->format() == Util::FormatTiff && job->state() == SaveJob::Done ? job : tiff;
        QVERIFY(tiff);
        QTRY_VERIFY(inRow(tiff, "jobOpenButton") && inRow(tiff, "jobOpenButton")->isVisible());
        QDesktopServices::setUrlHandler("file", this, "desktopOpens");
        click(inRow(tiff, "jobFolderButton"));
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(m_desktopOpened, QList<QUrl>{QUrl::fromLocalFile(path("out"))});
        if (!QStandardPaths::findExecutable("xdg-open").isEmpty())
            QSKIP("this desktop has a program for folders");
        QSignalSpy messages(app(), &VornApp::showMessage);
        click(inRow(tiff, "jobOpenButton"));
        QTRY_COMPARE(messages.count(), 1);
        const QString message = messages.at(0).at(0).toString();
        QVERIFY2(message.contains("could not be opened") && message.contains(path("out")),
                 qPrintable(message));
        // (the platform's own note that it has no program for the folder)
        QMutexLocker lock(&ShellTestSupport::warningsMutex);
        ShellTestSupport::recordedWarnings.removeIf(
            [this](const QString& w) { return w.contains(path("out")); });
    }
};

VORN_TEST_MAIN(TestSaveDialogs)
#include "tst_savedialogs.moc"
