#include "Camera.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>

class TestVornApp : public QObject
{
    Q_OBJECT

private slots:
    void identityAndSettingsFile()
    {
        auto* app = VornApp::instance();
        QVERIFY(app);
        QCOMPARE(app->applicationName(), QStringLiteral("VORN"));
        QCOMPARE(app->organizationName(), QStringLiteral("Korvanstead"));
        QCOMPARE(app->applicationVersion(), QStringLiteral("12.0"));

        const QString path = app->settings()->fileName();
        QVERIFY2(path.endsWith("/Korvanstead/VORN.json"), qPrintable(path));
        QVERIFY(path.startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
        app->setSetting("window/x", 10);
        app->settings()->sync();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(root.value("vorn").toObject().value("version").toString(), QStringLiteral("12.0"));
        QCOMPARE(root.value("window").toObject().value("x").toInt(), 10);
        QCOMPARE(app->setting("window/x").toInt(), 10);
        QCOMPARE(app->setting("window/y", 77).toInt(), 77);
        QVERIFY(!app->setting("window/y").isValid());
        QVERIFY(QFileInfo(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).isDir());
    }

    void timestampTexts()
    {
        auto* app = VornApp::instance();
        QCOMPARE(app->timestampTimeUsString(0, 999999999), QStringLiteral("00:00:00.999999Z"));
        QCOMPARE(app->timestampTimeNsString(0, 5), QStringLiteral("00:00:00.000000005Z"));
        // 2024-03-01T14:22:33 UTC
        const quint64 sec = 1709302953;
        QCOMPARE(app->timestampDateString(sec, 0), QStringLiteral("2024-03-01"));
        QCOMPARE(app->timestampTimeUsString(sec, 123456789), QStringLiteral("14:22:33.123456Z"));
        QCOMPARE(app->timestampTimeNsString(sec, 123456789), QStringLiteral("14:22:33.123456789Z"));
        // The fraction never carries into the seconds.
        QCOMPARE(app->timestampTimeNsString(sec, 999999999), QStringLiteral("14:22:33.999999999Z"));
        QCOMPARE(app->timestampDateString(86399, 999999999), QStringLiteral("1970-01-01"));

        const QString now = app->currentDateTime();
        QVERIFY2(QRegularExpression("^\\d{4}-\\d{2}-\\d{2}T\\d{6}Z$").match(now).hasMatch(), qPrintable(now));
    }

    void pathHelpers()
    {
        auto* app = VornApp::instance();
        QCOMPARE(app->fileNameFromPath("/data/take.1.vorn"), QStringLiteral("take.1.vorn"));
        QCOMPARE(app->baseNameFromPath("/data/take.1.vorn"), QStringLiteral("take.1"));
        QCOMPARE(app->filePathFromUrl("file:///data/a%20b.vorn"), QStringLiteral("/data/a b.vorn"));
        QCOMPARE(app->fileUrlFromPath("/data/a b.vorn").toString(), QStringLiteral("file:///data/a b.vorn"));
        QVERIFY(app->folderBytesAvailable(QDir::tempPath()) > 0);
        // A folder still to be made has the space of the disk it will be on.
        QCOMPARE(app->folderBytesAvailable(QDir::tempPath() + "/no/such/folder"),
                 app->folderBytesAvailable(QDir::tempPath()));
        QVERIFY(app->folderExists(QDir::tempPath()) && !app->folderExists(QDir::tempPath() + "/no/such"));
    }

    void selection()
    {
        auto* app = VornApp::instance();
        QSignalSpy selectedChanged(app, &VornApp::selectedVornObjectChanged);
        QSignalSpy backgroundChanged(app, &VornApp::backgroundViewChanged);
        VornObject first(VornObject::CameraType);
        VornObject second(VornObject::VornFileType);
        QVERIFY(QRegularExpression("^[0-9A-F]{1,16}$").match(first.objectName()).hasMatch());
        QVERIFY(first.objectName() != second.objectName());

        app->setSelectedVornObject(&first);
        QCOMPARE(selectedChanged.count(), 1);
        QVERIFY(first.selected());
        app->setSelectedVornObject(&first);
        app->setSelectedVornObject(nullptr);
        QCOMPARE(selectedChanged.count(), 1);

        app->setSelectedVornObject(&second);
        QCOMPARE(selectedChanged.count(), 3); // cleared, then set
        QVERIFY(!first.selected());
        QVERIFY(second.selected());
        QCOMPARE(app->selectedVornObject(), &second);

        // An object that asks to be unselected is.
        emit second.shouldBeUnselected();
        QCOMPARE(app->selectedVornObject(), nullptr);
        QVERIFY(!second.selected());
        QCOMPARE(selectedChanged.count(), 4);
        emit second.shouldBeUnselected(); // no longer connected
        QCOMPARE(selectedChanged.count(), 4);

        // Background view only changes with the explicit form.
        app->setNullVornObject(VornApp::SaveProgress);
        QCOMPARE(app->backgroundView(), VornApp::SaveProgress);
        QCOMPARE(backgroundChanged.count(), 1);
        app->setSelectedVornObject(&first);
        QCOMPARE(app->backgroundView(), VornApp::Empty);
        QCOMPARE(backgroundChanged.count(), 2);

        // Destroying the selected object clears the selection.
        auto* doomed = new VornObject(VornObject::TakeType);
        app->setSelectedVornObject(doomed);
        QVERIFY(!first.selected());
        selectedChanged.clear();
        delete doomed;
        QCOMPARE(app->selectedVornObject(), nullptr);
        QCOMPARE(selectedChanged.count(), 1);
    }

    void openFilesFilterAndObjectRemoval()
    {
        auto* app = VornApp::instance();
        QSignalSpy countChanged(app->openVornFiles(), &OpenVornFileModel::countChanged);
        QPointer<VornObject> camera = new VornObject(VornObject::CameraType, app);
        QPointer<VornObject> file = new VornObject(VornObject::VornFileType, app);
        app->vornObjModel()->append(camera);
        QCOMPARE(app->openVornFiles()->count(), 0);
        app->vornObjModel()->append(file);
        QCOMPARE(app->openVornFiles()->count(), 1);
        QCOMPARE(countChanged.count(), 1);

        app->setSelectedVornObject(file);
        QVERIFY(QMetaObject::invokeMethod(app, "removeVornObject", Q_ARG(VornObject*, file)));
        QCOMPARE(app->openVornFiles()->count(), 0);
        QCOMPARE(app->vornObjModel()->count(), 1);
        QTRY_VERIFY(file.isNull());
        QCOMPARE(app->selectedVornObject(), nullptr);
        QVERIFY(!camera.isNull());
        QVERIFY(QMetaObject::invokeMethod(app, "removeVornObject", Q_ARG(VornObject*, camera)));
        QTRY_VERIFY(camera.isNull());
    }

    // Camera tabs by name (numbers by value, case aside), then address,
    // whichever camera answers first, with the files after them; a renamed
    // camera moves to its place.
    void cameraTabsInAStableOrder()
    {
        auto* app = VornApp::instance();
        QNetworkAccessManager nam;
        VornTest::useNetwork(&nam);
        SimCameras sims;
        const QStringList names{"Rig 10", "rig 9", "Alpha", "Alpha"};
        for (int i = 0; i < names.size(); ++i) {
            q7sim::CameraConfig config;
            config.address = QStringLiteral("127.0.0.%1").arg(i + 2);
            config.name = names.at(i);
            QVERIFY(sims.start(config));
        }
        QPointer<VornObject> file = new VornObject(VornObject::VornFileType, app);
        app->vornObjModel()->append(file);
        for (const char* address : {"127.0.0.5", "127.0.0.2", "127.0.0.4", "127.0.0.3"})
            app->connectCamera(QString::fromLatin1(address));
        const auto order = [app] {
            QStringList tabs;
            for (VornObject* object : *app->vornObjModel()) {
                auto* camera = qobject_cast<Camera*>(object);
                tabs << (camera ? camera->name()->value().toString() + "@" + camera->address().toString()
                                : QStringLiteral("file"));
            }
            return tabs.join(", ");
        };
        QTRY_COMPARE(order(), QStringLiteral("Alpha@127.0.0.4, Alpha@127.0.0.5, rig 9@127.0.0.3, "
                                             "Rig 10@127.0.0.2, file"));
        app->findCamera(QHostAddress("127.0.0.4"))->name()->setValue(QStringLiteral("Zulu"));
        QCOMPARE(order(), QStringLiteral("Alpha@127.0.0.5, rig 9@127.0.0.3, Rig 10@127.0.0.2, "
                                         "Zulu@127.0.0.4, file"));
        for (VornObject* object : app->vornObjModel()->toList())
            QVERIFY(QMetaObject::invokeMethod(app, "removeVornObject", Q_ARG(VornObject*, object)));
        QTRY_VERIFY(!file);
        VornTest::useNetwork(nullptr);
    }
};

VORN_TEST_MAIN(TestVornApp)
#include "tst_vornapp.moc"
