// The window shell with a real camera: a simulated Q7 camera is connected
// through the "Connect Camera" dialog, shows as a tab under its own name with
// its takes beneath, and leaves through its tab's "Disconnect".

#include "Camera.h"
#include "ShellHarness.h"
#include "SimCameras.h"
#include "VornTestMain.h"

#include <functional>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestShellCamera : public ShellHarness
{
    Q_OBJECT

    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;

    Camera* camera() const
    {
        return app()->vornObjModel()->count() > 0 ? qobject_cast<Camera*>(app()->vornObjModel()->get(0))
                                                  : nullptr;
    }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast(); // the scan of the start-up finds nothing here
        q7sim::CameraConfig config;
        config.name = QStringLiteral("Stage Left");
        config.ssdBytes = 64ULL << 30;
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        QVERIFY(load());
    }

    void cleanupTestCase()
    {
        unload();
        m_sims.stopAll();
        const QStringList warnings = takeWarnings() + m_engineWarnings;
        qInstallMessageHandler(previousHandler);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void connectDialogConnectsTheCamera()
    {
        auto* dialog = find<QQuickWindow>("connectDialog");
        QVERIFY(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        find("addressField")->setProperty("text", QStringLiteral("127.0.0.2"));
        auto* connectButton = find<QQuickItem>("connectButton");
        QVERIFY(connectButton->isEnabled());
        clickItem(connectButton);
        QTRY_VERIFY(!dialog->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(camera() && camera()->connected(), 5000);
        QCOMPARE(camera()->ipString(), QStringLiteral("127.0.0.2"));
        // Its tab shows the name the camera reports (the tab's other parts
        // are the shell test's).
        QTRY_COMPARE(itemsNamed(window()->contentItem(), "cameraTab").size(), 1);
        QTRY_COMPARE(find("cameraNameLabel")->property("text").toString(), QStringLiteral("Stage Left"));
        saveScreenshot("camera-tab.png");
    }

    void tabTellsWhenTheCameraStopsAnswering()
    {
        auto* label = find<QQuickItem>("notRespondingLabel");
        QVERIFY(label);
        QVERIFY(!label->isVisible());
        q7sim::Fault silent = q7sim::Fault::noAnswer("/");
        silent.method = "GET";
        m_sim->addFault(silent);
        QTRY_VERIFY_WITH_TIMEOUT(label->isVisible(), 6000);
        m_sim->clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(!label->isVisible(), 6000);
        // The timed-out polls were logged, and nothing else.
        const QStringList logged = takeWarnings();
        QVERIFY(!logged.isEmpty());
        for (const QString& line : logged)
            QVERIFY2(line.contains("-Camera: json parse error:"), qPrintable(line));
    }

    void savedTakeHangsUnderTheCameraAndCanBeDeleted()
    {
        const int takeId = SimCameras::recordTake(m_sim, 200, 10);
        QVERIFY(takeId > 0);
        QTRY_COMPARE_WITH_TIMEOUT(itemsNamed(window()->contentItem(), "takeTab").size(), 1, 5000);
        QQuickItem* tab = itemsNamed(window()->contentItem(), "takeTab").first();
        QCOMPARE(tab->property("text").toString(), QStringLiteral("Take %1").arg(takeId));
        saveScreenshot("camera-take-tab.png");

        clickItem(tab);
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("TakeMenuBar.qml"));
        QCOMPARE(app()->selectedVornObject(), tab->property("vornObject").value<QObject*>());

        QObject* menu = openContextMenu(tab);
        QVERIFY(menu);
        triggerMenuItem(menu, "Delete...");
        QQuickWindow* confirm = nullptr;
        QTRY_VERIFY((confirm = find<QQuickWindow>("confirmDialog")) && confirm->isVisible());
        clickItem(childOf<QQuickItem>(confirm, "acceptButton"));
        // The camera deletes it; the next polls drop its tab, and its camera
        // becomes the selected object.
        QTRY_COMPARE_WITH_TIMEOUT(itemsNamed(window()->contentItem(), "takeTab").size(), 0, 5000);
        QTRY_COMPARE(app()->selectedVornObject(), camera());
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("CameraMenuBar.qml"));
    }

    // However a dialog window opens (menu, tab, pane, message), it opens over
    // the middle of the main window and takes the focus.
    void everyDialogOpensCentredAndActive()
    {
        QVERIFY(SimCameras::recordTake(m_sim, 200, 10) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(itemsNamed(window()->contentItem(), "takeTab").size(), 1, 5000);
        app()->setSelectedVornObject(camera());
        QTRY_COMPARE(loadedView(), QStringLiteral("cameraView"));
        QTRY_COMPARE_WITH_TIMEOUT(camera()->property("ssdState").value<CameraValue*>()->value().toInt(),
                                  int(Camera::SsdReady), 5000);
        // The camera's entries of the File menu.
        const auto cameraAction = [this](const char* action) {
            return [this, action] {
                QObject* bar = find("menuBarLoader")->property("item").value<QObject*>();
                QObject* actions = bar->property("actions").value<QObject*>();
                QVERIFY(actions->property(action).value<QObject*>()->property("enabled").toBool());
                QMetaObject::invokeMethod(actions->property(action).value<QObject*>(), "trigger");
            };
        };
        const struct
        {
            const char* name;
            std::function<void()> open;
        } dialogs[] = {
            {"connectDialog",
             [this] {
                 QMetaObject::invokeMethod(shellAction("connectCamera"), "trigger");
             }},
            {"messageDialog",
             [this] {
                 emit app()->showMessage("<b>No take partitions remaining!</b>");
             }},
            {"inputDialog",
             [this] {
                 clickItem(find<QQuickItem>("cameraNameEdit"));
             }},
            {"firmwareUpdateDialog",
             [this] {
                 QMetaObject::invokeMethod(find("firmwareUpdateButton"), "clicked");
             }},
            {"ssdOpenDialog", cameraAction("openSsdTake")},
            {"batchSaveDialog", cameraAction("saveAllTakes")},
            {"confirmDialog", cameraAction("deleteAllTakes")},
            {"saveDialog",
             [this] {
                 QObject* menu = openContextMenu(itemsNamed(window()->contentItem(), "takeTab").first());
                 QVERIFY(menu);
                 triggerMenuItem(menu, QStringLiteral("Save..."));
             }},
        };
        for (const auto& dialog : dialogs) {
            dialog.open();
            QQuickWindow* w = nullptr;
            QTRY_VERIFY2((w = find<QQuickWindow>(dialog.name)) && w->isExposed(), dialog.name);
            QVERIFY2(isCentred(w), dialog.name);
            QTRY_VERIFY2(w->isActive(), dialog.name);
            w->close();
            QTRY_VERIFY2(!(w = find<QQuickWindow>(dialog.name)) || !w->isVisible(), dialog.name);
        }
        QCOMPARE(itemsNamed(window()->contentItem(), "takeTab").size(), 1);
    }

    // The rig's entries act on every camera: Record All by its key, Trigger
    // All from the add menu (a camera that refuses is named in a message),
    // Abort All from the File menu; the camera's copy dialog copies settings.
    void rigCommandsAndCopySettings()
    {
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.3");
        config.name = QStringLiteral("Stage Right");
        q7sim::SimCamera* right = m_sims.start(config);
        Camera* second = SimCameras::connect(right);
        QVERIFY(second);
        camera()->deleteAllTakes(); // a free partition for Record All
        QTRY_COMPARE_WITH_TIMEOUT(camera()->savedTakes()->count(), 0, 5000);
        app()->setSelectedVornObject(camera());
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("CameraMenuBar.qml"));
        QTRY_COMPARE(menuTexts(find("fileMenu")).mid(0, 5),
                     (QStringList{"Connect Camera...", "Record All", "(Trigger All)", "(Abort All)", "-"}));
        const auto acqStates = [&] {
            return QList<int>{m_sim->stateDocument()["acq"].toObject()["state"].toInt(),
                              right->stateDocument()["acq"].toObject()["state"].toInt()};
        };
        window()->requestActivate();
        QTRY_VERIFY(window()->isActive());
        QTest::keyClick(window(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(acqStates(), (QList<int>{2, 2}), 5000);

        right->addFault(q7sim::Fault::httpError(409, true, "/trig"));
        // Trigger All acts on the cameras the program has seen recording.
        QTRY_VERIFY_WITH_TIMEOUT(
            camera()->acqState()->value().toInt() == 2 && second->acqState()->value().toInt() == 2, 3000);
        QVERIFY(shellAction("triggerAll")->property("enabled").toBool());
        clickItem(find<QQuickItem>("addButton"));
        QTRY_VERIFY(find("addMenu")->property("opened").toBool());
        triggerMenuItem(find("addMenu"), "Trigger All");
        QTRY_COMPARE_WITH_TIMEOUT(messageDialogs().size(), 1, 5000);
        const auto messageText = [this] {
            return childOf(qobject_cast<QQuickWindow*>(messageDialogs().last()), "messageText")
                ->property("text")
                .toString();
        };
        const QString message = messageText();
        QVERIFY2(message.contains("Stage Right: refused") && !message.contains("Stage Left"),
                 qPrintable(message));
        QMetaObject::invokeMethod(messageDialogs().first(), "close");
        QTRY_COMPARE_WITH_TIMEOUT(acqStates(), (QList<int>{1, 2}), 5000);
        right->clearFaults();
        window()->requestActivate();
        QTRY_VERIFY(window()->isActive());
        QTest::keyClick(window(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(acqStates(), (QList<int>{1, 1}), 5000);

        QVERIFY(SimCameras::put("127.0.0.2", "/acq/trig_offset", "123"));
        QTRY_COMPARE_WITH_TIMEOUT(camera()->trigOffset()->value().toInt(), 123, 3000);
        QObject* bar = find("menuBarLoader")->property("item").value<QObject*>();
        QMetaObject::invokeMethod(
            bar->property("actions").value<QObject*>()->property("copySettings").value<QObject*>(),
            "trigger");
        QQuickWindow* dialog = nullptr;
        QTRY_VERIFY((dialog = find<QQuickWindow>("copySettingsDialog")) && dialog->isExposed());
        QCOMPARE(itemsNamed(dialog->contentItem(), "copyTarget").first()->property("text").toString(),
                 QStringLiteral("Stage Right"));
        clickItem(childOf<QQuickItem>(dialog, "copyButton"));
        QTRY_COMPARE_WITH_TIMEOUT(messageDialogs().size(), 1, 10000);
        QVERIFY2(messageText().contains("All settings were copied to Stage Right."),
                 qPrintable(messageText()));
        QCOMPARE(right->stateDocument()["acq"].toObject()["trig_offset"].toInt(), 123);
        QMetaObject::invokeMethod(messageDialogs().first(), "close");
        second->disconnectCamera();
        QTRY_COMPARE_WITH_TIMEOUT(app()->vornObjModel()->count(), 1, 5000);
    }

    void disconnectRemovesTheTab()
    {
        QQuickItem* frame = find<QQuickItem>("cameraTabFrame");
        QObject* menu = openContextMenu(frame);
        QVERIFY(menu);
        triggerMenuItem(menu, "Disconnect");
        QTRY_COMPARE_WITH_TIMEOUT(app()->vornObjModel()->count(), 0, 5000);
        QTRY_COMPARE(itemsNamed(window()->contentItem(), "cameraTab").size(), 0);
        QCOMPARE(app()->selectedVornObject(), nullptr);
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("GeneralMenuBar.qml"));
    }
};

VORN_TEST_MAIN(TestShellCamera)

#include "tst_shellcamera.moc"
