// The window shell (main.qml and its siblings) under a real QML engine, started
// the way main() starts the program: no QML warning may appear, the window keeps
// its geometry in the settings, the selection drives what the window shows, and
// the dialogs, tabs and menus behave.

#include "QQmlObjectListModel.h"
#include "ShellHarness.h"
#include "VornObject.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QSignalSpy>

// ---------------------------------------------------------------------------
// Stand-ins for the objects the tab column shows. They offer exactly the
// properties, slots and signals the shell reads from cameras, takes and files.

// An observable value as cameras publish them: `camera.name.value`.
class FakeValue : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant value READ value WRITE setValue NOTIFY valueChanged)
public:
    explicit FakeValue(const QVariant& value, QObject* parent) : QObject(parent), m_value(value) {}
    QVariant value() const { return m_value; }
    void setValue(const QVariant& value)
    {
        if (value == m_value)
            return;
        m_value = value;
        emit valueChanged();
    }
signals:
    void valueChanged();

private:
    QVariant m_value;
};

class FakeTake : public VornObject
{
    Q_OBJECT
    Q_PROPERTY(int takeId READ takeId CONSTANT)
    Q_PROPERTY(bool locked READ locked WRITE setLocked NOTIFY lockedChanged)
public:
    FakeTake(int takeId, QObject* parent) : VornObject(TakeType, parent), m_takeId(takeId) {}
    int takeId() const { return m_takeId; }
    bool locked() const { return m_locked; }
    void setLocked(bool locked)
    {
        m_locked = locked;
        emit lockedChanged();
    }
    int deleteCalls = 0;
public slots:
    void deleteTake() { ++deleteCalls; }
signals:
    void lockedChanged();

private:
    int m_takeId;
    bool m_locked = false;
};

class FakeSsdTake : public VornObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
public:
    FakeSsdTake(const QString& name, QObject* parent) : VornObject(SsdTakeType, parent), m_name(name) {}
    QString name() const { return m_name; }
    int fcloseCalls = 0;
public slots:
    void fclose() { ++fcloseCalls; }

private:
    QString m_name;
};

class FakeCamera : public VornObject
{
    Q_OBJECT
    Q_PROPERTY(QObject* name MEMBER m_name CONSTANT)
    Q_PROPERTY(QObject* acqState MEMBER m_acqState CONSTANT)
    Q_PROPERTY(QObject* ssdState MEMBER m_ssdState CONSTANT)
    Q_PROPERTY(QObject* ssdWrState MEMBER m_ssdWrState CONSTANT)
    Q_PROPERTY(QObject* ssdProgress MEMBER m_ssdProgress CONSTANT)
    Q_PROPERTY(QQmlObjectListModelBase* savedTakes MEMBER m_savedTakes CONSTANT)
    Q_PROPERTY(QQmlObjectListModelBase* ssdTakes MEMBER m_ssdTakes CONSTANT)
    Q_PROPERTY(QQmlObjectListModelBase* ssdTakesSorted MEMBER m_ssdTakes CONSTANT)
public:
    explicit FakeCamera(const QString& cameraName, QObject* parent = nullptr)
        : VornObject(CameraType, parent), name(new FakeValue(cameraName, this)),
          acqState(new FakeValue(1, this)), ssdState(new FakeValue(0, this)),
          ssdWrState(new FakeValue(0, this)), ssdProgress(new FakeValue(0, this)),
          savedTakes(new QQmlObjectListModel<FakeTake>(this)),
          ssdTakes(new QQmlObjectListModel<FakeSsdTake>(this))
    {
        m_name = name;
        m_acqState = acqState;
        m_ssdState = ssdState;
        m_ssdWrState = ssdWrState;
        m_ssdProgress = ssdProgress;
        m_savedTakes = savedTakes;
        m_ssdTakes = ssdTakes;
    }
    FakeValue* name;
    FakeValue* acqState;
    FakeValue* ssdState;
    FakeValue* ssdWrState;
    FakeValue* ssdProgress;
    QQmlObjectListModel<FakeTake>* savedTakes;
    QQmlObjectListModel<FakeSsdTake>* ssdTakes;
    int deleteAllCalls = 0;
    int closeAllSsdCalls = 0;
    int disconnectCalls = 0;
public slots:
    void deleteAllTakes() { ++deleteAllCalls; }
    void ssdFCloseAll() { ++closeAllSsdCalls; }
    void disconnectCamera() { ++disconnectCalls; }
signals:
    void cameraFWUpdateAvailable(const QString& version, const QString& msg);

private:
    QObject* m_name;
    QObject* m_acqState;
    QObject* m_ssdState;
    QObject* m_ssdWrState;
    QObject* m_ssdProgress;
    QQmlObjectListModelBase* m_savedTakes;
    QQmlObjectListModelBase* m_ssdTakes;
};

class FakeVornFile : public VornObject
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName CONSTANT)
public:
    FakeVornFile(const QString& fileName, QObject* parent = nullptr)
        : VornObject(VornFileType, parent), m_fileName(fileName)
    {
    }
    QString fileName() const { return m_fileName; }
    int closeCalls = 0;
public slots:
    void close() { ++closeCalls; }

private:
    QString m_fileName;
};

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestShell : public ShellHarness
{
    Q_OBJECT

    // A camera with two saved takes (the second locked) and one SSD take, and a
    // VORN file, in the tab column.
    FakeCamera* addCameraAndFile()
    {
        auto* camera = new FakeCamera(QStringLiteral("Q7-0042 Stage Left"));
        camera->savedTakes->append(new FakeTake(1, camera));
        auto* locked = new FakeTake(2, camera);
        locked->setLocked(true);
        camera->savedTakes->append(locked);
        camera->ssdTakes->append(new FakeSsdTake(QStringLiteral("crash-rig-003.q7r"), camera));
        app()->vornObjModel()->append(camera);
        app()->vornObjModel()->append(new FakeVornFile(QStringLiteral("/data/shots/sled-test-017.vorn")));
        return camera;
    }

    FakeVornFile* addedFile() const { return qobject_cast<FakeVornFile*>(app()->vornObjModel()->get(1)); }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("remixicon")));
        if (offscreenScreenConfigured)
            QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1920, 1080));
    }

    void init()
    {
        takeWarnings();
        m_engineWarnings.clear();
        writeSettings({{"window/maximized", false}});
        app()->settings()->remove(QStringLiteral("window/x"));
        app()->settings()->remove(QStringLiteral("window/y"));
        app()->settings()->remove(QStringLiteral("window/width"));
        app()->settings()->remove(QStringLiteral("window/height"));
        app()->settings()->remove(QStringLiteral("vorn/disable_take_delete_warn"));
        QVERIFY(load());
    }

    void cleanup()
    {
        app()->setNullVornObject();
        app()->vornObjModel()->clear();
        QTest::qWait(20);
        unload();
        const QStringList warnings = takeWarnings() + m_engineWarnings;
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

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
        QCOMPARE(app()->setting("window/x").toInt(), 40);
        QCOMPARE(app()->setting("window/y").toInt(), 30);
        QCOMPARE(app()->setting("window/width").toInt(), 1400);
        QCOMPARE(app()->setting("window/height").toInt(), 800);
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
        QCOMPARE(app()->setting("window/x").toInt(), centredPos.x());
        QCOMPARE(app()->setting("window/y").toInt(), centredPos.y());
        QCOMPARE(app()->setting("window/width").toInt(), 1024);
        QCOMPARE(app()->setting("window/height").toInt(), 640);
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
        QCOMPARE(loadedView(), QStringLiteral("aboutView"));
        QCOMPARE(loadedMenuBar(), QStringLiteral("GeneralMenuBar.qml"));
        auto* view = qobject_cast<QQuickItem*>(viewLoader()->property("item").value<QObject*>());
        QVERIFY(view);
        QVERIFY2(view->hasActiveFocus(), "the loaded view takes the active focus");
        // The About view names the program and its version.
        QCOMPARE(find("aboutTitle")->property("text").toString(), QStringLiteral("VORN"));
        QCOMPARE(find("aboutVersion")->property("text").toString(),
                 QStringLiteral("Version ") + QCoreApplication::applicationVersion());
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
        FakeCamera first(QStringLiteral("First"));
        FakeCamera second(QStringLiteral("Second"));
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
        app()->setNullVornObject();
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
        const QStringList head{entry("Connect Camera...", appHas("connectCamera")),
                               "-",
                               entry("Open VORN File...", appHas("openVornFile")),
                               entry("Batch Save VORN Files...", appHas("openVornFileForSaveBatch")),
                               "(Close All VORN Files)",
                               "-"};
        const QStringList objectTail{"(Save...)", "Close", "-", "Exit"};
        QTest::newRow("nothing") << -1 << "aboutView" << "GeneralMenuBar.qml" << head + QStringList{"Exit"};
        QTest::newRow("camera") << int(VornObject::CameraType) << "cameraView" << "CameraMenuBar.qml"
                                << head + QStringList{"(Save All Takes...)", "(Delete All Takes...)", "-",
                                                      "(Open SSD Take...)", "(Save All SSD Takes...)",
                                                      "(Close All SSD Takes)", "-", "Disconnect", "-", "Exit"};
        QTest::newRow("take") << int(VornObject::TakeType) << "takeView" << "TakeMenuBar.qml"
                              << head + QStringList{"(Save...)", "Delete...", "-", "Exit"};
        QTest::newRow("ssd take") << int(VornObject::SsdTakeType) << "ssdTakeView" << "SsdTakeMenuBar.qml"
                                  << head + objectTail;
        QTest::newRow("file") << int(VornObject::VornFileType) << "fileView" << "FileMenuBar.qml"
                              << head + objectTail;
        QTest::newRow("camera group") << int(VornObject::CameraGroupType) << "aboutView" << "GeneralMenuBar.qml"
                                      << head + QStringList{"Exit"};
        QTest::newRow("unknown") << int(VornObject::UnknownType) << "aboutView" << "GeneralMenuBar.qml"
                                 << head + QStringList{"Exit"};
    }

    void selectionLoadsItsViewAndMenuBar()
    {
        QFETCH(int, type);
        QFETCH(QString, view);
        QFETCH(QString, menuBar);
        QFETCH(QStringList, fileMenu);
        std::unique_ptr<VornObject> obj;
        switch (type) {
        case -1:
            break;
        case VornObject::CameraType:
            obj = std::make_unique<FakeCamera>("Q7 Test");
            break;
        case VornObject::TakeType:
            obj = std::make_unique<FakeTake>(2, nullptr);
            break;
        case VornObject::SsdTakeType:
            obj = std::make_unique<FakeSsdTake>("take.q7", nullptr);
            break;
        case VornObject::VornFileType:
            obj = std::make_unique<FakeVornFile>("/tmp/a.vorn");
            break;
        default:
            obj = std::make_unique<VornObject>(VornObject::Type(type));
            break;
        }
        app()->setSelectedVornObject(obj.get());
        QTRY_COMPARE(loadedMenuBar(), menuBar);
        QTRY_COMPARE(loadedView(), view);
        QCOMPARE(menuTexts(find("fileMenu")), fileMenu);
        QCOMPARE(menuTexts(find("viewMenu")), QStringList{"Save Progress"});
        QCOMPARE(menuTexts(find("helpMenu")),
                 (QStringList{entry("Check for Updates...", appHas("updateCheck")), "About VORN"}));

        // Every menu opens (and closes) without a warning.
        for (const char* name : {"fileMenu", "viewMenu", "helpMenu"}) {
            QObject* m = find(name);
            QMetaObject::invokeMethod(m, "open");
            QTRY_VERIFY(m->property("opened").toBool());
            QMetaObject::invokeMethod(m, "close");
            QTRY_VERIFY(!m->property("visible").toBool());
        }

        // Losing the selection returns to the general menu bar.
        obj.reset();
        QCOMPARE(app()->selectedVornObject(), nullptr);
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("GeneralMenuBar.qml"));
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
        QCOMPARE(app()->setting("window/x").toInt(), 60);
        QCOMPARE(app()->setting("window/y").toInt(), 70);
        QCOMPARE(app()->setting("window/width").toInt(), 1300);
        QCOMPARE(app()->setting("window/height").toInt(), 760);
    }

    void addMenuOffersConnectAndOpen()
    {
        QObject* addMenu = find("addMenu");
        QVERIFY(addMenu);
        clickItem(find<QQuickItem>("addButton"));
        QTRY_VERIFY(addMenu->property("opened").toBool());
        QCOMPARE(addMenu->property("width").toReal(), 160.0);
        QCOMPARE(menuTexts(addMenu), (QStringList{entry("Connect Camera...", appHas("connectCamera")),
                                                  entry("Open VORN File...", appHas("openVornFile"))}));
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
        FakeCamera* camera = addCameraAndFile();
        QTRY_VERIFY(find("acqGlyph"));
        QCOMPARE(find("acqGlyph")->property("text").toString(), QString(QChar(0xF288)));
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff")); // stand-by
        camera->acqState->setValue(2);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        camera->acqState->setValue(6);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        camera->acqState->setValue(5);
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff"));
        // Triggered: blinks red and white every 333 ms.
        camera->acqState->setValue(3);
        QCOMPARE(glyphColor(), QStringLiteral("#ff0000"));
        QElapsedTimer timer;
        timer.start();
        QTRY_COMPARE_WITH_TIMEOUT(glyphColor(), QStringLiteral("#ffffff"), 3000);
        QVERIFY2(timer.elapsed() >= 250, qPrintable(QString::number(timer.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(glyphColor(), QStringLiteral("#ff0000"), 3000);
        camera->acqState->setValue(1);
        QCOMPARE(glyphColor(), QStringLiteral("#ffffff"));
    }

    void ssdProgressShowsWhileTheSsdSaves()
    {
        FakeCamera* camera = addCameraAndFile();
        QTRY_VERIFY(find("ssdProgressRow"));
        QQuickItem* row = find<QQuickItem>("ssdProgressRow");
        QVERIFY(!row->isVisible());
        camera->ssdState->setValue(3); // ready
        camera->ssdProgress->setValue(42);
        QVERIFY(!row->isVisible());
        camera->ssdWrState->setValue(1); // saving
        QVERIFY(row->isVisible());
        QCOMPARE(find("ssdProgressLabel")->property("text").toString(), QStringLiteral("42%"));
        camera->ssdState->setValue(4); // shutting down
        QVERIFY(!row->isVisible());
    }

    void clickingATabSelectsItsObject()
    {
        FakeCamera* camera = addCameraAndFile();
        QTRY_COMPARE(items("takeTab").size(), 2);
        clickItem(find<QQuickItem>("cameraTabFrame"));
        QCOMPARE(app()->selectedVornObject(), camera);
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("CameraMenuBar.qml"));
        QCOMPARE(find<QQuickItem>("cameraTabFrame")->property("isSelected").toBool(), true);

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
        FakeCamera* camera = addCameraAndFile();
        camera->ssdState->setValue(3);
        QTRY_VERIFY(find("cameraTabFrame"));
        QObject* menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        QVERIFY(menu);
        QCOMPARE(menuTexts(menu),
                 (QStringList{"(Save All Takes...)", "Delete All Takes...", "-", "Open SSD Take...",
                              "(Save All SSD Takes...)", "Close All SSD Takes", "-", "Disconnect"}));
        triggerMenuItem(menu, "Disconnect");
        QCOMPARE(camera->disconnectCalls, 1);

        menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        triggerMenuItem(menu, "Close All SSD Takes");
        QCOMPARE(camera->closeAllSsdCalls, 1);

        // Deleting all takes asks first, in a dialog over the window; "Cancel"
        // deletes nothing.
        for (const char* button : {"cancelButton", "acceptButton"}) {
            menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
            triggerMenuItem(menu, "Delete All Takes...");
            QTRY_VERIFY(confirmDialog() && confirmDialog()->isVisible());
            QVERIFY(isCentred(confirmDialog()));
            clickItem(childOf<QQuickItem>(confirmDialog(), button));
            QTRY_VERIFY(!confirmDialog());
        }
        QCOMPARE(camera->deleteAllCalls, 1);
    }

    void takeDeleteWarningCanBeTurnedOff()
    {
        app()->setSetting("vorn/disable_take_delete_warn", true);
        FakeCamera* camera = addCameraAndFile();
        QTRY_VERIFY(find("cameraTabFrame"));
        QObject* menu = openContextMenu(find<QQuickItem>("cameraTabFrame"));
        triggerMenuItem(menu, "Delete All Takes");
        QCOMPARE(camera->deleteAllCalls, 1);
        QVERIFY(!confirmDialog());

        for (QQuickItem* tab : items("takeTab")) {
            if (tab->property("text").toString() != QStringLiteral("Take 1"))
                continue;
            menu = openContextMenu(tab);
            QCOMPARE(menuTexts(menu), (QStringList{"(Save...)", "Delete"}));
            triggerMenuItem(menu, "Delete");
            QCOMPARE(qobject_cast<FakeTake*>(tab->property("vornObject").value<QObject*>())->deleteCalls, 1);
        }
    }

    void fileAndSsdTakeContextMenusClose()
    {
        addCameraAndFile();
        QTRY_VERIFY(find("fileTab"));
        QObject* menu = openContextMenu(find<QQuickItem>("fileTab"));
        QCOMPARE(menuTexts(menu), (QStringList{"(Save...)", "Close"}));
        triggerMenuItem(menu, "Close");
        QCOMPARE(addedFile()->closeCalls, 1);

        QQuickItem* ssdTab = items("ssdTakeTab").first();
        menu = openContextMenu(ssdTab);
        QCOMPARE(menuTexts(menu), (QStringList{"(Save...)", "Close"}));
        triggerMenuItem(menu, "Close");
        QCOMPARE(qobject_cast<FakeSsdTake*>(ssdTab->property("vornObject").value<QObject*>())->fcloseCalls,
                 1);
    }

    void closeAllVornFilesFollowsTheOpenFiles()
    {
        QObject* closeAll = shellAction("closeAllVornFiles");
        QCOMPARE(closeAll->property("enabled").toBool(), false);
        addCameraAndFile();
        QCOMPARE(app()->openVornFiles()->count(), 1);
        QCOMPARE(closeAll->property("enabled").toBool(), appHas("closeAllVornFiles"));
    }

    // ---- screenshots for review ------------------------------------------

    void screenshots()
    {
        saveScreenshot("about-view.png");

        FakeCamera* camera = addCameraAndFile();
        camera->acqState->setValue(2);
        camera->ssdState->setValue(3);
        camera->ssdWrState->setValue(1);
        camera->ssdProgress->setValue(64);
        QTRY_VERIFY(find("cameraTabFrame"));
        clickItem(find<QQuickItem>("cameraTabFrame"));
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("CameraMenuBar.qml"));
        QTest::qWait(50);
        saveScreenshot("main-window.png");
    }

    // ---- dialogs ---------------------------------------------------------

    void connectCameraOpensTheDialogCentredAndScans()
    {
        QMetaObject::invokeMethod(shellAction("connectCamera"), "trigger");
        auto* dialog = find<QQuickWindow>("connectDialog");
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(isCentred(dialog));
        QTRY_VERIFY(dialog->isActive());

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
        QCOMPARE(connectButton->isEnabled(), valid && appHas("connectCamera"));
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
        const QString longText =
            "<b>Error opening SSD Take:</b><br>\"" + QString("the file system reports a damaged block ").repeated(12) + "\"";
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
        const QRectF shown = text->mapRectToScene(QRectF(0, 0, text->width(), text->property("contentHeight").toReal()));
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
