// The camera view against a simulated colour camera: every pane is shown,
// and its controls, driven like a user drives them, send the camera what
// the arithmetic of each setting gives.

#include "CameraViewHarness.h"
#include "VornTestMain.h"

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestCameraView : public CameraViewHarness
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        q7sim::CameraConfig config;
        config.name = QStringLiteral("Q7 Colour");
        config.ssdBytes = 64ULL << 30;
        QVERIFY(startWith(config));
    }

    void cleanupTestCase() { finish(); }

    void everyPaneShows()
    {
        QTRY_COMPARE(text("cameraNameText"), QStringLiteral("Q7 Colour"));
        for (const char* pane : {"cameraMainPane", "acquisitionPane", "frameBufferPane", "imageToolsPane",
                                 "imageAdjustmentsPane", "colorAdjustmentsPane", "ssdPane", "ssdAutosavePane",
                                 "lensPane", "ioPane_trigger", "ioPane_io6", "videoPane", "firmwarePane"})
            QVERIFY2(item(pane) && item(pane)->isVisible(), pane);
        saveScreenshot("camera-view-top.png");
        screenshotFrom("ssdPane", "camera-view-middle.png");
        screenshotFrom("firmwarePane", "camera-view-bottom.png");
    }
};

VORN_TEST_MAIN(TestCameraView)
#include "tst_cameraview.moc"
