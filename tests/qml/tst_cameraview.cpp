// The camera view against a simulated colour camera: every pane is shown,
// and its controls, driven like a user drives them, send the camera what
// the arithmetic of each setting gives.

#include "CameraViewHarness.h"
#include "HistogramControl.h"
#include "ImgAdjModel.h"
#include "ImgFrame.h"
#include "ManifestServer.h"
#include "SaveManager.h"
#include "Take.h"
#include "UpdateManifest.h"

#include "VornTestMain.h"
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestCameraView : public CameraViewHarness
{
    Q_OBJECT

    q7sim::ManifestServer m_server;

    // A command to the camera behind the program's back; true when it was accepted.
    bool postToCamera(const QString& path, const QByteArray& body)
    {
        QNetworkAccessManager nam;
        QNetworkRequest request(QUrl("http://" + m_sim->config().address + path));
        request.setRawHeader("Content-Type", "application/json");
        std::unique_ptr<QNetworkReply> reply(nam.post(request, body));
        return QTest::qWaitFor([&] { return reply->isFinished(); }, 5000) &&
               reply->error() == QNetworkReply::NoError;
    }

private slots:
    void initTestCase()
    {
        // The maker's update server knows this camera's firmware as current.
        QVERIFY(m_server.start(QStringLiteral("127.0.0.9"), 0));
        qputenv(UpdateManifest::AddressEnvironment, m_server.url().toUtf8());
        m_server.setManifest(QJsonObject{
            {"q7fw", QJsonObject{{"7201", QJsonObject{{"version", "3.4.2"}, {"msg", "Current."}}}}}});
        q7sim::CameraConfig config;
        config.fwInstallMs = 1500;
        config.ssdFormatMs = 600;
        config.name = QStringLiteral("Q7 Colour");
        config.ssdBytes = 64ULL << 30;
        QVERIFY(startWith(config));
    }

    void cleanupTestCase()
    {
        finish();
        m_server.stop();
    }

    void paneStatesAreKeptPerCamera()
    {
        // Defaults: most panes open, colour adjustments, I/O lines and firmware closed.
        QVERIFY(find("acquisitionPane")->property("expanded").toBool());
        QVERIFY(!find("colorAdjustmentsPane")->property("expanded").toBool());
        QVERIFY(!find("ioPane_io2")->property("expanded").toBool());
        QVERIFY(!find("firmwarePane")->property("expanded").toBool());

        VIEW_STEP(click("cameraMainPaneHeader"));
        QTRY_VERIFY(!find("cameraMainPane")->property("expanded").toBool());
        QVERIFY(!item("nameRow")->isVisible());
        VIEW_STEP(expand("ioPane_io2"));
        QCOMPARE(m_camera->setting("main_pane_expanded").toBool(), false);
        QCOMPARE(m_camera->setting("io2_pane_expanded").toBool(), true);

        // A fresh view of the camera opens its panes as they were left.
        app()->setNullVornObject(VornApp::Empty);
        QTRY_COMPARE(loadedView(), QStringLiteral("aboutView"));
        app()->setSelectedVornObject(m_camera);
        QTRY_VERIFY(find("paneColumn"));
        QVERIFY(!find("cameraMainPane")->property("expanded").toBool());
        QVERIFY(find("ioPane_io2")->property("expanded").toBool());
        QVERIFY(find("acquisitionPane")->property("expanded").toBool());
        VIEW_STEP(click("cameraMainPaneHeader"));
        QTRY_VERIFY(find("cameraMainPane")->property("expanded").toBool());
        VIEW_STEP(click("ioPane_io2Header"));
    }

    void nameDialogRenamesTheCamera()
    {
        VIEW_STEP(click("cameraNameEdit"));
        QQuickWindow* d = dialog("inputDialog");
        QVERIFY(d);
        QCOMPARE(childOf(d, "inputLabel")->property("text").toString(), QStringLiteral("Camera Name:"));
        QCOMPARE(childOf(d, "inputField")->property("text").toString(), QStringLiteral("Q7 Colour"));
        VIEW_STEP(type(childOf<QQuickItem>(d, "inputField"), QStringLiteral("Bench 2")));
        QTRY_VERIFY(!find<QQuickWindow>("inputDialog"));
        QTRY_COMPARE(puts("/camera/name"), QList<QByteArray>{"\"Bench 2\""});
        QTRY_COMPARE(text("cameraNameText"), QStringLiteral("Bench 2"));
    }

    void resolutionFrameRateAndExposure()
    {
        VIEW_STEP(choose("resolutionCombo", QStringLiteral("320x240")));
        QTRY_COMPARE(puts("/acq/res"), QList<QByteArray>{"\"320x240\""});
        QTRY_COMPARE(item("resolutionComboBox")->property("displayText").toString(),
                     QStringLiteral("320x240"));

        // A listed rate and typed ones become the frame period in clocks
        // (clock 100 MHz); a rate above the clock gives one clock.
        QTRY_VERIFY(item("frameRateComboBox")->property("count").toInt() > 2);
        VIEW_STEP(choose("frameRateCombo", QStringLiteral("2000")));
        QTRY_COMPARE(puts("/acq/fr_clks").value(0), QByteArray("50000"));
        VIEW_STEP(typeInCombo("frameRateCombo", QStringLiteral("3000")));
        QTRY_COMPARE(puts("/acq/fr_clks").value(1), QByteArray("33333"));
        VIEW_STEP(typeInCombo("frameRateCombo", QStringLiteral("250000000")));
        QTRY_COMPARE(puts("/acq/fr_clks").value(2), QByteArray("1"));
        QTest::qWait(300);
        QCOMPARE(puts("/acq/fr_clks").size(), 3);
        QTRY_COMPARE(
            item("frameRateComboBox")->property("editText").toString(),
            QString::number(100000000 / m_camera->property("frClks").value<CameraValue*>()->value().toInt()));

        // Exposure in microseconds: clocks = clock × t / 1000000.
        VIEW_STEP(typeInCombo("exposureCombo", QStringLiteral("250")));
        QTRY_COMPARE(puts("/acq/exp_clks"), QList<QByteArray>{"25000"});
        VIEW_STEP(typeInCombo("exposureCombo", QStringLiteral("12.345")));
        QTRY_COMPARE(puts("/acq/exp_clks").value(1), QByteArray("1235"));
        // The camera's report of it resets the box; typing goes after it.
        QTRY_VERIFY(qAbs(m_camera->property("expClks").value<CameraValue*>()->value().toInt() - 1235) < 10);
        QTRY_COMPARE(item("exposureComboBox")->property("editText").toString(),
                     m_camera->expList()->stringList().value(m_camera->expListIndex()));

        // Low light: the exposure goes to the low-light value; frame rate and
        // frame sync are locked, and the label takes the highlight colour.
        VIEW_STEP(choose("lowLightCombo", QStringLiteral("Enabled")));
        QTRY_COMPARE(puts("/camera/low_light/mode"), QList<QByteArray>{"1"});
        QTRY_VERIFY(!item("frameRateComboBox")->isEnabled());
        QVERIFY(!item("frameSyncComboBox")->isEnabled());
        VIEW_STEP(typeInCombo("exposureCombo", QStringLiteral("100")));
        QTRY_COMPARE(puts("/camera/low_light/exp_clks"), QList<QByteArray>{"10000"});
        QCOMPARE(puts("/acq/exp_clks").size(), 2);
        VIEW_STEP(choose("lowLightCombo", QStringLiteral("Disabled")));
        QTRY_VERIFY(item("frameRateComboBox")->isEnabled());

        // External frame sync locks the frame rate and the advanced black reference.
        VIEW_STEP(choose("blackRefModeCombo", QStringLiteral("Advanced")));
        QTRY_COMPARE(puts("/acq/corr_mode"), QList<QByteArray>{"1"});
        VIEW_STEP(choose("frameSyncCombo", QStringLiteral("External")));
        QTRY_COMPARE(puts("/acq/fsync_mode"), QList<QByteArray>{"1"});
        QTRY_VERIFY(!item("frameRateComboBox")->isEnabled());
        QVERIFY(!item("blackRefModeComboBox")->isEnabled());
        VIEW_STEP(choose("frameSyncCombo", QStringLiteral("Internal")));
        QTRY_VERIFY(item("blackRefModeComboBox")->isEnabled());
        VIEW_STEP(choose("blackRefModeCombo", QStringLiteral("Normal")));
        QTRY_COMPARE(puts("/acq/corr_mode").value(1), QByteArray("0"));
        VIEW_STEP(choose("resolutionCombo", QStringLiteral("640x480")));
        VIEW_STEP(typeInCombo("frameRateCombo", QStringLiteral("1000")));
        QTRY_COMPARE(puts("/acq/fr_clks").value(3), QByteArray("100000"));
        VIEW_STEP(typeInCombo("exposureCombo", QStringLiteral("500")));
        QTRY_COMPARE(puts("/acq/exp_clks").value(2), QByteArray("50000"));
        // A camera report refilling the list while the user types leaves the
        // typed text alone; one between selecting the text and typing over
        // it leaves it selected.
        auto* expField = item("exposureComboBox")->property("contentItem").value<QQuickItem*>();
        const auto refill = [this] {
            m_camera->expList()->setStringList(QStringList{"1"} + m_camera->expList()->stringList());
            QTest::qWait(50);
        };
        expField->forceActiveFocus();
        QTRY_VERIFY(expField->hasActiveFocus());
        QTest::keyClick(window(), Qt::Key_A, Qt::ControlModifier);
        refill();
        QTest::keyClick(window(), '3');
        refill();
        QTest::keyClick(window(), '3');
        QTest::keyClick(window(), '3');
        QCOMPARE(expField->property("text").toString(), QStringLiteral("333"));
        QTest::keyClick(window(), Qt::Key_Return);
        QTRY_COMPARE(puts("/acq/exp_clks").value(3), QByteArray("33300"));
        QTRY_COMPARE(m_camera->property("res").value<CameraValue*>()->value().toString(),
                     QStringLiteral("640x480"));
    }

    void imageToolsDriveTheAdjustmentModel()
    {
        // The pane's histogram shows the camera's, at the size the pane gives it.
        auto* histogram = qobject_cast<HistogramControl*>(item("histogramView"));
        QVERIFY(histogram);
        QCOMPARE(histogram->histogram(), m_camera->histogram());
        QTRY_COMPARE(histogram->picture().size(), QSize(128, 64));

        ImgAdjModel* model = m_camera->imgAdjModel();
        VIEW_STEP(click("rotateCwButton"));
        QCOMPARE(model->rotate().toInt(), 90);
        VIEW_STEP(click("rotateCcwButton"));
        QCOMPARE(model->rotate().toInt(), 270);
        QTRY_VERIFY(!item("rotateCwButton")->property("highlighted").toBool());
        VIEW_STEP(click("rotateCcwButton"));
        QCOMPARE(model->rotate().toInt(), 0);

        VIEW_STEP(choose("focusPeakCombo", QStringLiteral("Medium")));
        QCOMPARE(model->focusPeak(), ImgAdjModel::FocusPeakMed);
        // Exposure assist and focus peaking exclude each other.
        VIEW_STEP(choose("expAssistCombo", QStringLiteral("Enabled")));
        QCOMPARE(model->expAssist(), ImgAdjModel::ExpAssistEnabled);
        QTRY_COMPARE(item("focusPeakComboBox")->property("displayText").toString(),
                     QStringLiteral("Disabled"));
        VIEW_STEP(choose("expAssistCombo", QStringLiteral("Disabled")));
        QCOMPARE(model->expAssist(), ImgAdjModel::ExpAssistDisabled);
    }

    void adjustmentSlidersWriteTheirChannels()
    {
        ImgAdjModel* model = m_camera->imgAdjModel();
        QCOMPARE(item("channelComboBox")->property("count").toInt(), 4);

        // All channels: a typed gain goes to all three.
        VIEW_STEP(type(item("gainSliderField"), QStringLiteral("2")));
        QTRY_COMPARE(puts("/adjust/gain"), QList<QByteArray>{"2.000000"});
        QTRY_COMPARE(puts("/adjust/gain_r"), QList<QByteArray>{"2.000000"});
        QTRY_COMPARE(puts("/adjust/gain_b"), QList<QByteArray>{"2.000000"});
        QCOMPARE(text("gainSliderField"), QStringLiteral("2.00"));
        // The logarithmic slider at its middle is 1.00.
        auto* slider = item("gainSliderSlider");
        QTRY_VERIFY(qAbs(slider->property("position").toReal() - std::log(20.0) / std::log(100.0)) < 0.01);
        VIEW_STEP(click(slider));
        QTRY_COMPARE(puts("/adjust/gain").value(1), QByteArray("1.000000"));
        QCOMPARE(model->gain()->value().toDouble(), 1.0);
        QTRY_COMPARE(text("gainSliderField"), QStringLiteral("1.00"));

        // Green alone: the plain offset changes, red and blue stay.
        VIEW_STEP(choose("channelCombo", QStringLiteral("Green")));
        VIEW_STEP(type(item("offsetSliderField"), QStringLiteral("0.25")));
        QTRY_COMPARE(puts("/adjust/offset"), QList<QByteArray>{"0.250000"});
        QTest::qWait(200);
        QVERIFY(puts("/adjust/offset_r").isEmpty());
        QVERIFY(puts("/adjust/offset_b").isEmpty());
        QCOMPARE(model->offsetR()->value().toDouble(), 0.0);
        QCOMPARE(model->offsetB()->value().toDouble(), 0.0);
        // Dragging the offset slider to its far left is -1.00, for green only.
        auto* offsetSlider = item("offsetSliderSlider");
        const QPoint from = offsetSlider->mapToScene(QPointF(offsetSlider->width() / 2, 10)).toPoint();
        QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(window(), from - QPoint(40, 0));
        QTest::mouseMove(window(), from - QPoint(400, 0));
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, from - QPoint(400, 0));
        QTRY_COMPARE(model->offset()->value().toDouble(), -1.0);
        QCOMPARE(model->offsetR()->value().toDouble(), 0.0);

        // Red shows and writes the red value.
        VIEW_STEP(choose("channelCombo", QStringLiteral("Red")));
        QTRY_COMPARE(text("offsetSliderField"), QStringLiteral("0.00"));
        VIEW_STEP(type(item("offsetSliderField"), QStringLiteral("0.5")));
        QTRY_COMPARE(puts("/adjust/offset_r"), QList<QByteArray>{"0.500000"});
        QCOMPARE(model->offset()->value().toDouble(), -1.0);

        // Reset of one channel leaves the others.
        VIEW_STEP(choose("channelCombo", QStringLiteral("Green")));
        QTRY_COMPARE(text("offsetSliderField"), QStringLiteral("-1.00"));
        VIEW_STEP(click("resetAdjustmentsButton"));
        QTRY_COMPARE(text("offsetSliderField"), QStringLiteral("0.00"));
        QCOMPARE(model->offset()->value().toDouble(), 0.0);
        QCOMPARE(model->offsetR()->value().toDouble(), 0.5);
        VIEW_STEP(choose("channelCombo", QStringLiteral("RGB")));
        VIEW_STEP(click("resetAdjustmentsButton"));
        QTRY_COMPARE(model->offsetR()->value().toDouble(), 0.0);

        // White balance and its automatic measurement.
        VIEW_STEP(expand("colorAdjustmentsPane"));
        VIEW_STEP(type(item("wbRedSliderField"), QStringLiteral("1.5")));
        QTRY_COMPARE(puts("/adjust/wb_r"), QList<QByteArray>{"1.500000"});
        VIEW_STEP(type(item("wbBlueSliderField"), QStringLiteral("20")));
        QTest::qWait(200);
        QVERIFY2(puts("/adjust/wb_b").isEmpty(), "a value outside 0.10 … 10.00 is refused");
        QTRY_VERIFY_WITH_TIMEOUT(!m_camera->imgFrame()->image().isNull(), 5000);
        VIEW_STEP(click("autoWhiteBalanceButton"));
        QTRY_COMPARE(puts("/adjust/wb_g").size(), 1);
        QTRY_COMPARE(puts("/adjust/wb_b").size(), 1);
    }

    void lensVideoAndShutter()
    {
        VIEW_STEP(click("focusStep10"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/focus").value(0).body,
                     QByteArray("{\"step\":10}"));
        VIEW_STEP(click("focusStep32767"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/focus").value(1).body,
                     QByteArray("{\"step\":32767}"));
        QTRY_COMPARE(text("focusDistanceRowText"), QStringLiteral("\u221E"));
        VIEW_STEP(choose("fstopCombo", QStringLiteral("8")));
        QTRY_COMPARE(puts("/lens/fstop"), QList<QByteArray>{"8.000000"});
        QCOMPARE(text("shutterButton"), QStringLiteral("Close Shutter"));
        VIEW_STEP(click("shutterButton"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/shtr").value(0).body, QByteArray("{\"pos\":1}"));
        QTRY_COMPARE(text("shutterButton"), QStringLiteral("Open Shutter"));
        VIEW_STEP(click("shutterButton"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/shtr").value(1).body, QByteArray("{\"pos\":0}"));

        VIEW_STEP(choose("videoFormatCombo", QStringLiteral("1280x720p50")));
        QTRY_COMPARE(puts("/video/format"), QList<QByteArray>{"\"1280x720p50\""});
    }

    void ioLineCombosAndTimings()
    {
        // I/O 3 carries Event 1 as an input: every timing adjustable.
        VIEW_STEP(expand("ioPane_io3"));
        QTRY_COMPARE(item("io3SignalComboBox")->property("displayText").toString(),
                     QStringLiteral("Event 1"));
        QCOMPARE(item("io3ModeComboBox")->property("displayText").toString(), QStringLiteral("Input"));
        QVERIFY(item("io3_filterRowField")->isEnabled());
        QCOMPARE(text("io3_filterRowField"), QStringLiteral("100"));
        QCOMPARE(text("io3_delayRowField"), QStringLiteral("Disabled"));

        VIEW_STEP(choose("io3ModeCombo", QStringLiteral("Output")));
        QTRY_COMPARE(puts("/io/io3/mode"), QList<QByteArray>{"4"});
        QTRY_VERIFY(!item("io3_filterRowField")->isEnabled());
        QVERIFY(item("io3_delayRowField")->isEnabled());
        QVERIFY(item("io3_maxRowField")->isEnabled());
        VIEW_STEP(choose("io3PolarityCombo", QStringLiteral("Active Low")));
        QTRY_COMPARE(puts("/io/io3/polarity"), QList<QByteArray>{"1"});

        // A delay typed in microseconds is sent in clocks of the line's
        // 125 MHz clock; the unit is kept for the camera.
        auto* units = item("io3_delayRowUnits");
        reveal(units);
        VIEW_STEP(click(units));
        QObject* popup = units->property("popup").value<QObject*>();
        QTRY_VERIFY(popup->property("opened").toBool());
        QTRY_VERIFY(!itemsWithText(popup->property("contentItem").value<QQuickItem*>(), "us").isEmpty());
        VIEW_STEP(click(itemsWithText(popup->property("contentItem").value<QQuickItem*>(), "us").first()));
        QTRY_COMPARE(m_camera->setting("io3_delay_units").toInt(), 2);
        VIEW_STEP(type(item("io3_delayRowField"), QStringLiteral("2")));
        QTRY_COMPARE(puts("/io/io3/delay"), QList<QByteArray>{"250"});
        QTRY_COMPARE(text("io3_delayRowField"), QStringLiteral("2"));
        // The filter of another line stays within its 18 bits.
        VIEW_STEP(expand("ioPane_trigger"));
        VIEW_STEP(type(item("trigger_filterRowField"), QStringLiteral("999999999")));
        QTRY_COMPARE(puts("/io/trigger/filter"), QList<QByteArray>{"262143"});

        // A signal without polarities leaves nothing to choose there.
        VIEW_STEP(choose("io3SignalCombo", QStringLiteral("IRIG")));
        QTRY_COMPARE(puts("/io/io3/signal"), QList<QByteArray>{"\"irig\""});
        QTRY_COMPARE(item("io3SignalComboBox")->property("displayText").toString(), QStringLiteral("IRIG"));
        QTRY_VERIFY(!item("io3PolarityComboBox")->isEnabled());
    }

    void ssdStateFormatAndEject()
    {
        QTRY_COMPARE(text("ssdStateRowText"), QStringLiteral("Ready"));
        // 64 GiB in decimal units, as every size the window shows.
        QCOMPARE(text("ssdUsedRowText"), QStringLiteral("0 bytes of 68.72 GB"));
        QVERIFY(item("openSsdTakeButton")->isEnabled());

        VIEW_STEP(click("formatSsdButton"));
        QQuickWindow* d = dialog("inputDialog");
        QVERIFY(d);
        QCOMPARE(childOf(d, "inputLabel")->property("text").toString(), QStringLiteral("New SSD Name:"));
        VIEW_STEP(type(childOf<QQuickItem>(d, "inputField"), QStringLiteral("FIELD1")));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/ssd-format").value(0).body,
                     QByteArray("{\"name\":\"FIELD1\"}"));
        QTRY_COMPARE(text("ssdStateRowText"), QStringLiteral("Formatting..."));
        QVERIFY(!item("formatSsdButton")->isEnabled());
        QVERIFY(!item("ejectSsdButton")->isEnabled());
        QVERIFY(!item("ssdUsedRow")->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(text("ssdStateRowText"), QStringLiteral("Ready"), 5000);
        QTRY_COMPARE(text("ssdNameRowText"), QStringLiteral("FIELD1"));

        VIEW_STEP(click("ejectSsdButton"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/ssd-umount").size(), 1);
        QTRY_COMPARE(text("ssdStateRowText"), QStringLiteral("Ejecting"));
        QTRY_COMPARE_WITH_TIMEOUT(text("ssdStateRowText"), QStringLiteral("Ejected"), 5000);
        QVERIFY(!item("ejectSsdButton")->isEnabled());
        QVERIFY(!item("openSsdTakeButton")->isEnabled());

        // A fresh card that is not formatted may be formatted, not opened.
        m_sim->insertSsd(false);
        QTRY_COMPARE(text("ssdStateRowText"), QStringLiteral("Mounting"));
        QTRY_COMPARE_WITH_TIMEOUT(text("ssdStateRowText"), QStringLiteral("Unformatted"), 5000);
        QVERIFY(item("formatSsdButton")->isEnabled());
        QVERIFY(!item("openSsdTakeButton")->isEnabled());
    }

    void ssdAutosaveSettings()
    {
        VIEW_STEP(choose("autosaveModeCombo", QStringLiteral("Enabled")));
        QTRY_COMPARE(puts("/ssd/autosave/mode"), QList<QByteArray>{"1"});
        QVERIFY(!item("autosaveStartField")->isVisible());
        VIEW_STEP(choose("autosaveSelectionCombo", QStringLiteral("Selection")));
        QTRY_COMPARE(puts("/ssd/autosave/mode").value(1), QByteArray("3"));
        QTRY_VERIFY(item("autosaveStartField")->isVisible());
        VIEW_STEP(choose("autosaveAfterCombo", QStringLiteral("Delete Take")));
        QTRY_COMPARE(puts("/ssd/autosave/mode").value(2), QByteArray("7"));
        VIEW_STEP(choose("autosaveModeCombo", QStringLiteral("Disabled")));
        QTRY_COMPARE(puts("/ssd/autosave/mode").value(3), QByteArray("6"));

        VIEW_STEP(type(item("autosaveStartField"), QStringLiteral("-25")));
        QTRY_COMPARE(puts("/ssd/autosave/start"), QList<QByteArray>{"-25"});
        VIEW_STEP(type(item("autosaveStartField"), QStringLiteral("-99999999999")));
        QTRY_COMPARE(puts("/ssd/autosave/start").value(1), QByteArray("-2147483648"));
        VIEW_STEP(type(item("autosaveCountField"), QStringLiteral("99999999999")));
        QTRY_COMPARE(puts("/ssd/autosave/cnt"), QList<QByteArray>{"4294967295"});
        VIEW_STEP(type(item("autosaveNameSeqField"), QStringLiteral("42")));
        QTRY_COMPARE(puts("/ssd/name_seq"), QList<QByteArray>{"42"});

        VIEW_STEP(click("autosaveNameEdit"));
        QQuickWindow* d = dialog("inputDialog");
        QVERIFY(d);
        VIEW_STEP(type(childOf<QQuickItem>(d, "inputField"), QStringLiteral("stage_a")));
        QTRY_COMPARE(puts("/ssd/autosave/name"), QList<QByteArray>{"\"stage_a\""});
        QTRY_COMPARE(text("autosaveNameText"), QStringLiteral("stage_a"));
    }

    void firmwareUpdateThroughAnUpload()
    {
        VIEW_STEP(expand("firmwarePane"));
        QCOMPARE(text("fwVersionRowText"), QStringLiteral("3.4.2"));

        // The check asks the update server; this version is current.
        const int asked = m_server.requests().size();
        VIEW_STEP(click("checkFirmwareButton"));
        QTRY_COMPARE(m_server.requests().size(), asked + 1);
        QTRY_COMPARE(messages(), QStringList{"<b>Firmware Q7FW 3.4.2 is up to date!</b>"});
        VIEW_STEP(closeMessages());

        VIEW_STEP(click("firmwareUpdateButton"));
        QQuickWindow* d = dialog("firmwareUpdateDialog");
        QVERIFY(d);
        QCOMPARE(childOf(d, "fwCameraName")->property("text").toString(), QStringLiteral("Bench 2"));
        auto* start = childOf<QQuickItem>(d, "fwStartButton");
        QVERIFY(!start->isEnabled());

        QTemporaryDir dir;
        QFile file(dir.filePath("q7-3.5.0.q7fw"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(200000, 'F'));
        file.close();
        // The native file chooser cannot be driven offscreen: the choice it returns.
        d->setProperty("fileUrl", QUrl::fromLocalFile(file.fileName()));
        QTRY_COMPARE(childOf(d, "fwFileField")->property("text").toString(), QStringLiteral("q7-3.5.0.q7fw"));
        QVERIFY(start->isEnabled());
        VIEW_STEP(click(start));
        QVERIFY2(!start->isEnabled(), "one upload at a time");
        // The status lines of an installation are the firmware test's; the
        // dialog shows the camera's.
        QTRY_COMPARE_WITH_TIMEOUT(
            childOf(d, "fwStatusText")->property("text").toString(),
            QStringLiteral("Firmware update installed! Restart camera to complete update."), 8000);
        QVERIFY(start->isEnabled());
        QCOMPARE(m_sim->firmwareUploads().size(), 1);
        VIEW_STEP(click(childOf<QQuickItem>(d, "fwCloseButton")));
        QTRY_VERIFY(!find<QQuickWindow>("firmwareUpdateDialog"));
    }

    void ssdOpenDialog()
    {
        // The eject test left a fresh, unformatted card in the camera.
        QTRY_VERIFY_WITH_TIMEOUT(text("ssdStateRowText") == QLatin1String("Ready") ||
                                     text("ssdStateRowText") == QLatin1String("Unformatted"),
                                 5000);
        if (text("ssdStateRowText") == QLatin1String("Unformatted"))
            QVERIFY(postToCamera(QStringLiteral("/ssd-format"), "{\"name\":\"CARD\"}"));
        QTRY_COMPARE_WITH_TIMEOUT(text("ssdStateRowText"), QStringLiteral("Ready"), 5000);
        // Two files on the SSD, saved there by the camera.
        const int take = SimCameras::recordTake(m_sim, 200, 10);
        QVERIFY(take > 0);
        for (const char* name : {"beta", "Alpha"}) {
            QVERIFY(postToCamera(QStringLiteral("/ssd-save"),
                                 QStringLiteral("{\"take\":%1,\"cnt\":5,\"name\":\"%2\"}")
                                     .arg(take)
                                     .arg(QLatin1String(name))
                                     .toUtf8()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(text("ssdStateRowText"), QStringLiteral("Ready"), 5000);
        QTest::qWait(500);

        VIEW_STEP(click("openSsdTakeButton"));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/ssd-ls").value(0).body,
                     QByteArray("{\"long\": 1}"));
        QQuickWindow* d = dialog("ssdOpenDialog");
        QVERIFY(d);
        const auto rows = [d] {
            return itemsNamed(d->contentItem(), "ssdFileRow");
        };
        const auto rowName = [](QQuickItem* row) {
            return row->property("qtObject").value<QObject*>()->property("name").toString();
        };
        const auto selected = [&] {
            QStringList names;
            for (QQuickItem* row : rows())
                if (row->property("qtObject").value<QObject*>()->property("selected").toBool())
                    names << rowName(row);
            std::sort(names.begin(), names.end());
            return names;
        };
        QTRY_COMPARE(rows().size(), 2);
        // Sorted by name, case aside; a click on the header turns it round.
        const auto inOrder = [&] {
            QList<QQuickItem*> list = rows();
            std::sort(list.begin(), list.end(), [](QQuickItem* a, QQuickItem* b) { return a->y() < b->y(); });
            QStringList names;
            for (QQuickItem* row : list)
                names << rowName(row);
            return names;
        };
        QCOMPARE(inOrder(), (QStringList{"Alpha.vorn", "beta.vorn"}));
        VIEW_STEP(click(childOf<QQuickItem>(d, "sortByName")));
        QTRY_COMPARE(inOrder(), (QStringList{"beta.vorn", "Alpha.vorn"}));

        // A click selects one, Ctrl+click adds, a plain click starts over.
        auto* open = childOf<QQuickItem>(d, "ssdOpenButton");
        QVERIFY(!open->isEnabled());
        const auto rowNamed = [&](const QString& name) {
            for (QQuickItem* row : rows())
                if (rowName(row) == name)
                    return row;
            return static_cast<QQuickItem*>(nullptr);
        };
        VIEW_STEP(click(rowNamed("Alpha.vorn")));
        QTRY_COMPARE(selected(), QStringList{"Alpha.vorn"});
        VIEW_STEP(click(rowNamed("beta.vorn"), Qt::ControlModifier));
        QTRY_COMPARE(selected(), (QStringList{"Alpha.vorn", "beta.vorn"}));
        VIEW_STEP(click(rowNamed("beta.vorn")));
        QTRY_COMPARE(selected(), QStringList{"beta.vorn"});
        VIEW_STEP(click(rowNamed("Alpha.vorn"), Qt::ShiftModifier));
        QTRY_COMPARE(selected(), (QStringList{"Alpha.vorn", "beta.vorn"}));
        QVERIFY(open->isEnabled());

        VIEW_STEP(click(open));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/ssd-fopen").size(), 2);
        QTRY_VERIFY(!find<QQuickWindow>("ssdOpenDialog"));
        // The camera opened them; the view of the camera comes back.
        QTRY_VERIFY_WITH_TIMEOUT(app()->selectedVornObject() != m_camera, 5000);
        // Each hangs under the camera's tab (named as the shell test shows),
        // and plays in the SSD take view.
        QTRY_COMPARE(itemsNamed(window()->contentItem(), "ssdTakeTab").size(), 2);
        QTRY_COMPARE(loadedView(), QStringLiteral("ssdTakeView"));
        app()->setSelectedVornObject(m_camera);
        QTRY_VERIFY(find("paneColumn"));
    }

    // Every text of the camera shows as the camera sent it, wherever the
    // window puts it: no label, list entry or message reads it as markup.
    void cameraTextsAreNeverMarkup()
    {
        const QString typed = QStringLiteral("<b>X</b> & \"q\"");
        const QByteArray json = "\"<b>X</b> & \\\"q\\\"\"";
        const QString address = m_sim->config().address;
        Take* named = nullptr; // the take the SSD files were saved from
        for (Take* t : *m_camera->takes())
            named = t->savedOpened() ? t : named;
        QVERIFY(named);
        const int take = named->takeId();
        for (const char* path :
             {"/camera/name", "/camera/model", "/camera/fw_ver", "/lens/name", "/ssd/autosave/name"})
            QVERIFY2(SimCameras::put(address, path, json), path);
        QVERIFY(postToCamera("/ssd-format", "{\"name\":" + json + "}"));
        const QByteArray save = "{\"take\":" + QByteArray::number(take) + ",\"cnt\":2,\"name\":" + json + "}";
        QVERIFY(
            QTest::qWaitFor([&] { return postToCamera("/ssd-save", save); }, 5000)); // not while formatting
        m_server.setManifest(QJsonObject{{"q7fw", QJsonObject{{"7201", QJsonObject{{"version", typed}}}}}});
        QTRY_COMPARE(text("cameraNameText"), typed);
        const auto noMarkup = [&](int plainAtLeast) {
            const TextsHolding found = textsHolding(QStringLiteral("<b>X"));
            QVERIFY2(found.asMarkup.isEmpty(), qPrintable(found.asMarkup.join('\n')));
            QVERIFY2(found.asPlain >= plainAtLeast, qPrintable(QString::number(found.asPlain)));
        };

        // The camera view with every pane, the firmware and SSD dialogs, the
        // up-to-date message and the question before deleting all takes.
        for (const char* pane : {"cameraMainPane", "lensPane", "ssdPane", "ssdAutosavePane", "firmwarePane"})
            VIEW_STEP(expand(pane));
        VIEW_STEP(click("checkFirmwareButton"));
        const QString escaped = QStringLiteral("&lt;b&gt;X&lt;/b&gt; &amp; &quot;q&quot;");
        QTRY_COMPARE(messages(), QStringList{"<b>Firmware Q7FW " + escaped + " is up to date!</b>"});
        VIEW_STEP(click("firmwareUpdateButton"));
        QVERIFY(dialog("firmwareUpdateDialog"));
        QTRY_VERIFY_WITH_TIMEOUT(item("openSsdTakeButton")->isEnabled(), 5000);
        VIEW_STEP(click("openSsdTakeButton"));
        QQuickWindow* ssdDialog = dialog("ssdOpenDialog");
        QVERIFY(ssdDialog);
        QTRY_VERIFY(!itemsNamed(ssdDialog->contentItem(), "ssdFileRow").isEmpty()); // the file saved above
        QObject* menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        QVERIFY(menu);
        triggerMenuItem(menu, "Delete All Takes...");
        QTRY_VERIFY(confirmDialog() && confirmDialog()->isVisible());
        QVERIFY(confirmDialog()->property("text").toString().contains(escaped));
        VIEW_STEP(noMarkup(8));
        clickItem(childOf<QQuickItem>(confirmDialog(), "cancelButton"));
        QTRY_VERIFY(!confirmDialog());
        VIEW_STEP(click(childOf<QQuickItem>(ssdDialog, "ssdCancelButton")));
        QMetaObject::invokeMethod(find("firmwareUpdateDialog"), "close");
        VIEW_STEP(closeMessages());

        // A save that the camera refuses with a text of its own.
        q7sim::Fault refusal = q7sim::Fault::httpError(503, true, "/xfer");
        refusal.errorText = typed;
        m_sim->addFault(refusal);
        QTemporaryDir dir;
        QPointer<SaveJob> job = app()->saveManager()->createSaveJob(
            named, named->firstFrame(), 2, SaveManager::FileDest, Util::FormatCsv, Util::CodecCsv, 30, 0, "t",
            dir.path(), SaveJob::DontDeleteClose);
        QVERIFY(job);
        QTRY_COMPARE_WITH_TIMEOUT(job->state(), SaveJob::Error, 10000);
        m_sim->clearFaults();
        QVERIFY2(job->error().startsWith(typed), qPrintable(job->error()));
        app()->setNullVornObject(VornApp::SaveProgress);
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
        VIEW_STEP(noMarkup(2));
        app()->setSelectedVornObject(m_camera);
    }
};

VORN_TEST_MAIN(TestCameraView)
#include "tst_cameraview.moc"
