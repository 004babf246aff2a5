// What the controls of the camera and playback views show of their state,
// through the real window against a simulated camera with an SSD: a
// disabled control looks different and takes no click; the pointer over a
// control, pressing it, the keyboard focus on it and a checked toggle
// change its pixels, and a pressed slider keeps its value; Tab walks the
// pane column downward and keeps the focused row in sight; at the window's minimum size nothing
// overlaps; no QML file writes a colour of its own.

#include "CameraViewHarness.h"
#include "ImgAdjModel.h"
#include "Take.h"
#include "VornTestMain.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSignalSpy>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();
// The offscreen platform does not ask for hover effects; a desktop does.
static const bool hoverEnabled = qputenv("QT_QUICK_CONTROLS_HOVER_ENABLED", "1");

class TestControlStates : public CameraViewHarness
{
    Q_OBJECT

    static QRectF sceneRect(QQuickItem* i)
    {
        return i->mapRectToScene(QRectF(0, 0, i->width(), i->height()));
    }
    QImage grab(QQuickItem* target) const
    {
        return window()->grabWindow().copy(sceneRect(target).toAlignedRect());
    }

    // Waits until the control looks clearly unlike `before`: at least 20
    // pixels differ by more than a faint shade.
    bool looksChanged(QQuickItem* target, const QImage& before)
    {
        return QTest::qWaitFor([&] {
            const QImage now = grab(target);
            int changed = 0;
            for (int y = 0; y < now.height() && now.size() == before.size(); ++y)
                for (int x = 0; x < now.width(); ++x) {
                    const QColor p = now.pixelColor(x, y), q = before.pixelColor(x, y);
                    changed +=
                        qAbs(p.red() - q.red()) + qAbs(p.green() - q.green()) + qAbs(p.blue() - q.blue()) >
                        48;
                }
            return changed >= 20;
        });
    }

    // A slider's handle, another control whole.
    static QQuickItem* handle(QQuickItem* control)
    {
        auto* h = control->property("handle").value<QQuickItem*>();
        return h ? h : control;
    }

    QPoint centre(QQuickItem* i) const
    {
        return i->mapToScene(QPointF(i->width() / 2, i->height() / 2)).toPoint();
    }

    void rest()
    {
        QTest::mouseMove(window(), item("frameView")->mapToScene(QPointF(40, 40)).toPoint());
        item("frameView")->forceActiveFocus();
        QTest::qWait(50);
    }

private slots:
    void initTestCase()
    {
        q7sim::CameraConfig config;
        config.ssdBytes = 64ULL << 30;
        QVERIFY(startWith(config));
        for (const char* pane : {"imageToolsPane", "imageAdjustmentsPane", "ssdPane"})
            VIEW_STEP(expand(pane));
    }

    void cleanupTestCase() { finish(); }

    void stateShows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("state");
        for (const char* name : {"openSsdTakeButton", "resolutionComboBox", "offsetSliderSlider",
                                 "offsetSliderField", "rotateCwButton"})
            QTest::newRow(name) << name << "disabled";
        for (const char* name : {"resetAdjustmentsButton", "focusPeakComboBox", "gammaSliderSlider",
                                 "imageToolsPaneHeader", "flipVButton"}) {
            QTest::addRow("%s hovered", name) << name << "hovered";
            QTest::addRow("%s focused", name) << name << "focused";
        }
        QTest::newRow("gammaSliderField focused") << "gammaSliderField"
                                                  << "focused";
        QTest::newRow("resetAdjustmentsButton pressed") << "resetAdjustmentsButton"
                                                        << "pressed";
        QTest::newRow("gainSliderSlider pressed") << "gainSliderSlider"
                                                  << "pressed";
        QTest::newRow("flipHButton checked") << "flipHButton"
                                             << "checked";
    }

    void stateShows()
    {
        QFETCH(QString, name);
        QFETCH(QString, state);
        QQuickItem* control = item(name);
        VIEW_STEP(reveal(control));
        QTRY_VERIFY(control->isEnabled());
        rest();
        const QImage before = grab(control);
        const QVariant value = control->property("value");
        if (state == "hovered")
            QTest::mouseMove(window(), centre(control));
        else if (state == "focused")
            control->forceActiveFocus(Qt::TabFocusReason);
        else if (state == "checked")
            VIEW_STEP(click(control));
        else if (state == "pressed")
            QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, centre(handle(control)));
        else
            control->setEnabled(false);
        QVERIFY2(looksChanged(control, before), qPrintable(name + " does not look " + state));
        if (state == "pressed") {
            const QVariant gain = valueOf(m_camera->imgAdjModel(), "gain");
            QVERIFY(qAbs(control->property("value").toDouble() - value.toDouble()) <= 0.011);
            QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, centre(handle(control)));
            QVERIFY(qAbs(control->property("value").toDouble() - value.toDouble()) <= 0.011);
            QTRY_COMPARE(valueOf(m_camera->imgAdjModel(), "gain"), gain);
        } else if (state == "checked") {
            QTRY_VERIFY(m_camera->imgAdjModel()->flipH().toBool());
            VIEW_STEP(click(control));
            QTRY_VERIFY(!m_camera->imgAdjModel()->flipH().toBool());
        } else if (state == "disabled") {
            // No click, press, focus, list or value change gets through.
            const bool button = control->metaObject()->indexOfSignal("clicked()") >= 0;
            QSignalSpy clicks(control, button ? SIGNAL(clicked()) : SIGNAL(enabledChanged()));
            auto* popup = control->property("popup").value<QObject*>();
            VIEW_STEP(click(control));
            QTest::qWait(100);
            QCOMPARE(clicks.count(), 0);
            QVERIFY(!control->hasActiveFocus());
            QCOMPARE(control->property("value"), value);
            QVERIFY(!popup || !popup->property("visible").toBool());
            control->setEnabled(true);
        }
    }

    // Tab goes from control to control down the column, each in sight, and
    // Shift+Tab goes back.
    void tabWalksTheColumnDownward()
    {
        auto* column = item("paneColumn");
        auto* flickable = item("paneScroll")->property("contentItem").value<QQuickItem*>();
        rest();
        QList<QQuickItem*> visited;
        qreal lastY = -1;
        for (int i = 0; i < 24; ++i) {
            QTest::keyClick(window(), Qt::Key_Tab);
            QQuickItem* focused = window()->activeFocusItem();
            QVERIFY(focused && column->isAncestorOf(focused));
            QVERIFY2(!visited.contains(focused), qPrintable(focused->objectName()));
            const qreal y = focused->mapToItem(column, QPointF(0, 0)).y();
            QVERIFY2(y >= lastY, qPrintable("Tab went up to " + focused->objectName()));
            const QRectF r =
                focused->mapRectToItem(flickable, QRectF(0, 0, focused->width(), focused->height()));
            QTRY_VERIFY2(r.top() >= 0 && r.bottom() <= flickable->height(),
                         qPrintable(focused->objectName()));
            visited << focused;
            lastY = y;
        }
        QTest::keyClick(window(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(window()->activeFocusItem(), visited.at(visited.size() - 2));
    }

    // A take's view at the window's minimum size: the strip's parts stand
    // apart (on a wide window in one row), the column scrolls, a strip
    // button shows the pointer and its disabled state, and the rate slider
    // keeps its value when pressed.
    void playbackViewAtTheMinimumSize()
    {
        QVERIFY(SimCameras::recordTake(m_sim, 80, 60) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->savedTakes()->count() > 0, 5000);
        auto* take = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
        QTRY_VERIFY_WITH_TIMEOUT(take->valuesInit(), 5000);
        app()->setSelectedVornObject(take);
        QTRY_COMPARE(loadedView(), QStringLiteral("takeView"));
        take->pause();
        for (const QSize size : {QSize(1920, 1040), QSize(1024, 640)}) {
            window()->resize(size);
            QTRY_COMPARE(item("playbackStrip")->mapToScene(QPointF(item("playbackStrip")->width(), 0)).x(),
                         size.width() - 240.0); // beside the tab column
            QTRY_VERIFY(item("playRateSlider") && item("playRateSlider")->isVisible());
            QVERIFY(!window()->grabWindow().isNull());
            QList<QRectF> parts;
            const QRectF strip = sceneRect(item("playbackStrip"));
            for (const char* name : {"scrubber", "inFrameField", "frameField", "outFrameField",
                                     "transportBar", "playStepControl", "playRateControl"}) {
                const QRectF r = sceneRect(item(name));
                QVERIFY2(strip.contains(r) && r.bottom() <= window()->height(), name);
                for (const QRectF& other : parts)
                    QVERIFY2(!r.intersects(other), name);
                parts << r;
            }
            QCOMPARE(parts[4].center().y() == parts[5].center().y(), size.width() > 1800); // one row
        }
        auto* flickable = item("paneScroll")->property("contentItem").value<QQuickItem*>();
        QTRY_VERIFY(flickable->property("contentHeight").toReal() > flickable->height());

        QQuickItem* step = item("stepFwdButton");
        rest();
        const QImage before = grab(step);
        QTest::mouseMove(window(), centre(step));
        QVERIFY(looksChanged(step, before));
        rest();
        step->setEnabled(false);
        QVERIFY(looksChanged(step, before));
        step->setEnabled(true);

        take->setPlayFrRate(60);
        QTRY_VERIFY(qAbs(item("playRateSlider")->property("value").toDouble() - 60) < 0.01);
        const QPoint at = centre(handle(item("playRateSlider")));
        QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, at);
        QTRY_VERIFY(item("playRateSlider")->property("pressed").toBool());
        QVERIFY(qAbs(item("playRateSlider")->property("value").toDouble() - 60) < 0.01);
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(qAbs(take->playFrRate() - 60) < 0.01);
    }

    // Colours come from the palette or the theme; "transparent" is none.
    void noQmlFileWritesItsOwnColour()
    {
        const QRegularExpression literal(QStringLiteral(
            "\"#[0-9A-Fa-f]{3,8}\"|[cC]olor\\s*:\\s*\"(?!transparent\")[^\"]*\"|Qt\\.(rgba|hsla|hsva)\\("));
        const QString dir = qEnvironmentVariable("VORN_SOURCE_DIR") + "/src/qml";
        QVERIFY(QFile::exists(dir + "/main.qml"));
        QStringList found;
        for (QDirIterator files(dir, {"*.qml", "*.js"}); files.hasNext();) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
            for (int i = 0; i < lines.size() && files.fileName() != "Theme.qml"; ++i)
                if (!lines[i].trimmed().startsWith("//") && lines[i].contains(literal))
                    found << files.fileName() + ':' + QString::number(i + 1) + ": " + lines[i].trimmed();
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

VORN_TEST_MAIN(TestControlStates)
#include "tst_controlstates.moc"
