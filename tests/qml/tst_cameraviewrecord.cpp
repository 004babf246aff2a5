// The camera view's recording controls against a simulated monochrome
// camera with older firmware and no SSD: record, trigger and abort with the
// refusals, the black reference, the partition count and the trigger
// slider's arithmetic in both of its modes.

#include "CameraViewHarness.h"
#include "ImgAdjModel.h"
#include "VornTestMain.h"

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestCameraViewRecord : public CameraViewHarness
{
    Q_OBJECT

    CameraValue* value(const char* name) const { return m_camera->property(name).value<CameraValue*>(); }

    // Drags the trigger slider's handle: presses at the first x (slider
    // pixels), moves through the others and lets go at the last; after each
    // position the offset the view wrote must be the expected one.
    void drag(const QList<int>& xs, const QList<qint64>& expected)
    {
        auto* slider = item("triggerSlider");
        QVERIFY(slider);
        VIEW_STEP(reveal(slider));
        const int y = int(slider->height() / 2);
        const QPoint origin = slider->mapToScene(QPointF(0, 0)).toPoint();
        for (int i = 0; i < xs.size(); ++i) {
            const QPoint at = origin + QPoint(xs[i], y);
            if (i == 0)
                QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, at);
            else
                QTest::mouseMove(window(), at);
            QTRY_COMPARE(value("trigOffset")->value().toLongLong(), expected[i]);
        }
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, origin + QPoint(xs.last(), y));
        // The last of them reaches the camera.
        QTRY_COMPARE(lastPut("/acq/trig_offset"), QByteArray::number(expected.last()));
    }

    qint64 partitionFrames() const
    {
        return find("frameBufferPane")->property("partitionFrames").toLongLong();
    }

private slots:
    void initTestCase()
    {
        q7sim::CameraConfig config;
        config.cfa = q7sim::Cfa::Mono;
        config.name = QStringLiteral("Q7 Mono");
        config.oldFirmware = true;
        config.brefSlots = 1;
        QVERIFY(startWith(config));
    }

    void cleanupTestCase() { finish(); }

    void monochromeCameraWithoutSsd()
    {
        QTRY_COMPARE(text("cameraNameText"), QStringLiteral("Q7 Mono"));
        // One channel: every adjustment goes to all three values.
        QCOMPARE(item("channelComboBox")->property("count").toInt(), 1);
        QCOMPARE(item("channelComboBox")->property("displayText").toString(), QStringLiteral("Monochrome"));
        QVERIFY(!item("channelComboBox")->isEnabled());
        QVERIFY(!item("colorAdjustmentsPane")->isVisible());
        VIEW_STEP(type(item("contrastSliderField"), QStringLiteral("-0.3")));
        QTRY_COMPARE(puts("/adjust/contrast"), QList<QByteArray>{"-0.300000"});
        QTRY_COMPARE(puts("/adjust/contrast_r"), QList<QByteArray>{"-0.300000"});
        QTRY_COMPARE(puts("/adjust/contrast_b"), QList<QByteArray>{"-0.300000"});

        QCOMPARE(text("ssdStateRowText"), QStringLiteral("Removed"));
        QVERIFY(!item("ssdUsedRow")->isVisible());
        QVERIFY(!item("openSsdTakeButton")->isEnabled());
        QVERIFY(!item("ejectSsdButton")->isEnabled());
        QVERIFY(!item("formatSsdButton")->isVisible());
        QVERIFY(!item("ssdAutosavePane")->isVisible());

        // Older firmware reports its version as a number.
        VIEW_STEP(expand("firmwarePane"));
        QVERIFY(value("fwVer")->value().toString().isEmpty());
        QVERIFY(value("fwVerInt")->value().toInt() > 0);
        QCOMPARE(text("fwVersionRowText"), value("fwVerInt")->value().toString());
        // ... and offers no video formats: the default ones.
        QCOMPARE(item("videoFormatComboBox")->property("count").toInt(), 13);
        QVERIFY(item("videoFormatComboBox")->isEnabled());
    }

    void blackReference()
    {
        // A new resolution invalidates the reference: the button warns.
        QVERIFY(!item("blackRefWarning")->isVisible());
        VIEW_STEP(choose("resolutionCombo", QStringLiteral("320x240")));
        QTRY_VERIFY_WITH_TIMEOUT(item("blackRefWarning")->isVisible(), 3000);
        // Pointing at it says why.
        QQuickItem* warning = item("blackRefWarning");
        VIEW_STEP(reveal(warning));
        QTest::mouseMove(window(),
                         warning->mapToScene(QPointF(warning->width() / 2, warning->height() / 2)).toPoint());
        QObject* tip = find("blackRefWarningTip");
        QVERIFY(tip);
        QTRY_VERIFY(tip->property("visible").toBool());
        QVERIFY(tip->property("text").toString().startsWith("The black reference no longer matches"));
        VIEW_STEP(click("blackRefButton"));
        QTRY_COMPARE(posts("/bref"), 1);
        QTRY_VERIFY(!item("blackRefButton")->isEnabled()); // in progress
        QTRY_VERIFY_WITH_TIMEOUT(item("blackRefButton")->isEnabled(), 3000);
        QTRY_VERIFY(!item("blackRefWarning")->isVisible());
        QVERIFY(messages().isEmpty());
    }

    void triggerHandleDrags()
    {
        const qint64 P = partitionFrames();
        QVERIFY2(P > 100, qPrintable(QString::number(P)));
        QCOMPARE(P, value("take1PrtnFrCnt")->value().toLongLong());
        QCOMPARE(find("triggerModeRow")->property("label").toString(), QStringLiteral("Pre-Trigger"));
        const int w = int(item("triggerSlider")->width());
        QCOMPARE(w, 260);

        // Pre-trigger: T = P − P·x, never below 2, however far right.
        VIEW_STEP(drag({130, 259, 400, 1000}, {qRound64(P / 2.0), qRound64(P - P * 259 / 260.0), 2, 2}));
        for (const QByteArray& body : puts("/acq/trig_offset"))
            QVERIFY2(body.toLongLong() >= 2, body.constData());
        QTRY_COMPARE(value("trigOffset")->value().toLongLong(), 2);
        QTRY_COMPARE(text("triggerModeRowText").section('\n', 0, 0), QStringLiteral("%1 fr").arg(P - 2));

        // Delay: a typed offset beyond the partition.
        VIEW_STEP(typeInCombo("trigOffsetCombo", QString::number(2 * P)));
        QTRY_COMPARE(lastPut("/acq/trig_offset"), QByteArray::number(2 * P));
        QTRY_COMPARE(find("triggerModeRow")->property("label").toString(), QStringLiteral("Delay"));
        QTRY_COMPARE(text("triggerModeRowText").section('\n', 0, 0), QStringLiteral("%1 fr").arg(P));
        auto* handle = item("triggerSlider")->property("trigHandle").value<QObject*>();
        QTRY_VERIFY(qAbs(handle->property("position").toReal() - 0.5) < 1e-9);
        // T = P / (1 − x); the mode of the press holds while the handle
        // crosses T = P.
        VIEW_STEP(drag({195, 65, 0, 130}, {4 * P, qRound64(P / 0.75), P, 2 * P}));

        // Typed offsets stop at 2^32 − 1, as does the delay at the far right.
        VIEW_STEP(typeInCombo("trigOffsetCombo", QStringLiteral("99999999999")));
        QTRY_COMPARE(lastPut("/acq/trig_offset"), QByteArray("4294967295"));
        VIEW_STEP(typeInCombo("trigOffsetCombo", QString::number(3 * P)));
        QTRY_COMPARE(value("trigOffset")->value().toLongLong(), 3 * P);
        VIEW_STEP(drag({259, 260, 900}, {qRound64(P / (1 - 259 / 260.0)), 4294967295LL, 4294967295LL}));
    }

    void recordTriggerAbortAndRefusals()
    {
        // Two partitions, while no take is saved.
        QVERIFY(item("partitionCountEdit")->isEnabled());
        VIEW_STEP(click("partitionCountEdit"));
        QQuickWindow* d = dialog("inputDialog");
        QVERIFY(d);
        QCOMPARE(childOf(d, "inputLabel")->property("text").toString(), QStringLiteral("Partition Count:"));
        VIEW_STEP(type(childOf<QQuickItem>(d, "inputField"), QStringLiteral("2")));
        QTRY_COMPARE(SimCameras::requests(m_sim, "POST", "/prtn").value(0).body, QByteArray("{\"cnt\":2}"));
        QTRY_COMPARE(text("partitionCountText"), QStringLiteral("2"));
        QTRY_VERIFY(partitionFrames() > 0);

        // A long delay keeps the camera triggered until the abort.
        VIEW_STEP(typeInCombo("trigOffsetCombo", QString::number(partitionFrames() + 1000000)));
        QTRY_VERIFY(value("trigOffset")->value().toLongLong() > partitionFrames());

        for (int take = 1; take <= 2; ++take) {
            QTRY_COMPARE(text("recordButton"), QStringLiteral("Record"));
            QCOMPARE(text("stateRowText"), QStringLiteral("STBY"));
            QCOMPARE(find("stateRowText")->property("color").value<QColor>(), QColor("#30d050"));
            QCOMPARE(text("recordedRowText"), QStringLiteral("STBY"));
            VIEW_STEP(click("recordButton"));
            QTRY_COMPARE(posts("/rec"), take);
            QTRY_COMPARE(text("recordButton"), QStringLiteral("Trigger"));
            const QString takeId = value("activeTakeId")->value().toString();
            QCOMPARE(text("stateRowText"), "REC " + takeId);
            QCOMPARE(find("stateRowText")->property("color").value<QColor>(), QColor("#ff3030"));
            QVERIFY(!item("partitionCountEdit")->isEnabled() || take == 1);
            QTRY_VERIFY(text("recordedRowText").endsWith(')'));
            VIEW_STEP(click("recordButton"));
            QTRY_COMPARE(posts("/trig"), take);
            QTRY_COMPARE(text("recordButton"), QStringLiteral("Abort Recording"));
            QCOMPARE(text("stateRowText"), "TRIG " + takeId);
            VIEW_STEP(click("recordButton"));
            QTRY_COMPARE(posts("/abort"), take);
            QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), take, 5000);
        }

        // Every partition holds a take: no recording, no new partitions.
        QTRY_COMPARE(text("recordButton"), QStringLiteral("Record"));
        QVERIFY(!item("partitionCountEdit")->isEnabled());
        VIEW_STEP(click("recordButton"));
        QTRY_COMPARE(messages(),
                     QStringList{"<b>No take partitions remaining!</b><br>Delete takes to begin recording."});
        QTest::qWait(300);
        QCOMPARE(posts("/rec"), 2);
        QCOMPARE(value("acqState")->value().toInt(), 1);
        VIEW_STEP(closeMessages());

        // The takes hold the camera's one black reference slot.
        QTRY_COMPARE_WITH_TIMEOUT(value("brefState")->value().toInt() & 4, 4, 3000);
        VIEW_STEP(click("blackRefButton"));
        QTRY_COMPARE(messages(),
                     QStringList{"<b>No black reference slots remaining!</b><br>Delete saved takes to "
                                 "clear slots."});
        QCOMPARE(posts("/bref"), 1);
        VIEW_STEP(closeMessages());

        // With the takes gone the partition count is free again.
        m_camera->deleteAllTakes();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 0, 5000);
        QTRY_VERIFY(item("partitionCountEdit")->isEnabled());
    }
};

VORN_TEST_MAIN(TestCameraViewRecord)
#include "tst_cameraviewrecord.moc"
