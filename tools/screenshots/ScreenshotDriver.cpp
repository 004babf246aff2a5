#include "ScreenshotDriver.h"

#include "Camera.h"
#include "SaveJob.h"
#include "SaveManager.h"
#include "SavedTakeModel.h"
#include "Take.h"
#include "VornApp.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <cstdio>

namespace {

// Thrown by a step whose state did not come; run() reports it.
struct StateNotReached
{
    QString state;
};

QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name)
{
    QList<QQuickItem*> found;
    for (QQuickItem* child : root->childItems()) {
        if (child->objectName() == name)
            found << child;
        found << itemsNamed(child, name);
    }
    return found;
}

QQuickItem* menuItemAt(QObject* menu, int i)
{
    QQuickItem* item = nullptr;
    QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item), Q_ARG(int, i));
    return item;
}

// A menu lays its entries out when the window next polishes; until then the
// popup is too short to hold them and a click may miss.
bool menuLaidOut(QObject* menu)
{
    const int count = menu->property("count").toInt();
    QQuickItem* last = count > 0 ? menuItemAt(menu, count - 1) : nullptr;
    auto* content = menu->property("contentItem").value<QQuickItem*>();
    return last && last->height() > 0 && content &&
           content->height() >= last->mapToItem(content, QPointF(0, last->height())).y();
}

QString valueText(const QObject* object, const char* property)
{
    auto* value = object->property(property).value<QObject*>();
    return value ? value->property("value").toString() : QString();
}

QList<SaveJob*> saveJobs()
{
    return VornApp::instance()->saveManager()->saveJobs()->toList();
}

} // namespace

ScreenshotDriver::ScreenshotDriver(QQmlApplicationEngine& engine, const QString& outDir,
                                   const QString& saveDir, QObject* parent)
    : QObject(parent), m_engine(engine), m_outDir(outDir), m_saveDir(saveDir)
{
}

bool ScreenshotDriver::run()
{
    try {
        takePictures();
        return true;
    } catch (const StateNotReached& failure) {
        std::fprintf(stderr, "screenshots: not reached: %s (view shown: %s)\n", qPrintable(failure.state),
                     qPrintable(loadedView()));
        return false;
    }
}

void ScreenshotDriver::takePictures()
{
    VornApp* app = VornApp::instance();
    waitFor("the main window shown", [this] { return mainWindow() && mainWindow()->isExposed(); });
    // The pointer rests beside the window, so that nothing shows a hover.
    QScreen* screen = mainWindow()->screen();
    QCursor::setPos(screen, screen->geometry().bottomRight());

    // Both cameras answer discovery at start-up; a take on each fills the tab column.
    Camera* colour = connectedCamera(QStringLiteral("Q7 Colour"));
    Camera* mono = connectedCamera(QStringLiteral("Q7 Mono"));
    Take* take = recordTake(colour);
    recordTake(mono);

    select(colour, QStringLiteral("cameraView"));
    waitFor("the camera view with a live picture", [this] { return framePainted(); });
    grab(mainWindow(), QStringLiteral("camera-view"));

    // In and out points a little inside the take, so that the scrubber shows them.
    const qint64 first = take->firstFrame(), last = take->lastFrame();
    const qint64 margin = (last - first) / 8;
    take->setProperty("aFr", first + margin);
    take->setProperty("bFr", last - margin);
    select(take, QStringLiteral("takeView"));
    waitFor("the take view with a frame", [this] { return framePainted(); });
    take->play();
    const qint64 playedFrom = take->fr();
    waitFor("the take playing", [&] {
        return take->state() == PlaybackVornObject::Play && qAbs(take->fr() - playedFrom) >= 10 &&
               framePainted();
    });
    grab(mainWindow(), QStringLiteral("take-playing"));
    take->pause();

    // A save that finishes: the take's in to out points as a VORN file.
    const QString name = QStringLiteral("Take%1").arg(take->takeId());
    app->setSetting(QStringLiteral("save/dest"), int(SaveJob::FileDest));
    app->setSetting(QStringLiteral("save/format"), int(Util::FormatVorn));
    app->setSetting(QStringLiteral("save/codec"), int(Util::CodecVorn));
    app->setSetting(QStringLiteral("save/filename"), name);
    app->setSetting(QStringLiteral("save/folder"), m_saveDir);
    QQuickWindow* dialog = openSaveDialog(take);
    click(itemsNamed(dialog->contentItem(), QStringLiteral("saveButton")).value(0));
    waitFor(
        "a VORN save ended", [] { return saveJobs().size() == 1 && saveJobs().first()->ended(); }, 120000);
    if (saveJobs().first()->state() != SaveJob::Done)
        throw StateNotReached{"a VORN save finished; it ended with: " + saveJobs().first()->error()};

    // One that runs a while: AV1 video of the same frames, shown in the dialog first.
    app->setSetting(QStringLiteral("save/format"), int(Util::FormatMp4));
    app->setSetting(QStringLiteral("save/codec"), int(Util::CodecAV1_YUV420P));
    app->setSetting(QStringLiteral("save/fr_rate"), 30);
    app->setSetting(QStringLiteral("save/quality"), 35);
    dialog = openSaveDialog(take);
    grab(dialog, QStringLiteral("save-dialog"));
    click(itemsNamed(dialog->contentItem(), QStringLiteral("saveButton")).value(0));
    waitFor(
        "an MP4 save running in the save progress view",
        [this] {
            const QList<SaveJob*> jobs = saveJobs();
            QQuickWindow* w = mainWindow();
            if (jobs.size() == 2 && jobs.at(1)->ended())
                throw StateNotReached{"an MP4 save running; it ended with: " + jobs.at(1)->error()};
            return loadedView() == QLatin1String("saveProgressView") && jobs.size() == 2 &&
                   jobs.at(1)->state() == SaveJob::Saving && jobs.at(1)->progress() >= 20 &&
                   itemsNamed(w->contentItem(), QStringLiteral("saveJobRow")).size() == 2;
        },
        300000);
    grab(mainWindow(), QStringLiteral("save-progress"));
    saveJobs().at(1)->cancel();
    waitFor("the MP4 save cancelled", [] { return saveJobs().at(1)->ended(); });
}

void ScreenshotDriver::waitFor(const QString& state, const std::function<bool()>& done, int timeoutMs)
{
    if (!QTest::qWaitFor(done, timeoutMs))
        throw StateNotReached{state};
}

QQuickWindow* ScreenshotDriver::mainWindow() const
{
    const QList<QObject*> roots = m_engine.rootObjects();
    return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

QObject* ScreenshotDriver::view() const
{
    QObject* loader =
        mainWindow() ? mainWindow()->findChild<QObject*>(QStringLiteral("viewLoader")) : nullptr;
    return loader ? loader->property("item").value<QObject*>() : nullptr;
}

QString ScreenshotDriver::loadedView() const
{
    QObject* shown = view();
    return shown ? shown->objectName() : QString();
}

void ScreenshotDriver::select(QObject* object, const QString& viewName)
{
    // A new selection loads a fresh view a moment later; until then the last
    // one stays.
    VornApp* app = VornApp::instance();
    const QPointer<QObject> before = app->selectedVornObject() == object ? nullptr : view();
    app->setSelectedVornObject(qobject_cast<VornObject*>(object));
    waitFor(QStringLiteral("%1 of %2").arg(viewName, object->objectName()), [&] {
        QObject* shown = view();
        if (!shown || shown == before || shown->objectName() != viewName)
            return false;
        for (const char* property : {"camera", "vornObject"}) {
            const QVariant shows = shown->property(property);
            if (shows.isValid() && shows.value<QObject*>() != object)
                return false;
        }
        return true;
    });
}

bool ScreenshotDriver::framePainted() const
{
    QQuickWindow* w = mainWindow();
    if (!w)
        return false;
    std::function<QQuickItem*(QQuickItem*)> display = [&](QQuickItem* item) -> QQuickItem* {
        if (item->inherits("ImgFrameControl") && item->isVisible())
            return item;
        for (QQuickItem* child : item->childItems())
            if (QQuickItem* found = display(child))
                return found;
        return nullptr;
    };
    QQuickItem* control = display(w->contentItem());
    if (!control)
        return false;
    auto* frame = control->property("imgFrame").value<QObject*>();
    return frame && !frame->property("image").value<QImage>().isNull() &&
           !control->property("paintedRect").toRectF().isEmpty();
}

Camera* ScreenshotDriver::connectedCamera(const QString& name) const
{
    Camera* found = nullptr;
    waitFor(name + " connected", [&] {
        for (VornObject* object : VornApp::instance()->vornObjModel()->toList()) {
            auto* camera = qobject_cast<Camera*>(object);
            if (camera && camera->connected() && valueText(camera, "name") == name)
                found = camera;
        }
        return found != nullptr;
    });
    return found;
}

Take* ScreenshotDriver::recordTake(Camera* camera)
{
    const QString name = valueText(camera, "name");
    const int takesBefore = camera->savedTakes()->count();
    // Acquisition states: 1 stand-by, 2 recording, 6 recording after the
    // memory wrapped, 3 triggered.
    const auto acqState = [camera] {
        return valueText(camera, "acqState").toInt();
    };
    camera->record();
    waitFor(name + " recording", [&] { return acqState() == 2 || acqState() == 6; });
    camera->trigger();
    Take* take = nullptr;
    waitFor(name + " saving a take", [&] {
        if (camera->savedTakes()->count() <= takesBefore)
            return false;
        take = qobject_cast<Take*>(camera->savedTakes()->get(camera->savedTakes()->count() - 1));
        return take && take->valuesInit() && take->lastFrame() - take->firstFrame() >= 100;
    });
    return take;
}

QQuickWindow* ScreenshotDriver::openSaveDialog(Take* take)
{
    // "Save..." from the take tab's right-click menu, as a user opens it.
    QQuickItem* tab = nullptr;
    waitFor(QStringLiteral("the tab of take %1").arg(take->takeId()), [&] {
        for (QQuickItem* item : itemsNamed(mainWindow()->contentItem(), QStringLiteral("takeTab")))
            if (item->property("vornObject").value<QObject*>() == take && item->isVisible())
                tab = item;
        return tab != nullptr;
    });
    click(tab, Qt::RightButton);
    QObject* menu = nullptr;
    waitFor("the take tab's menu open", [&] {
        menu = tab->findChild<QObject*>(QStringLiteral("contextMenu"));
        return menu && menu->property("opened").toBool() && menuLaidOut(menu);
    });
    QQuickItem* entry = nullptr;
    for (int i = 0; i < menu->property("count").toInt() && !entry; ++i) {
        QQuickItem* item = menuItemAt(menu, i);
        if (item && item->property("text").toString() == QLatin1String("Save...") &&
            item->property("enabled").toBool())
            entry = item;
    }
    if (!entry)
        throw StateNotReached{QStringLiteral("an enabled \"Save...\" in the take tab's menu")};
    click(entry);

    QQuickWindow* dialog = nullptr;
    waitFor("the Save dialog shown", [&] {
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (w->objectName() == QLatin1String("saveDialog") && w->isExposed())
                dialog = qobject_cast<QQuickWindow*>(w);
        if (!dialog)
            return false;
        const QList<QQuickItem*> save = itemsNamed(dialog->contentItem(), QStringLiteral("saveButton"));
        return !save.isEmpty() && save.first()->isEnabled();
    });
    return dialog;
}

void ScreenshotDriver::click(QQuickItem* item, Qt::MouseButton button)
{
    if (!item || !item->window())
        throw StateNotReached{QStringLiteral("an item to click")};
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(item->window(), button, Qt::NoModifier, centre.toPoint());
}

void ScreenshotDriver::grab(QQuickWindow* window, const QString& name)
{
    // The first grab lays out what the last change moved; the second shows it.
    (void)window->grabWindow();
    const QImage image = window->grabWindow();
    // A picture of one colour means the window showed nothing.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 16; y += 7)
        for (int x = 0; x < image.width() && colours.size() < 16; x += 7)
            colours.insert(image.pixel(x, y));
    if (image.isNull() || colours.size() < 16)
        throw StateNotReached{QStringLiteral("a picture of %1 with content").arg(name)};
    const QString path = QDir(m_outDir).filePath(name + QStringLiteral(".png"));
    // PNG quality 0: the strongest compression.
    if (!image.convertToFormat(QImage::Format_RGB888).save(path, "PNG", 0))
        throw StateNotReached{QStringLiteral("%1 written").arg(path)};
    std::fprintf(stdout, "screenshots: %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
}
