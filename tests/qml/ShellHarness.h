#pragma once

// What the window shell tests share: the QML engine started the way main()
// starts it, a record of every warning, and ways to find, click and grab what
// the window shows.

#include "VornApp.h"
#include "VornStartup.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QQmlApplicationEngine>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTextDocument>

#include <memory>

// ---------------------------------------------------------------------------
// Every warning of the process, wherever it comes from: the QML engine reports
// through Qt's message handler as well as through QQmlEngine::warnings.

namespace ShellTestSupport {

inline QMutex warningsMutex;
inline QStringList recordedWarnings;
inline QtMessageHandler previousHandler = nullptr;

// Qt's animation timer reports its own bookkeeping when a loaded machine
// stops a window's render loop twice; it says nothing about the program.
inline bool isQtTimingNoise(const QString& msg)
{
    return msg.startsWith(QLatin1String("QUnifiedTimer::stopAnimationDriver"));
}

inline void recordingHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if ((type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) && !isQtTimingNoise(msg)) {
        QMutexLocker lock(&warningsMutex);
        recordedWarnings << msg;
    }
    if (previousHandler)
        previousHandler(type, context, msg);
}

inline QStringList takeWarnings()
{
    QMutexLocker lock(&warningsMutex);
    return std::exchange(recordedWarnings, {});
}

// The offscreen platform's default screen is smaller than the window's minimum
// size, and it shifts windows that lie partly off-screen. Before the
// application object exists (from a static initialiser of the test), give it
// one full-HD screen without window frames, so geometry round trips are exact.
inline bool configureOffscreenScreen()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.startsWith("offscreen") || platform.contains("configfile"))
        return false;
    // One file per process, removed at exit: tests may run in parallel.
    static QTemporaryFile config(QDir::tempPath() + QStringLiteral("/vorn-offscreen-XXXXXX.json"));
    if (!config.open())
        return false;
    config.write(R"({"windowFrameMargins": false, "screens": [{"name": "Full HD", "x": 0, "y": 0,
                   "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    return true;
}

// Screenshots for review go to screenshots/ of the build folder.
inline QString screenshotDir()
{
    const QString buildDir = qEnvironmentVariableIsSet("VORN_TEST_BUILD_DIR")
                                 ? qEnvironmentVariable("VORN_TEST_BUILD_DIR")
                                 : QDir::currentPath();
    const QString dir = buildDir + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir;
}

} // namespace ShellTestSupport

class ShellHarness : public QObject
{
protected:
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QStringList m_engineWarnings;

    VornApp* app() const { return VornApp::instance(); }

    QQuickWindow* window() const
    {
        return m_engine && !m_engine->rootObjects().isEmpty()
                   ? qobject_cast<QQuickWindow*>(m_engine->rootObjects().first())
                   : nullptr;
    }

    // The start-up of main() once the fonts are loaded: engine preparation and main.qml.
    bool load()
    {
        m_engine = std::make_unique<QQmlApplicationEngine>();
        connect(m_engine.get(), &QQmlEngine::warnings, this, [this](const QList<QQmlError>& errors) {
            for (const QQmlError& error : errors)
                m_engineWarnings << error.toString();
        });
        VornStartup::prepareEngine(*m_engine);
        m_engine->load(QUrl(QStringLiteral("qrc:/Vorn/main.qml")));
        if (!window())
            return false;
        // The selection is shown on the next turn of the event loop.
        return QTest::qWaitForWindowExposed(window()) && waitForView();
    }

    // Closes the window like the user (so it stores its geometry) and drops the engine.
    void unload()
    {
        if (window()) {
            // The views go before the objects they show, as in the program.
            app()->setNullVornObject();
            (void)QTest::qWaitFor([this] { return loadedView() == QLatin1String("aboutView"); });
            window()->close();
        }
        m_engine.reset();
    }

    bool waitForView()
    {
        return QTest::qWaitFor(
            [this] { return viewLoader() && viewLoader()->property("item").value<QObject*>(); });
    }

    // A named object anywhere: in the main window or in any other window (dialogs).
    template <class T = QObject> T* find(const QString& name) const
    {
        for (QWindow* w : QGuiApplication::topLevelWindows()) {
            if (w->objectName() == name && qobject_cast<T*>(w))
                return qobject_cast<T*>(w);
            if (T* obj = w->findChild<T*>(name))
                return obj;
            if (auto* qw = qobject_cast<QQuickWindow*>(w)) {
                if (T* obj = inItemTree<T>(qw->contentItem(), name))
                    return obj;
            }
        }
        return nullptr;
    }

    // A named object in the item tree: an item, or an object of an item (a
    // popup). Items made by repeaters and views are no QObject children of
    // them, so the search follows the items.
    template <class T> static T* inItemTree(QQuickItem* root, const QString& name)
    {
        if (root->objectName() == name && qobject_cast<T*>(root))
            return qobject_cast<T*>(root);
        for (QObject* child : root->children())
            if (child->objectName() == name && qobject_cast<T*>(child))
                return qobject_cast<T*>(child);
        for (QQuickItem* child : root->childItems())
            if (T* obj = inItemTree<T>(child, name))
                return obj;
        return nullptr;
    }

    // Items by name in the item tree (list view delegates are not QObject
    // children of the view), depth first.
    static QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name)
    {
        QList<QQuickItem*> found;
        const QList<QQuickItem*> children = root->childItems();
        for (QQuickItem* child : children) {
            if (child->objectName() == name)
                found << child;
            found << itemsNamed(child, name);
        }
        return found;
    }

    // A named object of one window: its items hang from the content item, other
    // objects from the window.
    template <class T = QObject> static T* childOf(QQuickWindow* w, const QString& name)
    {
        if (T* obj = w->findChild<T*>(name))
            return obj;
        return w->contentItem()->findChild<T*>(name);
    }

    QObject* viewLoader() const { return window() ? window()->findChild<QObject*>("viewLoader") : nullptr; }
    QObject* shell() const { return find("shell"); }
    QString loadedView() const
    {
        QObject* item = viewLoader()->property("item").value<QObject*>();
        return item ? item->objectName() : QString();
    }
    QString loadedMenuBar() const
    {
        QObject* loader = find("menuBarLoader");
        return loader ? loader->property("source").toUrl().fileName() : QString();
    }

    QObject* shellAction(const char* name) const { return shell()->property(name).value<QObject*>(); }

    // The texts of a menu's entries in order, "-" for a separator, "(x)" around disabled ones.
    static QStringList menuTexts(QObject* menu)
    {
        QStringList texts;
        const int count = menu->property("count").toInt();
        for (int i = 0; i < count; ++i) {
            QQuickItem* item = menuItemAt(menu, i);
            if (!item)
                continue;
            if (QByteArray(item->metaObject()->className()).contains("MenuSeparator")) {
                texts << QStringLiteral("-");
                continue;
            }
            const QString text = item->property("text").toString();
            texts << (item->property("enabled").toBool() ? text : QStringLiteral("(%1)").arg(text));
        }
        return texts;
    }

    static QQuickItem* menuItemAt(QObject* menu, int i)
    {
        QQuickItem* item = nullptr;
        QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item), Q_ARG(int, i));
        return item;
    }

    void clickItem(QQuickItem* item, Qt::MouseButton button = Qt::LeftButton)
    {
        QVERIFY(item);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(item->window(), button, Qt::NoModifier, centre.toPoint());
    }

    void triggerMenuItem(QObject* menu, const QString& text)
    {
        const int count = menu->property("count").toInt();
        for (int i = 0; i < count; ++i) {
            QQuickItem* item = menuItemAt(menu, i);
            if (item && item->property("text").toString() == text) {
                QVERIFY2(item->property("enabled").toBool(), qPrintable(text + " is disabled"));
                clickItem(item);
                QTRY_VERIFY(!menu->property("visible").toBool());
                return;
            }
        }
        QFAIL(qPrintable("no menu entry " + text));
    }

    QList<QObject*> messageDialogs() const
    {
        QList<QObject*> dialogs;
        for (const QVariant& v : shell()->property("messageDialogs").toList())
            dialogs << v.value<QObject*>();
        return dialogs;
    }

    QPoint centred() const
    {
        const QRect screen = window()->screen()->geometry();
        const QSize minimum = window()->minimumSize();
        return QPoint(screen.x() + qRound((screen.width() - minimum.width()) / 2.0),
                      screen.y() + qRound((screen.height() - minimum.height()) / 2.0));
    }

    QList<QQuickItem*> items(const QString& name) const { return itemsNamed(window()->contentItem(), name); }

    QString glyphColor() const { return find("acqGlyph")->property("color").value<QColor>().name(); }

    // Right-clicks a tab and returns its context menu once open.
    QObject* openContextMenu(QQuickItem* tab)
    {
        clickItem(tab, Qt::RightButton);
        QObject* menu = nullptr;
        const bool opened = QTest::qWaitFor([&] {
            menu = tab->findChild<QObject*>("contextMenu");
            return menu && menu->property("opened").toBool();
        });
        // A new menu lays its entries out when the window next polishes; until
        // then the popup is too short to hold them.
        return opened && QTest::qWaitFor([&] { return menuLaidOut(menu); }) ? menu : nullptr;
    }

    static bool menuLaidOut(QObject* menu)
    {
        const int count = menu->property("count").toInt();
        QQuickItem* last = count > 0 ? menuItemAt(menu, count - 1) : nullptr;
        if (!last || last->height() <= 0)
            return false;
        auto* content = menu->property("contentItem").value<QQuickItem*>();
        return content && content->height() >= last->mapToItem(content, QPointF(0, last->height())).y();
    }

    // Whether a dialog window lies over the middle of the main window.
    bool isCentred(const QWindow* dialog) const
    {
        const QRect main = window()->geometry();
        const QPoint centred(main.x() + qRound((main.width() - dialog->width()) / 2.0),
                             main.y() + qRound((main.height() - dialog->height()) / 2.0));
        if (dialog->position() == centred)
            return true;
        qInfo() << dialog->objectName() << "at" << dialog->position() << "instead of" << centred;
        return false;
    }

    QQuickWindow* confirmDialog() const { return find<QQuickWindow>("confirmDialog"); }

    // The text items of the shown windows that hold `marker`: those that read
    // it as markup (rich text, or text that looks like it), by the name of
    // their nearest named item, and the count of those that show it plainly.
    struct TextsHolding
    {
        QStringList asMarkup;
        int asPlain = 0;
    };
    static TextsHolding textsHolding(const QString& marker)
    {
        TextsHolding found;
        std::function<void(QQuickItem*)> visit = [&](QQuickItem* item) {
            const bool textItem = item->inherits("QQuickText") || item->inherits("QQuickTextEdit");
            const QString text = textItem ? item->property("text").toString() : QString();
            // Text.PlainText 0, AutoText 2; the others are markup.
            const int format = item->property("textFormat").toInt();
            if (text.contains(marker) && (format == 0 || (format == 2 && !Qt::mightBeRichText(text)))) {
                ++found.asPlain;
            } else if (text.contains(marker)) {
                QQuickItem* named = item;
                while (named->parentItem() && named->objectName().isEmpty())
                    named = named->parentItem();
                found.asMarkup << named->objectName() + ": " + text;
            }
            for (QQuickItem* child : item->childItems())
                visit(child);
        };
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (auto* qw = qobject_cast<QQuickWindow*>(w); qw && qw->isVisible())
                visit(qw->contentItem());
        return found;
    }

    void saveScreenshot(const QString& name, QQuickWindow* w = nullptr)
    {
        const QImage image = (w ? w : window())->grabWindow();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(ShellTestSupport::screenshotDir() + "/" + name));
    }
};
