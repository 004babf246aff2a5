// VORN files through the window: chosen in the open dialog they open, show
// their frames in the take view with the file's menu bar and tab, close from
// their tab and all at once; a file that is no VORN file says so.

#include "../qml/ShellHarness.h"
#include "VornFile.h"
#include "VornFileBytes.h"
#include "VornTestMain.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <QUrl>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestVornFileShell : public ShellHarness
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString makeFile(const QString& name, const VornFileBytes::FileLayout& layout)
    {
        const QString path = m_dir.filePath(name);
        return VornFileBytes::write(path, VornFileBytes::build(layout)) ? path : QString();
    }

    // What the dialog hands over when the user picks files.
    void choose(const QStringList& paths)
    {
        QVariantList urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        QObject* dialog = shell()->property("openVornFileDialog").value<QObject*>();
        QVERIFY(dialog);
        QVERIFY(QMetaObject::invokeMethod(dialog, "filesChosen", Q_ARG(QVariant, QVariant(urls))));
    }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast();
        QVERIFY(load());
        QCOMPARE(loadedView(), QStringLiteral("aboutView"));
        takeWarnings();
    }

    void openPlayAndClose()
    {
        VornFileBytes::FileLayout layout;
        layout.width = 64;
        layout.height = 48;
        layout.firstFr = 10;
        layout.frames = 30;
        const QString first = makeFile("first.vorn", layout);
        const QString second = makeFile("second.vorn", layout);
        QVERIFY(shellAction("openVornFile")->property("enabled").toBool());
        QVERIFY(!shellAction("closeAllVornFiles")->property("enabled").toBool());

        choose({first, second});
        QCOMPARE(app()->openVornFiles()->count(), 2);
        auto* file = qobject_cast<VornFile*>(app()->selectedVornObject());
        QVERIFY(file);
        QCOMPARE(file->fileName(), second);
        QTRY_COMPARE(loadedView(), QStringLiteral("fileView"));
        QTRY_COMPARE(loadedMenuBar(), QStringLiteral("FileMenuBar.qml"));
        QTRY_VERIFY(find("fileNameLabel"));
        QStringList names;
        for (QQuickItem* label : itemsNamed(window()->contentItem(), "fileNameLabel"))
            names << label->property("text").toString();
        names.sort();
        QCOMPARE(names, (QStringList{"first.vorn", "second.vorn"}));

        // It plays: the position moves through the file's frames.
        QTRY_VERIFY_WITH_TIMEOUT(file->fr() > 12, 5000);
        QVERIFY(file->fr() <= 39);
        QCOMPARE(file->imgFrame()->image().size(), QSize(64, 48));
        QCOMPARE(file->imgAdjModel()->gain()->value().toDouble(), 2.0);

        QVERIFY(shellAction("closeAllVornFiles")->property("enabled").toBool());
        QMetaObject::invokeMethod(shellAction("closeAllVornFiles"), "trigger");
        QCOMPARE(app()->openVornFiles()->count(), 0);
        QTRY_COMPARE(loadedView(), QStringLiteral("aboutView"));
        QTRY_VERIFY(!shellAction("closeAllVornFiles")->property("enabled").toBool());
        QTRY_VERIFY(!find("fileNameLabel"));
        QCOMPARE(takeWarnings(), QStringList());
    }

    void unsupportedFileSaysSo()
    {
        VornFileBytes::FileLayout layout;
        layout.version = 7;
        choose({makeFile("future.vorn", layout)});
        QCOMPARE(app()->openVornFiles()->count(), 0);
        QTRY_COMPARE(shell()->property("messageDialogs").toList().size(), 1);
        QObject* dialog = shell()->property("messageDialogs").toList().first().value<QObject*>();
        QCOMPARE(dialog->property("text").toString(),
                 QStringLiteral("<b>Unsupported VORN file version!</b>"));
        QMetaObject::invokeMethod(dialog, "close");
        const QStringList warnings = takeWarnings();
        for (const QString& warning : warnings)
            QVERIFY2(warning.contains("unsupported vorn file") || warning.contains("error opening"),
                     qPrintable(warning));
    }

    void cleanupTestCase() { unload(); }
};

VORN_TEST_MAIN(TestVornFileShell)
#include "tst_vornfileshell.moc"
