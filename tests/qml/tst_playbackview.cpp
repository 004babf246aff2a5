// The take, SSD take and file views against a simulated monochrome camera
// with an SSD and a VORN file made byte by byte: the main panes' rows, the
// playback strip's buttons, keys, brackets and fields reaching the playback
// engine, image search from the strip, re-rendering after an adjustment, the
// picture's pixel probe and zoom menu, and deleting a take that the camera
// holds locked.

#include "../save/VornFileBytes.h"
#include "CameraViewHarness.h"
#include "ImgAdjUtil.h"
#include "ImgFrameControl.h"
#include "ImgSearch.h"
#include "PlaybackScrubberTemplate.h"
#include "ReviewGroup.h"
#include "SaveBatchObject.h"
#include "SsdTake.h"
#include "Take.h"
#include "VornFile.h"
#include "VornTestMain.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QUrl>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestPlaybackView : public CameraViewHarness
{
    Q_OBJECT

    Take* m_take = nullptr;
    int m_takeId = 0;
    QTemporaryDir m_dir;

    QObject* view() const { return viewLoader()->property("item").value<QObject*>(); }

    static qint64 markerFr(const QObject* scrubber, const char* marker)
    {
        return scrubber->property(marker).value<QObject*>()->property("fr").toLongLong();
    }

    // The newly loaded view has laid out its strip at the window's bottom.
    bool stripShown() const
    {
        // Rows and columns place their items when the window renders.
        if (!window() || window()->grabWindow().isNull())
            return false;
        return QTest::qWaitFor([this] {
            QQuickItem* strip = item("playbackStrip");
            QQuickItem* play = item("playButton");
            if (!strip || !play || !window())
                return false;
            const QRectF r = play->mapRectToScene(QRectF(0, 0, play->width(), play->height()));
            return strip->height() > 0 && r.bottom() <= window()->height() &&
                   r.top() > window()->height() / 2;
        });
    }

    int xferCount() const { return SimCameras::requests(m_sim, QStringLiteral("POST"), "/xfer").size(); }

    // Waits until the paused take shows its frame and fetches nothing more.
    bool settled(PlaybackVornObject* o) const
    {
        return QTest::qWaitFor([o] { return o->lastRequestedFr() == o->fr() && !o->requestInFlight(); },
                               5000);
    }

    // Opens a strip menu from its button and chooses an entry.
    void chooseFromMenu(const QString& buttonName, const QString& menuName, const QString& entry)
    {
        QObject* menu = find(menuName);
        QVERIFY(menu);
        VIEW_STEP(click(item(buttonName)));
        QTRY_VERIFY(menu->property("opened").toBool());
        QTRY_VERIFY(menuLaidOut(menu));
        VIEW_STEP(triggerMenuItem(menu, entry));
    }

    // Holds a bracket down until its menu opens, and resets the point.
    void resetBracket(const QString& name)
    {
        QQuickItem* bracket = item(name);
        QVERIFY(bracket);
        QObject* menu = find(name + "Menu");
        QVERIFY(menu);
        const QPoint at = bracket->mapToScene(QPointF(bracket->width() / 2, bracket->height() / 2)).toPoint();
        QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, at);
        QTRY_VERIFY_WITH_TIMEOUT(menu->property("opened").toBool(), 5000);
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, at);
        QTRY_VERIFY(menuLaidOut(menu));
        VIEW_STEP(triggerMenuItem(menu, QStringLiteral("Reset")));
    }

    QColor labelColor(const QString& name) const { return find(name)->property("color").value<QColor>(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        q7sim::CameraConfig config;
        config.cfa = q7sim::Cfa::Mono;
        config.name = QStringLiteral("Q7 Mono");
        config.res = QStringLiteral("320x240");
        config.ssdBytes = 64ULL << 30;
        QVERIFY(startWith(config));
        m_takeId = SimCameras::recordTake(m_sim, 80, 60);
        QVERIFY(m_takeId > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->savedTakes()->count() > 0, 5000);
        m_take = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
        QVERIFY(m_take);
        QTRY_VERIFY_WITH_TIMEOUT(m_take->valuesInit(), 5000);
        // Frames before and after the trigger frame 0.
        QVERIFY2(m_take->firstFrame() < -20 && m_take->lastFrame() > 20,
                 qPrintable(QStringLiteral("%1..%2").arg(m_take->firstFrame()).arg(m_take->lastFrame())));
        app()->setSelectedVornObject(m_take);
        QTRY_COMPARE(loadedView(), QStringLiteral("takeView"));
        QTRY_VERIFY(find("takeMainPane"));
        QVERIFY(stripShown());
        m_take->pause();
    }

    void cleanupTestCase() { finish(); }

    void takeViewShowsTheRecording()
    {
        QTRY_COMPARE(text("takeIdRowText"), QString::number(m_takeId));
        QCOMPARE(text("resolutionRowText"), QStringLiteral("320x240"));
        QCOMPARE(text("frameRateRowText"),
                 QString::number(valueOf(m_take, "frRate").toDouble(), 'f', 0) + " fps");
        QCOMPARE(text("exposureTimeRowText"),
                 QString::number(valueOf(m_take, "expTime").toDouble(), 'f', 2) + QStringLiteral(" \u00B5s"));
        QCOMPARE(text("frameSyncModeRowText"), QStringLiteral("Internal"));
        // The trigger's time stamp, date over time.
        const quint64 s = valueOf(m_take, "trigTsS").toULongLong();
        const uint ns = valueOf(m_take, "trigTsNs").toUInt();
        QVERIFY(s > 0);
        QVERIFY(item("triggerTimestampRow")->isVisible());
        QCOMPARE(text("triggerTimestampRowText"),
                 app()->timestampDateString(s, ns) + '\n' + app()->timestampTimeUsString(s, ns));
        // A memory take's black reference mode is chosen, not shown as text.
        QVERIFY(!item("blackRefModeRow")->isVisible());
        const bool advancedBref =
            (valueOf(m_camera, "featureCorrMode").toInt() & Camera::CorrModeBrefAdv) != 0;
        QCOMPARE(item("takeBlackRefModeRow")->isVisible(), advancedBref);
        if (advancedBref) {
            // Chosen for the take on the camera, in the take's document.
            const QString path = QStringLiteral("/takes/take%1/acq/corr_mode").arg(m_takeId);
            QVERIFY(item("takeBlackRefModeComboBox")->isEnabled());
            VIEW_STEP(choose("takeBlackRefModeCombo", QStringLiteral("Advanced")));
            QTRY_COMPARE(lastPut(path), QByteArray("1"));
            QTRY_COMPARE(valueOf(m_take, "corrMode").toInt() & Camera::CorrModeBrefAdv, 1);
            VIEW_STEP(choose("takeBlackRefModeCombo", QStringLiteral("Normal")));
            QTRY_COMPARE(lastPut(path), QByteArray("0"));
        }
        QCOMPARE(text("deleteTakeButton"), QStringLiteral("Delete..."));

        QCOMPARE(text("cameraNameRowText"), QStringLiteral("Q7 Mono"));
        QCOMPARE(text("cameraSerialRowText"), valueOf(m_take, "cameraSerial").toString());
        QCOMPARE(text("cameraFwVerRowText"), valueOf(m_take, "fwVer").toString());
        QCOMPARE(text("lensMountRowText"), valueOf(m_take, "lensMount").toString());
        // One channel: no colour adjustments.
        QVERIFY(!item("colorAdjustmentsPane")->isVisible());
        QVERIFY(item("imageSearchPane")->isVisible());

        // The scrubber spans the take and its markers stand on the range.
        auto* scrubber = find<PlaybackScrubberTemplate>("scrubber");
        QVERIFY(scrubber);
        QTRY_COMPARE(scrubber->firstFr(), m_take->firstFrame());
        QCOMPARE(scrubber->lastFr(), m_take->lastFrame());
        QCOMPARE(markerFr(scrubber, "aMarker"), m_take->aFr());
        QCOMPARE(markerFr(scrubber, "bMarker"), m_take->bFr());
        QTRY_VERIFY_WITH_TIMEOUT(!m_take->imgFrame()->image().isNull(), 5000);
    }

    void transportButtonsAndKeys()
    {
        m_take->pause();
        const QString pauseGlyph = QStringLiteral("\uEFD7");
        const struct
        {
            const char* button;
            PlaybackVornObject::State state;
        } buttons[] = {{"playButton", PlaybackVornObject::Play},
                       {"playRevButton", PlaybackVornObject::PlayRev},
                       {"playFastFwdButton", PlaybackVornObject::PlayFastFwd},
                       {"playFastRevButton", PlaybackVornObject::PlayFastRev}};
        for (const auto& b : buttons) {
            const QString name = QLatin1String(b.button);
            const QString glyph = text(name);
            QVERIFY(glyph != pauseGlyph);
            VIEW_STEP(click(item(name)));
            QCOMPARE(m_take->state(), b.state);
            // The running playback's button pauses it.
            QTRY_COMPARE(text(name), pauseGlyph);
            QVERIFY(item(name)->property("highlighted").toBool());
            VIEW_STEP(click(item(name)));
            QCOMPARE(m_take->state(), PlaybackVornObject::Paused);
            QTRY_COMPARE(text(name), glyph);
        }
        // Another playback's button switches to its own playback.
        VIEW_STEP(click(item("playButton")));
        VIEW_STEP(click(item("playRevButton")));
        QCOMPARE(m_take->state(), PlaybackVornObject::PlayRev);
        QTRY_VERIFY(text("playButton") != pauseGlyph);
        m_take->pause();

        QCOMPARE(m_take->repeatMode(), PlaybackVornObject::RepeatLoop);
        VIEW_STEP(click(item("repeatButton")));
        QCOMPARE(m_take->repeatMode(), PlaybackVornObject::RepeatPingPong);
        VIEW_STEP(click(item("repeatButton")));
        QCOMPARE(m_take->repeatMode(), PlaybackVornObject::RepeatLoop);

        // Steps and jumps.
        m_take->setFr(3, false);
        VIEW_STEP(click(item("stepFwdButton")));
        QCOMPARE(m_take->fr(), qint64(4));
        VIEW_STEP(click(item("stepBackButton")));
        VIEW_STEP(click(item("stepBackButton")));
        QCOMPARE(m_take->fr(), qint64(2));
        VIEW_STEP(chooseFromMenu("skipBackButton", "skipBackMenu", "Start Frame"));
        QCOMPARE(m_take->fr(), m_take->aFr());
        VIEW_STEP(chooseFromMenu("skipFwdButton", "skipFwdMenu", "End Frame"));
        QCOMPARE(m_take->fr(), m_take->bFr());
        VIEW_STEP(click(item("triggerButton")));
        QCOMPARE(m_take->fr(), qint64(0));
        QTRY_COMPARE(text("frameField"), QStringLiteral("0"));

        // Keys reach the strip through the frame view.
        qobject_cast<QQuickItem*>(view())->forceActiveFocus();
        QTRY_VERIFY(qobject_cast<QQuickItem*>(view())->hasActiveFocus());
        // The frame view has the first go (zoom) ...
        QVERIFY(m_take->imgFrame()->property("zoomFit").toBool());
        QTest::keyClick(window(), Qt::Key_Plus, Qt::ControlModifier);
        QTRY_VERIFY(!m_take->imgFrame()->property("zoomFit").toBool());
        m_take->imgFrame()->setProperty("zoomFit", true);
        // ... and the strip the rest.
        QTest::keyClick(window(), Qt::Key_Right);
        QCOMPARE(m_take->fr(), qint64(1));
        QTest::keyClick(window(), Qt::Key_Left);
        QTest::keyClick(window(), Qt::Key_Left);
        QCOMPARE(m_take->fr(), qint64(-1));
        QTest::keyClick(window(), Qt::Key_Space);
        QCOMPARE(m_take->state(), PlaybackVornObject::Play);
        QTest::keyClick(window(), Qt::Key_Space);
        QCOMPARE(m_take->state(), PlaybackVornObject::Paused);
        // A fast playback pauses too.
        VIEW_STEP(click(item("playFastFwdButton")));
        QTest::keyClick(window(), Qt::Key_Space);
        QCOMPARE(m_take->state(), PlaybackVornObject::Paused);

        // Play step and play rate.
        VIEW_STEP(type(item("playStepField"), QStringLiteral("5")));
        QTRY_COMPARE(m_take->playStep(), 5);
        QCOMPARE(text("playStepUnitsLabel"), QStringLiteral("frames"));
        VIEW_STEP(type(item("playStepField"), QStringLiteral("1")));
        QTRY_COMPARE(text("playStepUnitsLabel"), QStringLiteral("frame"));
        VIEW_STEP(type(item("playRateField"), QStringLiteral("59.94")));
        QTRY_COMPARE(m_take->framePeriodNs(), qint64(16683333));
        QCOMPARE(text("playRateField"), QStringLiteral("59.94"));
        // The slider follows the rate.
        QTRY_VERIFY(qAbs(item("playRateSlider")->property("value").toReal() - 59.94) < 0.01);
        m_take->setPlayFrRate(30);
    }

    void bracketsAndFieldsWriteTheRange()
    {
        m_take->pause();
        const QColor highlight("#D25F15");
        const qint64 first = m_take->firstFrame();
        const qint64 last = m_take->lastFrame();
        QCOMPARE(labelColor("inBracketButtonLabel"), QColor("#ffffff"));
        QCOMPARE(labelColor("outBracketButtonLabel"), QColor("#ffffff"));
        QVERIFY(item("triggerButton")->isEnabled());

        // "[" at frame 5: frame 0 is out of range, the trigger button is off.
        VIEW_STEP(type(item("frameField"), QStringLiteral("5")));
        QTRY_COMPARE(m_take->fr(), qint64(5));
        // Typing done, the keys go back to playback.
        QTRY_VERIFY(qobject_cast<QQuickItem*>(view())->hasActiveFocus());
        QVERIFY(!item("frameField")->hasActiveFocus());
        // A field left for another control does not take the keys back.
        item("frameField")->forceActiveFocus();
        item("searchStepField")->forceActiveFocus();
        QTest::qWait(50);
        QVERIFY(item("searchStepField")->hasActiveFocus());
        VIEW_STEP(click(item("inBracketButton")));
        QCOMPARE(m_take->aFr(), qint64(5));
        QTRY_COMPARE(text("inFrameField"), QStringLiteral("5"));
        QCOMPARE(labelColor("inBracketButtonLabel"), highlight);
        QVERIFY(!item("triggerButton")->isEnabled());
        auto* scrubber = find<PlaybackScrubberTemplate>("scrubber");
        QCOMPARE(markerFr(scrubber, "aMarker"), qint64(5));
        // A frame typed before the in point lands on it.
        VIEW_STEP(type(item("frameField"), QStringLiteral("-7")));
        QTRY_COMPARE(m_take->fr(), qint64(5));
        QTRY_COMPARE(text("frameField"), QStringLiteral("5"));
        VIEW_STEP(resetBracket("inBracketButton"));
        QCOMPARE(m_take->aFr(), first);
        QTRY_COMPARE(labelColor("inBracketButtonLabel"), QColor("#ffffff"));
        QVERIFY(item("triggerButton")->isEnabled());

        // "]" before frame 0 does the same from the other side.
        VIEW_STEP(type(item("frameField"), QStringLiteral("-3")));
        QTRY_COMPARE(m_take->fr(), qint64(-3));
        VIEW_STEP(click(item("outBracketButton")));
        QCOMPARE(m_take->bFr(), qint64(-3));
        QTRY_COMPARE(labelColor("outBracketButtonLabel"), highlight);
        QVERIFY(!item("triggerButton")->isEnabled());
        VIEW_STEP(resetBracket("outBracketButton"));
        QCOMPARE(m_take->bFr(), last);
        QTRY_VERIFY(item("triggerButton")->isEnabled());

        // The fields write the points; a number beyond the take stops at its end.
        VIEW_STEP(type(item("inFrameField"), QStringLiteral("-10")));
        QTRY_COMPARE(m_take->aFr(), qint64(-10));
        VIEW_STEP(type(item("outFrameField"), QStringLiteral("12")));
        QTRY_COMPARE(m_take->bFr(), qint64(12));
        QCOMPARE(markerFr(scrubber, "bMarker"), qint64(12));
        VIEW_STEP(type(item("outFrameField"), QString::number(last + 1000)));
        QTRY_COMPARE(m_take->bFr(), last);
        QTRY_COMPARE(text("outFrameField"), QString::number(last));
        VIEW_STEP(chooseFromMenu("skipBackButton", "skipBackMenu", "Start Frame"));
        QCOMPARE(m_take->fr(), qint64(-10));
        VIEW_STEP(resetBracket("inBracketButton"));
        QCOMPARE(m_take->aFr(), first);
    }

    void imageSearchFromTheStrip()
    {
        m_take->pause();
        // Where the search stops in the footage is the search's own test;
        // here the strip's settings and direction reach it. At the highest
        // threshold it passes several steps (the take spans well over 40
        // frames) and stops on a step or at the end of the range.
        const qint64 step = 10;
        const qint64 searchFrom = m_take->firstFrame();
        const double threshold = 0.99;
        VIEW_STEP(expand("imageSearchPane"));
        VIEW_STEP(choose("searchRefFrameCombo", QStringLiteral("Previous Frame")));
        VIEW_STEP(type(item("searchStepField"), QString::number(step)));
        QTRY_COMPARE(m_take->imgSearch()->step(), step);
        VIEW_STEP(type(item("searchThresholdSliderField"), QString::number(threshold, 'f', 2)));
        QTRY_COMPARE(m_take->imgSearch()->threshold(), threshold);
        m_take->setFr(searchFrom, false);
        QVERIFY(settled(m_take));

        // Slow transfers keep the search on screen long enough to watch.
        m_sim->addFault(q7sim::Fault::delay(250, QStringLiteral("/xfer")));
        VIEW_STEP(chooseFromMenu("skipFwdButton", "skipFwdMenu", "Next Image Diff"));
        QTRY_VERIFY(item("searchProgressRow")->isVisible());
        QVERIFY(text("searchProgressLabel").startsWith(QStringLiteral("Searching frame: ")));
        QVERIFY(!item("inFrameField")->isVisible());
        // Its settings hold still meanwhile.
        QVERIFY(!item("searchStepField")->isEnabled());
        QVERIFY(!item("searchThresholdSliderField")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(m_take->imgSearch()->state() == ImgSearch::Idle, 30000);
        const qint64 expected = m_take->fr();
        QVERIFY2(expected > searchFrom && ((expected - searchFrom) % step == 0 || expected == m_take->bFr()),
                 qPrintable(QString::number(expected)));
        QTRY_VERIFY(!item("searchProgressRow")->isVisible());
        QVERIFY(item("inFrameField")->isVisible());
        QVERIFY(item("searchStepField")->isEnabled());

        // Backward from there, cancelled while it waits for a frame.
        m_sim->clearFaults();
        m_sim->addFault(q7sim::Fault::delay(3000, QStringLiteral("/xfer")));
        VIEW_STEP(chooseFromMenu("skipBackButton", "skipBackMenu", "Prev Image Diff"));
        QTRY_VERIFY(item("searchProgressRow")->isVisible());
        VIEW_STEP(click(item("cancelSearchButton")));
        QTRY_COMPARE(m_take->imgSearch()->state(), ImgSearch::Idle);
        QTRY_VERIFY(!item("searchProgressRow")->isVisible());
        QCOMPARE(m_take->fr(), expected);
        m_sim->clearFaults();
        QVERIFY(settled(m_take));
    }

    void adjustingAPausedTakeRendersItAgain()
    {
        m_take->pause();
        QVERIFY(settled(m_take));
        const QImage before = m_take->imgFrame()->image();
        QVERIFY(!before.isNull());
        const int fetches = xferCount();
        VIEW_STEP(expand("imageAdjustmentsPane"));
        VIEW_STEP(type(item("gainSliderField"), QStringLiteral("2.5")));
        QTRY_COMPARE(valueOf(m_take->imgAdjModel(), "gain").toDouble(), 2.5);
        // The shown frame is fetched and processed again, brighter.
        QTRY_VERIFY_WITH_TIMEOUT(xferCount() > fetches, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_take->imgFrame()->image() != before, 5000);
        QCOMPARE(m_take->state(), PlaybackVornObject::Paused);
        VIEW_STEP(click("resetAdjustmentsButton"));
        QTRY_COMPARE(valueOf(m_take->imgAdjModel(), "gain").toDouble(), 1.0);
    }

    // The pointer over the picture probes the pixel it shows; the right
    // button opens the zoom menu.
    void frameViewProbeAndMenu()
    {
        m_take->pause();
        QVERIFY(settled(m_take));
        auto* frameView = qobject_cast<ImgFrameControl*>(item("frameView"));
        QVERIFY(frameView);
        QTest::mouseMove(window(), QPoint(1, 1));
        QTest::mouseMove(window(), frameView->mapToScene(frameView->paintedRect().center()).toPoint());
        QTRY_VERIFY(frameView->containsMouse());
        const QPoint pixel(frameView->mouseX(), frameView->mouseY());
        QTRY_COMPARE(m_take->vornFrame()->rgbPoint(), pixel);
        const int level = ImgAdjUtil().pix16bTo9b(m_take->vornFrame()->g()); // one channel: R = G = B
        QTRY_COMPARE(
            text("probe"),
            QStringLiteral("x %1  y %2   R %3  G %3  B %3").arg(pixel.x()).arg(pixel.y()).arg(level));

        clickItem(frameView, Qt::RightButton);
        QObject* menu = find("frameMenu");
        QTRY_VERIFY(menu->property("opened").toBool() && menuLaidOut(menu));
        VIEW_STEP(triggerMenuItem(menu, QStringLiteral("Actual Size")));
        QCOMPARE(m_take->imgFrame()->zoomScale(), 1.0);
        QVERIFY(!m_take->imgFrame()->zoomFit());
        m_take->imgFrame()->setZoomFit(true);
    }

    void ssdTakeView()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->stateDocument().value("ssd").toObject().value("state").toInt(), 3,
                                  5000);
        QNetworkAccessManager nam;
        QNetworkRequest request(QUrl("http://" + m_sim->config().address + "/ssd-save"));
        request.setRawHeader("Content-Type", "application/json");
        std::unique_ptr<QNetworkReply> reply(nam.post(
            request, QStringLiteral("{\"take\":%1,\"cnt\":8,\"name\":\"stage.b\"}").arg(m_takeId).toUtf8()));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->stateDocument().value("ssd").toObject().value("wr_seq").toInt() >= 1,
                                 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->stateDocument().value("ssd").toObject().value("wr_state").toInt(), 0,
                                  10000);

        m_camera->ssdFOpen(QStringLiteral("stage.b.vorn"));
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->ssdTakes()->count(), 1, 5000);
        auto* ssdTake = qobject_cast<SsdTake*>(m_camera->ssdTakes()->get(0));
        QVERIFY(ssdTake);
        QTRY_VERIFY_WITH_TIMEOUT(ssdTake->valuesInit(), 5000);
        app()->setSelectedVornObject(ssdTake);
        QTRY_COMPARE(loadedView(), QStringLiteral("ssdTakeView"));
        QTRY_VERIFY(find("ssdTakeMainPane"));
        QVERIFY(stripShown());
        QCOMPARE(find("ssdTakeMainPane")->property("title").toString(), QStringLiteral("SSD Take"));
        // The base name of the file.
        QCOMPARE(text("ssdTakeNameRowText"), QStringLiteral("stage.b"));
        QCOMPARE(text("resolutionRowText"), QStringLiteral("320x240"));
        QVERIFY(item("blackRefModeRow")->isVisible());
        QCOMPARE(text("blackRefModeRowText"), QStringLiteral("Normal"));
        QVERIFY(!find("deleteTakeButton"));
        QCOMPARE(text("cameraNameRowText"), QStringLiteral("Q7 Mono"));
    }

    void fileView()
    {
        VornFileBytes::FileLayout layout;
        layout.width = 64;
        layout.height = 48;
        layout.firstFr = -10;
        layout.frames = 30;
        layout.extra = QJsonObject{
            {"acq",
             QJsonObject{
                 {"res", "64x48"}, {"fr_rate", 2000.0}, {"bpp", 8}, {"exp_time", 250.5}, {"fsync_mode", 1}}},
            {"lens", QJsonObject{{"mount", "EF"}, {"name", "Bench 50"}, {"focal_len", 50}, {"fstop", 2.8}}},
            {"adjust", QJsonObject{{"gain", 2.0}, {"cfa", 1}}}};
        const QString path = m_dir.filePath("bench-run.vorn");
        QVERIFY(VornFileBytes::write(path, VornFileBytes::build(layout)));
        app()->openVornFile(QUrl::fromLocalFile(path).toString());
        auto* file = qobject_cast<VornFile*>(app()->selectedVornObject());
        QVERIFY(file);
        QTRY_COMPARE(loadedView(), QStringLiteral("fileView"));
        QTRY_VERIFY(find("fileMainPane"));
        QVERIFY(stripShown());
        QTRY_VERIFY(file->valuesInit());
        QCOMPARE(find("fileMainPane")->property("title").toString(), QStringLiteral("VORN File"));
        QCOMPARE(text("fileNameRowText"), QStringLiteral("bench-run"));
        QCOMPARE(text("resolutionRowText"), QStringLiteral("64x48"));
        QCOMPARE(text("frameRateRowText"), QStringLiteral("2000 fps"));
        QCOMPARE(text("exposureTimeRowText"), QStringLiteral("250.50 \u00B5s"));
        QCOMPARE(text("frameSyncModeRowText"), QStringLiteral("External"));
        // No trigger time stamp in the file: no row.
        QVERIFY(!item("triggerTimestampRow")->isVisible());
        QCOMPARE(text("cameraNameRowText"), QStringLiteral("Bench Q7"));
        QCOMPARE(text("lensMountRowText"), QStringLiteral("EF"));
        QCOMPARE(text("lensNameRowText"), QStringLiteral("Bench 50"));
        QCOMPARE(text("lensFocalLengthRowText"), QStringLiteral("50 mm"));
        QCOMPARE(text("lensFstopRowText"), QStringLiteral("f/2.8"));
        QCOMPARE(text("lensFocalRangeRowText"), QStringLiteral("\u2014")); // not recorded
        // A colour recording: channels and white balance.
        QVERIFY(item("colorAdjustmentsPane")->isVisible());
        QCOMPARE(item("channelComboBox")->property("count").toInt(), 4);

        // The panes' open states are the application's, shared by the views.
        QVERIFY(item("imageSearchPane")->property("expanded").toBool());
        VIEW_STEP(click("imageSearchPaneHeader"));
        QTRY_VERIFY(!item("imageSearchPane")->property("expanded").toBool());
        QCOMPARE(app()->setting("playback/img_search_pane_expanded", true).toBool(), false);
        VIEW_STEP(click("imageSearchPaneHeader"));
        QTRY_COMPARE(app()->setting("playback/img_search_pane_expanded", false).toBool(), true);
    }

    void reviewSideBySide()
    {
        // A file at half the take's rate, triggered 1 ms after it: its frame f
        // happens at the take's frame 1 + 2f.
        VornFileBytes::FileLayout layout;
        layout.firstFr = -5;
        layout.frames = 20;
        const qint64 trigNs = valueOf(m_take, "trigTsNs").toLongLong() + 1000000;
        layout.extra =
            QJsonObject{{"acq", QJsonObject{{"res", "32x16"}, {"fr_rate", 500.0}}},
                        {"trig_ts_s", valueOf(m_take, "trigTsS").toLongLong() + trigNs / 1000000000},
                        {"trig_ts_ns", trigNs % 1000000000}};
        const QString path = m_dir.filePath("beside.vorn");
        QVERIFY(VornFileBytes::write(path, VornFileBytes::build(layout)));
        app()->openVornFile(QUrl::fromLocalFile(path).toString());
        auto* file = qobject_cast<VornFile*>(app()->selectedVornObject());
        QVERIFY(file);

        // "Review Side by Side..." lists both; the checked ones open together.
        QVERIFY(menuTexts(find("fileMenu")).contains(QStringLiteral("Review Side by Side...")));
        QMetaObject::invokeMethod(shellAction("reviewSideBySide"), "trigger");
        QQuickWindow* dialog = nullptr;
        QTRY_VERIFY((dialog = find<QQuickWindow>("reviewDialog")) && dialog->isVisible());
        QTRY_VERIFY(itemsNamed(dialog->contentItem(), "reviewCandidate").size() >= 2);
        for (QQuickItem* box : itemsNamed(dialog->contentItem(), "reviewCandidate")) {
            const QString label = box->property("text").toString();
            if (label == QStringLiteral("Q7 Mono: Take %1").arg(m_takeId) || label.endsWith("beside.vorn"))
                VIEW_STEP(click(box));
        }
        VIEW_STEP(click(childOf<QQuickItem>(dialog, "reviewButton")));
        QTRY_COMPARE(loadedView(), QStringLiteral("reviewView"));
        auto* group = qobject_cast<ReviewGroup*>(app()->selectedVornObject());
        QVERIFY(group);
        QCOMPARE(loadedMenuBar(), QStringLiteral("ReviewMenuBar.qml"));
        QVERIFY(find("reviewTab"));
        QVERIFY(stripShown());

        // One frame view per member, each with its camera's name and frames.
        QTRY_COMPARE(items("reviewFrameCell").size(), 2);
        QStringList names;
        for (QQuickItem* cell : items("reviewFrameCell"))
            names << inItemTree<QQuickItem>(cell, "cameraNameLabel")->property("text").toString();
        QCOMPARE(names, (QStringList{"Q7 Mono", "Bench Q7"}));
        QTRY_VERIFY(!file->timestamp().isEmpty() && !m_take->timestamp().isEmpty());

        // The strip's step moves both: one frame of the take, the file to its
        // nearest frame (the later of two equally near).
        group->pause();
        group->setFr(0, false);
        for (qint64 g = 1; g <= 3; ++g) {
            VIEW_STEP(click(item("stepFwdButton")));
            QTRY_COMPARE(group->fr(), g);
            QCOMPARE(m_take->fr(), g);
            QCOMPARE(file->fr(), g / 2);
        }
        saveScreenshot("review-side-by-side.png");

        // "Save Review..." fills the batch save with the frames of each inside
        // the window (the file's frame f lies at the take's 1 + 2f); closing
        // the dialog leaves both open.
        group->setAFr(-2, false);
        group->setBFr(6, false);
        auto* menuBar = find("menuBarLoader")->property("item").value<QObject*>();
        auto* actions = menuBar->property("actions").value<QObject*>();
        QMetaObject::invokeMethod(actions->property("save").value<QObject*>(), "trigger");
        QQuickWindow* batch = nullptr;
        QTRY_VERIFY((batch = find<QQuickWindow>("batchSaveDialog")) && batch->isVisible());
        QCOMPARE(app()->saveBatchObjModel()->count(), 2);
        const QList<QPair<qint64, qint64>> ranges = {{-2, 6}, {-1, 2}};
        for (int i = 0; i < 2; ++i) {
            const SaveBatchObject* row = app()->saveBatchObjModel()->at(i);
            QCOMPARE(qMakePair(row->aFr(), row->bFr()), ranges[i]);
        }
        const QPointer<VornFile> kept(file);
        batch->close();
        QTRY_COMPARE(app()->saveBatchObjModel()->count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept && app()->vornObjModel()->contains(file));
        group->close();
        QTRY_VERIFY(loadedView() != QLatin1String("reviewView"));
        QVERIFY(!m_take->selected() && !file->selected());
        file->close();
    }

    void deletingALockedTake()
    {
        app()->setSelectedVornObject(m_take);
        QTRY_COMPARE(loadedView(), QStringLiteral("takeView"));
        QTRY_VERIFY(find("deleteTakeButton"));
        QVERIFY(stripShown());
        m_sim->setTakeLocked(m_takeId, true);
        QTRY_VERIFY_WITH_TIMEOUT(m_take->locked(), 5000);
        VIEW_STEP(click("deleteTakeButton"));
        QTRY_COMPARE(messages(), QStringList{QStringLiteral("<b>Take %1 can't be deleted while save<br>is in "
                                                            "progress!</b>")
                                                 .arg(m_takeId)});
        QVERIFY(!confirmDialog());
        VIEW_STEP(closeMessages());

        // Unlocked, it is deleted once the user confirms (what "Cancel" does
        // there is the shell test's).
        m_sim->setTakeLocked(m_takeId, false);
        QTRY_VERIFY_WITH_TIMEOUT(!m_take->locked(), 5000);
        QCOMPARE(posts("/del"), 0);
        VIEW_STEP(click("deleteTakeButton"));
        QTRY_VERIFY(confirmDialog() && confirmDialog()->isVisible());
        clickItem(childOf<QQuickItem>(confirmDialog(), "acceptButton"));
        QTRY_COMPARE(posts("/del"), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 0, 5000);
        QTRY_VERIFY(loadedView() != QLatin1String("takeView"));
    }
};

VORN_TEST_MAIN(TestPlaybackView)
#include "tst_playbackview.moc"
