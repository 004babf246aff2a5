// The window shell (main.qml and its siblings) under a real QML engine, started
// the way main() starts the program: no QML warning may appear, the window keeps
// its geometry in the settings, the selection drives what the window shows, and
// the dialogs, tabs and menus behave.

#include "Camera.h"
#include "ReviewGroup.h"
#include "ShellHarness.h"
#include "SimCameras.h"
#include "SsdTake.h"
#include "Take.h"
#include "VornFile.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QSignalSpy>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestShell : public ShellHarness
{
    Q_OBJECT

    // A simulated camera with two takes in its memory; the commands of the
    // menus arrive there.
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;

    // The program's own objects in the tab column: a camera on the simulated
    // one, not connected, so that the test decides its values; its two takes
    // (the second locked) and a take on its SSD; and a VORN file.
    Camera* newCamera(const QString& name, QObject* parent = nullptr) const
    {
        auto* camera = new Camera(QHostAddress(m_sim->config().address), parent);
        camera->name()->setRemoteValue(name);
        return camera;
    }

    Camera* addCameraAndFile()
    {
        Camera* camera = newCamera(QStringLiteral("Q7-0042 Stage Left"));
        for (int id : {1, 2}) {
            auto* take = new Take(id, camera);
            camera->takes()->append(take);
            take->setSavedOpened(true, false, true);
            take->setLocked(id == 2);
        }
        camera->ssdTakes()->append(new SsdTake(1, QStringLiteral("crash-rig-003.q7r"), camera));
        app()->vornObjModel()->append(camera);
        app()->vornObjModel()->append(
            new VornFile(QStringLiteral("/data/shots/sled-test-017.vorn"), nullptr));
        return camera;
    }

    // A selectable object of each type; takes belong to a camera of their own.
    std::unique_ptr<VornObject> newObject(int type) const
    {
        switch (type) {
        case VornObject::CameraType:
            return std::unique_ptr<VornObject>(newCamera(QStringLiteral("Q7 Test")));
        case VornObject::TakeType:
            return std::make_unique<Take>(2, newCamera(QStringLiteral("Q7 Test"), app()));
        case VornObject::SsdTakeType:
            return std::make_unique<SsdTake>(1, QStringLiteral("take.q7r"),
                                             newCamera(QStringLiteral("Q7 Test"), app()));
        case VornObject::VornFileType:
            return std::make_unique<VornFile>(QStringLiteral("/tmp/a.vorn"), nullptr);
        case VornObject::CameraGroupType:
            return std::make_unique<ReviewGroup>(QList<PlaybackVornObject*>{}, nullptr);
        default:
            return std::make_unique<VornObject>(VornObject::Type(type));
        }
    }

    // Clears the selection and waits for the About view: objects leave the
    // program only once their view has gone.
    void deselect()
    {
        app()->setNullVornObject();
        if (viewLoader())
            QTRY_COMPARE(loadedView(), QStringLiteral("aboutView"));
    }

    // The normal geometry the window stored.
    QRect storedGeometry() const
    {
        return QRect(app()->setting("window/x").toInt(), app()->setting("window/y").toInt(),
                     app()->setting("window/width").toInt(), app()->setting("window/height").toInt());
    }

    VornFile* addedFile() const { return qobject_cast<VornFile*>(app()->vornObjModel()->get(1)); }

    static CameraValue* value(Camera* camera, const char* name)
    {
        return camera->property(name).value<CameraValue*>();
    }

    // The bodies of the commands the simulated camera received at `path`.
    QList<QByteArray> commands(const QString& path) const
    {
        QList<QByteArray> bodies;
        for (const q7sim::RecordedRequest& request :
             SimCameras::requests(m_sim, QStringLiteral("POST"), path))
            bodies << request.body;
        return bodies;
    }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast(); // the scan of the start-up finds nothing here
        m_sim = m_sims.start();
        QVERIFY(m_sim);
        QVERIFY(SimCameras::post(m_sim->config().address, QStringLiteral("/prtn"), "{\"cnt\":2}"));
        QCOMPARE(SimCameras::recordTake(m_sim, 50, 20), 1);
        QCOMPARE(SimCameras::recordTake(m_sim, 50, 20), 2);
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("remixicon")));
        if (offscreenScreenConfigured)
            QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1920, 1080));
    }

    void init()
    {
        takeWarnings();
        m_engineWarnings.clear();
        app()->setSetting("window/maximized", false);
        for (const char* key :
             {"window/x", "window/y", "window/width", "window/height", "vorn/disable_take_delete_warn"})
            app()->settings()->remove(QLatin1String(key));
        QVERIFY(load());
    }

    void cleanup()
    {
        deselect();
        app()->vornObjModel()->clear();
        QTest::qWait(20);
        unload();
        const QStringList warnings = takeWarnings() + m_engineWarnings;
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void cleanupTestCase()
    {
        m_sims.stopAll();
        qInstallMessageHandler(previousHandler);
    }

    // ---- window ----------------------------------------------------------

    void windowTitleAndMinimumSize()
    {
        QCOMPARE(window()->title(), QStringLiteral("VORN"));
        QCOMPARE(window()->minimumSize(), QSize(1024, 640));
        QVERIFY(window()->isVisible());
        // Without stored geometry the window opens centred at its minimum size.
        QCOMPARE(window()->geometry(), QRect(centred(), QSize(1024, 640)));
        QCOMPARE(window()->visibility(), QWindow::Windowed);
    }

    void normalGeometryIsStoredAndRestored()
    {
        window()->setGeometry(QRect(40, 30, 1400, 800));
        unload();
        QCOMPARE(storedGeometry(), QRect(40, 30, 1400, 800));
        QCOMPARE(app()->setting("window/maximized").toBool(), false);

        QVERIFY(load());
        QCOMPARE(window()->geometry(), QRect(40, 30, 1400, 800));
        QCOMPARE(window()->visibility(), QWindow::Windowed);
    }

    // A maximized or minimized window stores the centred minimum-size
    // geometry; a maximized one reopens maximized.
    void maximizedOrMinimizedWindowStoresCentredMinimumGeometry_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("maximized") << true;
        QTest::newRow("minimized") << false;
    }

    void maximizedOrMinimizedWindowStoresCentredMinimumGeometry()
    {
        QFETCH(bool, maximized);
        window()->setGeometry(QRect(40, 30, 1400, 800));
        const QWindow::Visibility visibility = maximized ? QWindow::Maximized : QWindow::Minimized;
        window()->setVisibility(visibility);
        QTRY_COMPARE(window()->visibility(), visibility);
        const QPoint centredPos = centred();
        unload();
        QCOMPARE(app()->setting("window/maximized").toBool(), maximized);
        QCOMPARE(storedGeometry(), QRect(centredPos, QSize(1024, 640)));
        if (!maximized)
            return;

        QVERIFY(load());
        QTRY_COMPARE(window()->visibility(), QWindow::Maximized);
        // Restoring it yields a normal window. (The offscreen platform forgets
        // the geometry a window was given before it was first shown maximized,
        // so the restored geometry itself is not checked here.)
        window()->showNormal();
        QTRY_COMPARE(window()->visibility(), QWindow::Windowed);
    }

    // ---- selection drives the loaders ------------------------------------

    void aboutViewWithNothingSelected()
    {
        QCOMPARE(app()->selectedVornObject(), nullptr);
        QCOMPARE(loadedView(), QStringLiteral("aboutView")); // its menu bar: the selection table
        auto* view = qobject_cast<QQuickItem*>(viewLoader()->property("item").value<QObject*>());
        QVERIFY(view);
        QVERIFY2(view->hasActiveFocus(), "the loaded view takes the active focus");
        // The About view names the program and its version.
        QCOMPARE(find("aboutTitle")->property("text").toString(), QStringLiteral("VORN"));
        QCOMPARE(find("aboutVersion")->property("text").toString(),
                 QStringLiteral("Version ") + QCoreApplication::applicationVersion());
        saveScreenshot("about-view.png"); // for review
    }

    void saveProgressAndAboutSwitchTheBackgroundView()
    {
        QSignalSpy backgroundSpy(app(), &VornApp::backgroundViewChanged);
        QObject* saveProgressButton = find("saveProgressButton");
        QVERIFY(saveProgressButton);
        clickItem(qobject_cast<QQuickItem*>(saveProgressButton));
        QCOMPARE(app()->backgroundView(), VornApp::SaveProgress);
        QCOMPARE(backgroundSpy.count(), 1);
        QVERIFY(waitForView());
        QCOMPARE(loadedMenuBar(), QStringLiteral("GeneralMenuBar.qml"));

        // "About VORN" of the Help menu returns to the About view.
        QMetaObject::invokeMethod(shellAction("about"), "trigger");
        QCOMPARE(app()->backgroundView(), VornApp::Empty);
        QCOMPARE(backgroundSpy.count(), 2);

        // "Save Progress" of the View menu does what the button does.
        QMetaObject::invokeMethod(shellAction("saveProgress"), "trigger");
        QCOMPARE(app()->backgroundView(), VornApp::SaveProgress);
        QVERIFY(waitForView());
        QTRY_COMPARE(loadedView(), QStringLiteral("saveProgressView"));
    }

    void anotherObjectOfTheSameTypeGetsFreshViewAndMenuBar()
    {
        std::unique_ptr<Camera> firstCamera(newCamera(QStringLiteral("First")));
        std::unique_ptr<Camera> secondCamera(newCamera(QStringLiteral("Second")));
        Camera& first = *firstCamera;
        Camera& second = *secondCamera;
        app()->setSelectedVornObject(&first);
        QObject* loader = find("menuBarLoader");
        QTRY_COMPARE(loader->property("item").value<QObject*>()->property("vornObject").value<QObject*>(),
                     static_cast<QObject*>(&first));
        QObject* firstView = viewLoader()->property("item").value<QObject*>();

        app()->setSelectedVornObject(&second);
        QTRY_COMPARE(loader->property("item").value<QObject*>()->property("vornObject").value<QObject*>(),
                     static_cast<QObject*>(&second));
        // Each object gets a view of its own, which takes the focus.
        QTRY_VERIFY(viewLoader()->property("item").value<QObject*>() != firstView);
        auto* view = qobject_cast<QQuickItem*>(viewLoader()->property("item").value<QObject*>());
        QVERIFY(view && view->hasActiveFocus());
        deselect();
    }

    // ---- menus -----------------------------------------------------------

    // The selection decides the view and the menu bar; each bar has the
    // entries of its object.
    void selectionLoadsItsViewAndMenuBar_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("menuBar");
        QTest::addColumn<QStringList>("fileMenu");
        const QStringList head{"Connect Camera...",
                               "(Record All)",
                               "(Trigger All)",
                               "(Abort All)",
                               "-",
                               "Open VORN File...",
                               "Batch Save VORN Files...",
                               "(Close All VORN Files)",
                               "-",
                               "Review Side by Side...",
                               "Review Newest Takes",
                               "-"};
        const QStringList objectTail{"Save...", "Close", "-", "Exit"};
        QTest::newRow("nothing") << -1 << "aboutView"
                                 << "GeneralMenuBar.qml" << head + QStringList{"Exit"};
        QTest::newRow("camera") << int(VornObject::CameraType) << "cameraView"
                                << "CameraMenuBar.qml"
                                << head + QStringList{"(Save All Takes...)",
                                                      "(Delete All Takes...)",
                                                      "-",
                                                      "(Open SSD Take...)",
                                                      "(Save All SSD Takes...)",
                                                      "(Close All SSD Takes)",
                                                      "-",
                                                      "(Copy Settings to Other Cameras...)",
                                                      "-",
                                                      "Disconnect",
                                                      "-",
                                                      "Exit"};
        QTest::newRow("take") << int(VornObject::TakeType) << "takeView"
                              << "TakeMenuBar.qml" << head + QStringList{"Save...", "Delete...", "-", "Exit"};
        QTest::newRow("ssd take") << int(VornObject::SsdTakeType) << "ssdTakeView"
                                  << "SsdTakeMenuBar.qml" << head + objectTail;
        QTest::newRow("file") << int(VornObject::VornFileType) << "fileView"
                              << "FileMenuBar.qml" << head + objectTail;
        QTest::newRow("review") << int(VornObject::CameraGroupType) << "reviewView"
                                << "ReviewMenuBar.qml"
                                << head + QStringList{"Save Review...", "Close Review", "-", "Exit"};
        QTest::newRow("unknown") << int(VornObject::UnknownType) << "aboutView"
                                 << "GeneralMenuBar.qml" << head + QStringList{"Exit"};
    }

    void selectionLoadsItsViewAndMenuBar()
    {
        QFETCH(int, type);
        QFETCH(QString, view);
        QFETCH(QString, menuBar);
        QFETCH(QStringList, fileMenu);
        std::unique_ptr<VornObject> obj = type >= 0 ? newObject(type) : nullptr;
        app()->setSelectedVornObject(obj.get());
        QTRY_COMPARE(loadedMenuBar(), menuBar);
        QTRY_COMPARE(loadedView(), view);
        QCOMPARE(menuTexts(find("fileMenu")), fileMenu);
        QCOMPARE(menuTexts(find("viewMenu")), QStringList{"Save Progress"});
        QCOMPARE(menuTexts(find("helpMenu")), (QStringList{"Check for Updates...", "About VORN"}));

        // Every menu opens (and closes) without a warning.
        for (const char* name : {"fileMenu", "viewMenu", "helpMenu"}) {
            QObject* m = find(name);
            QMetaObject::invokeMethod(m, "open");
            QTRY_VERIFY(m->property("opened").toBool());
            QMetaObject::invokeMethod(m, "close");
            QTRY_VERIFY(!m->property("visible").toBool());
        }

        // Losing the selection returns to the general menu bar.
        deselect();
        QCOMPARE(loadedMenuBar(), QStringLiteral("GeneralMenuBar.qml"));
    }

    void exitStoresTheGeometryAndQuits()
    {
        window()->setGeometry(QRect(60, 70, 1300, 760));
        // The engine's quit signal is what ends the event loop in the program.
        disconnect(m_engine.get(), &QQmlEngine::quit, nullptr, nullptr);
        QSignalSpy quitSpy(m_engine.get(), &QQmlEngine::quit);
        QCOMPARE(shellAction("exit")->property("text").toString(), QStringLiteral("Exit"));
        QMetaObject::invokeMethod(shellAction("exit"), "trigger");
        QCOMPARE(quitSpy.count(), 1);
        QVERIFY(!window()->isVisible());
        QCOMPARE(storedGeometry(), QRect(60, 70, 1300, 760));
    }

    void addMenuOffersConnectAndOpen()
    {
        QObject* addMenu = find("addMenu");
        QVERIFY(addMenu);
        clickItem(find<QQuickItem>("addButton"));
        QTRY_VERIFY(addMenu->property("opened").toBool());
        QCOMPARE(addMenu->property("width").toReal(), 160.0);
        QCOMPARE(menuTexts(addMenu), (QStringList{"Connect Camera...", "Open VORN File...", "-",
                                                  "(Record All)", "(Trigger All)", "(Abort All)"}));
        saveScreenshot("add-menu.png");
        QMetaObject::invokeMethod(addMenu, "close");
        QTRY_VERIFY(!addMenu->property("visible").toBool());
    }

    // ---- tab column ------------------------------------------------------

    void tabsShowCamerasTakesAndFiles()
    {
        addCameraAndFile();
        QTRY_COMPARE(items("cameraTab").size(), 1);
        QTRY_COMPARE(items("fileTab").size(), 1);
        QCOMPARE(find("cameraNameLabel")->property("text").toString(), QStringLiteral("Q7-0042 Stage Left"));
        QCOMPARE(find("fileNameLabel")->property("text").toString(), QStringLiteral("sled-test-017.vorn"));
        QCOMPARE(find<QQuickItem>("cameraTabFrame")->height(), 50.0);
        QCOMPARE(find<QQuickItem>("fileTab")->height(), 50.0);

        const QList<QQuickItem*> takeTabs = items("takeTab");
        QCOMPARE(takeTabs.size(), 2);
        QCOMPARE(items("ssdTakeTab").size(), 1);
        QStringList takeTexts;
        for (QQuickItem* tab : takeTabs) {
            QCOMPARE(tab->height(), 28.0);
            takeTexts << tab->property("text").toString();
        }
        takeTexts.sort();
        QCOMPARE(takeTexts, (QStringList{"Take 1", "Take 2"}));
        QCOMPARE(items("ssdTakeTab").first()->property("text").toString(),
                 QStringLiteral("crash-rig-003.q7r"));
        // A locked take (being saved) shows the save glyph in the highlight colour.
        for (QQuickItem* tab : takeTabs) {
            const bool locked = tab->property("text").toString() == QStringLiteral("Take 2");
            QCOMPARE(tab->property("glyph").toString(), QString(QChar(locked ? 0xF0B3 : 0xEB8F)));
            QCOMPARE(tab->property("glyphColor").value<QColor>().name(),
                     locked ? QStringLiteral("#d25f15") : QStringLiteral("#ffffff"));
        }
        // Sub-tabs hang under the camera tab, overlapping by 2 pixels.
        QQuickItem* frame = find<QQuickItem>("cameraTabFrame");
        QQuickItem* firstTake =
            takeTabs.first()->y() < takeTabs.last()->y() ? takeTabs.first() : takeTabs.last();
        QCOMPARE(firstTake->y(), frame->y() + frame->height() - 2);
    }

    void acquisitionStateColoursTheCameraGlyph()
    {
        CameraValue* acqState = addCameraAndFile()->acqState();
        QTRY_VERIFY(find("acqGlyph"));
        QCOMPARE(find("acqGlyph")->property("text").toString(), QString(QChar(0xF288)));
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff")); // stand-by
        acqState->setRemoteValue(Camera::AcqRecording);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        acqState->setRemoteValue(Camera::AcqRecordingWrapped);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        acqState->setRemoteValue(5);
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff"));
        // Triggered: blinks red and white every 333 ms.
        acqState->setRemoteValue(Camera::AcqTriggered);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        QElapsedTimer timer;
        timer.start();
        QTRY_COMPARE_WITH_TIMEOUT(glyphColor(), QStringLiteral("#ffffff"), 3000);
        QVERIFY2(timer.elapsed() >= 250, qPrintable(QString::number(timer.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(glyphColor(), QStringLiteral("#ff0000"), 3000);
        acqState->setRemoteValue(Camera::AcqStandby);
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff"));
    }

    void ssdProgressShowsWhileTheSsdSaves()
    {
        Camera* camera = addCameraAndFile();
        QTRY_VERIFY(find("ssdProgressRow"));
        QQuickItem* row = find<QQuickItem>("ssdProgressRow");
        QVERIFY(!row->isVisible());
        value(camera, "ssdState")->setRemoteValue(Camera::SsdReady);
        value(camera, "ssdProgress")->setRemoteValue(42);
        QVERIFY(!row->isVisible());
        value(camera, "ssdWrState")->setRemoteValue(Camera::SsdWrSave);
        QVERIFY(row->isVisible());
        QCOMPARE(find("ssdProgressLabel")->property("text").toString(), QStringLiteral("42%"));
        value(camera, "ssdState")->setRemoteValue(Camera::SsdShutdown);
        QVERIFY(!row->isVisible());
    }

    void clickingATabSelectsItsObject()
    {
        Camera* camera = addCameraAndFile();
        QTRY_COMPARE(items("takeTab").size(), 2);
        clickItem(find<QQuickItem>("cameraTabFrame"));
        QCOMPARE(app()->selectedVornObject(), camera);
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("CameraMenuBar.qml"));
        QCOMPARE(find<QQuickItem>("cameraTabFrame")->property("isSelected").toBool(), true);
        saveScreenshot("main-window.png"); // for review

        QQuickItem* take = items("takeTab").first();
        clickItem(take);
        QCOMPARE(app()->selectedVornObject(), take->property("vornObject").value<QObject*>());
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("TakeMenuBar.qml"));
        QCOMPARE(find<QQuickItem>("cameraTabFrame")->property("isSelected").toBool(), false);

        clickItem(items("ssdTakeTab").first());
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("SsdTakeMenuBar.qml"));

        clickItem(find<QQuickItem>("fileTab"));
        QCOMPARE(app()->selectedVornObject(), addedFile());
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("FileMenuBar.qml"));
        // Whatever is selected, the view keeps the keyboard focus.
        auto* view = qobject_cast<QQuickItem*>(viewLoader()->property("item").value<QObject*>());
        QTRY_VERIFY(view && view->hasActiveFocus());
    }

    void cameraContextMenuActsOnTheCamera()
    {
        // With saved takes, an open SSD take and a ready SSD its entries can
        // act (the menu bar's test shows them disabled for a camera without).
        Camera* camera = addCameraAndFile();
        value(camera, "ssdState")->setRemoteValue(Camera::SsdReady);
        QTRY_VERIFY(find("cameraTabFrame"));
        m_sim->clearRequests();
        QObject* menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        QVERIFY(menu);
        QCOMPARE(menuTexts(menu),
                 (QStringList{"Save All Takes...", "Delete All Takes...", "-", "Open SSD Take...",
                              "Save All SSD Takes...", "Close All SSD Takes", "-",
                              "(Copy Settings to Other Cameras...)", "-", "Disconnect"}));
        QSignalSpy leaving(camera, &Camera::shouldBeUnselected);
        triggerMenuItem(menu, "Disconnect");
        QCOMPARE(leaving.count(), 1);

        menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        triggerMenuItem(menu, "Close All SSD Takes");
        QTRY_COMPARE(commands("/ssd-fclose"), QList<QByteArray>{"{\"take\":1}"});

        // Deleting all takes asks first; "Cancel" deletes nothing.
        for (const char* button : {"cancelButton", "acceptButton"}) {
            menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
            triggerMenuItem(menu, "Delete All Takes...");
            QTRY_VERIFY(confirmDialog() && confirmDialog()->isVisible());
            clickItem(childOf<QQuickItem>(confirmDialog(), button));
            QTRY_VERIFY(!confirmDialog());
        }
        QTRY_COMPARE(commands("/del"), QList<QByteArray>{"{\"take\":-1}"});
    }

    void takeDeleteWarningCanBeTurnedOff()
    {
        app()->setSetting("vorn/disable_take_delete_warn", true);
        addCameraAndFile();
        QTRY_VERIFY(find("cameraTabFrame"));
        m_sim->clearRequests();
        QObject* menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        triggerMenuItem(menu, "Delete All Takes");
        QTRY_COMPARE(commands("/del"), QList<QByteArray>{"{\"take\":-1}"});
        QVERIFY(!confirmDialog());

        for (QQuickItem* tab : items("takeTab")) {
            if (tab->property("text").toString() != QStringLiteral("Take 1"))
                continue;
            menu = openContextMenu(tab);
            QCOMPARE(menuTexts(menu), (QStringList{"Save...", "Delete"}));
            triggerMenuItem(menu, "Delete");
            QTRY_COMPARE(commands("/del").size(), 2);
            QCOMPARE(commands("/del").last(), QByteArray("{\"take\":1}"));
        }
    }

    void fileAndSsdTakeContextMenusClose()
    {
        addCameraAndFile();
        QTRY_VERIFY(find("fileTab"));
        QSignalSpy fileClosed(addedFile(), &VornFile::closed);
        QObject* menu = openContextMenu(find<QQuickItem>("fileTab"));
        QCOMPARE(menuTexts(menu), (QStringList{"Save...", "Close"}));
        triggerMenuItem(menu, "Close");
        QCOMPARE(fileClosed.count(), 1);

        m_sim->clearRequests();
        menu = openContextMenu(items("ssdTakeTab").first());
        QCOMPARE(menuTexts(menu), (QStringList{"Save...", "Close"}));
        triggerMenuItem(menu, "Close");
        QTRY_COMPARE(commands("/ssd-fclose"), QList<QByteArray>{"{\"take\":1}"});
    }

    void closeAllVornFilesFollowsTheOpenFiles()
    {
        QObject* closeAll = shellAction("closeAllVornFiles");
        QCOMPARE(closeAll->property("enabled").toBool(), false);
        addCameraAndFile();
        QCOMPARE(app()->openVornFiles()->count(), 1);
        QVERIFY(closeAll->property("enabled").toBool());
    }

    // ---- dialogs ---------------------------------------------------------

    void connectCameraOpensTheDialogThatScans()
    {
        QMetaObject::invokeMethod(shellAction("connectCamera"), "trigger");
        auto* dialog = find<QQuickWindow>("connectDialog");
        QVERIFY(QTest::qWaitForWindowExposed(dialog));

        // "Scan for Cameras" starts a discovery scan (inside the test's network sandbox).
        app()->stopBroadcast();
        QCOMPARE(find("scanButton")->property("text").toString(), QStringLiteral("Scan for Cameras"));
        clickItem(find<QQuickItem>("scanButton"));
        QVERIFY(app()->broadcasting());
        app()->stopBroadcast();
        dialog->close();
    }

    void connectDialogAcceptsOnlyIpv4_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("private") << "192.168.1.20" << true;
        QTest::newRow("zeros") << "0.0.0.0" << true;
        QTest::newRow("highest") << "255.255.255.255" << true;
        QTest::newRow("first > 255") << "256.1.1.1" << false;
        QTest::newRow("second > 255") << "10.300.1.1" << false;
        QTest::newRow("third > 255") << "10.0.999.1" << false;
        QTest::newRow("fourth > 255") << "10.0.0.256" << false;
        QTest::newRow("three numbers") << "10.0.0" << false;
        QTest::newRow("five numbers") << "10.0.0.1.2" << false;
        QTest::newRow("host name") << "camera.local" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("trailing dot") << "10.0.0.1." << false;
    }

    void connectDialogAcceptsOnlyIpv4()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        auto* dialog = find<QQuickWindow>("connectDialog");
        QVERIFY(dialog);
        QCOMPARE(dialog->title(), QStringLiteral("Connect Camera"));
        QCOMPARE(dialog->minimumSize(), QSize(220, 90));
        QCOMPARE(dialog->maximumSize(), QSize(220, 90));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));

        QObject* field = find("addressField");
        field->setProperty("text", address);
        QCOMPARE(field->property("acceptableInput").toBool(), valid);

        auto* connectButton = find<QQuickItem>("connectButton");
        QCOMPARE(connectButton->isEnabled(), valid);
        if (!valid) {
            // Neither the button nor Return connects to an invalid address.
            QSignalSpy connectSpy(dialog, SIGNAL(connectRequested(QString)));
            clickItem(connectButton);
            QVariant connected;
            QMetaObject::invokeMethod(dialog, "tryConnect", Q_RETURN_ARG(QVariant, connected));
            QCOMPARE(connected.toBool(), false);
            QCOMPARE(connectSpy.count(), 0);
            QVERIFY(dialog->isVisible());
        }
        dialog->close();
    }

    void messageDialogsGrowWithTheirTextAndCascade()
    {
        const QString longText = "<b>Error opening SSD Take:</b><br>\"" +
                                 QString("the file system reports a damaged block ").repeated(12) + "\"";
        emit app()->showMessage("<b>short</b>");
        emit app()->showMessage(longText);
        emit app()->showMessage("third");
        QList<QObject*> dialogs = messageDialogs();
        QCOMPARE(dialogs.size(), 3);
        auto* shortOne = qobject_cast<QQuickWindow*>(dialogs[0]);
        auto* longOne = qobject_cast<QQuickWindow*>(dialogs[1]);
        QVERIFY(QTest::qWaitForWindowExposed(longOne));
        QCOMPARE(shortOne->title(), QStringLiteral("VORN"));
        QCOMPARE(childOf(shortOne, "okButton")->property("text").toString(), QStringLiteral("OK"));
        // The user cannot resize it; the text sizes it: a long one wraps at a
        // wider width and the dialog grows until all of it shows.
        QCOMPARE(longOne->minimumSize(), longOne->maximumSize());
        QVERIFY(longOne->width() > shortOne->width());
        QVERIFY(longOne->height() > shortOne->height() + 100);
        auto* text = childOf<QQuickItem>(longOne, "messageText");
        QCOMPARE(text->property("text").toString(), longText);
        QVERIFY(text->property("contentHeight").toReal() > 4 * 13 * 1.5); // wrapped into lines
        QVERIFY(text->property("contentWidth").toReal() <= text->width());
        const QRectF shown =
            text->mapRectToScene(QRectF(0, 0, text->width(), text->property("contentHeight").toReal()));
        QVERIFY2(shown.bottom() <= childOf<QQuickItem>(longOne, "okButton")->mapToScene(QPointF(0, 0)).y(),
                 "the text runs under the button");
        saveScreenshot("message-dialog.png", longOne);

        // The first is centred on the main window, each next 30 pixels right and down.
        QVERIFY(isCentred(shortOne));
        for (int i = 1; i < 3; ++i)
            QCOMPARE(qobject_cast<QWindow*>(dialogs[i])->position(),
                     qobject_cast<QWindow*>(dialogs[i - 1])->position() + QPoint(30, 30));

        // "OK" closes a dialog; a new one cascades from the last still open.
        const QPoint thirdPos = qobject_cast<QWindow*>(dialogs[2])->position();
        clickItem(childOf<QQuickItem>(longOne, "okButton"));
        QTRY_COMPARE(messageDialogs().size(), 2);
        emit app()->showMessage("fourth");
        QCOMPARE(qobject_cast<QWindow*>(messageDialogs().last())->position(), thirdPos + QPoint(30, 30));

        // With all closed the next opens centred again.
        for (QObject* d : messageDialogs())
            qobject_cast<QWindow*>(d)->close();
        QTRY_COMPARE(messageDialogs().size(), 0);
        emit app()->showMessage("fifth");
        QVERIFY(isCentred(qobject_cast<QWindow*>(messageDialogs().first())));
        qobject_cast<QWindow*>(messageDialogs().first())->close();
    }

    void openDialogStartsInTheStoredFolder()
    {
        QObject* dialog = find("shell")->property("openVornFileDialog").value<QObject*>();
        QVERIFY(dialog);
        QCOMPARE(dialog->property("title").toString(), QStringLiteral("Open VORN File"));
        QCOMPARE(dialog->property("nameFilters").toStringList(),
                 (QStringList{"VORN files (*.vorn)", "All files (*)"}));
        const QString folder = QDir::tempPath();
        app()->setSetting("open/folder", folder);
        QMetaObject::invokeMethod(dialog, "openInLastFolder");
        QCOMPARE(dialog->property("currentFolder").toUrl(), QUrl::fromLocalFile(folder));
        QMetaObject::invokeMethod(dialog, "close");
    }
};

VORN_TEST_MAIN(TestShell)

#include "tst_shell.moc"
