#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Camera;
class QQmlApplicationEngine;
class QQuickItem;
class QQuickWindow;
class Take;

// Drives the program's window, started as main() starts it, through the
// states the README shows and grabs each one from the window system's real
// window: the camera view with a live picture, a take playing, the Save
// dialog, and the save progress view with a finished and a running save.
// Every step waits for the state it needs (a camera connected, a frame shown,
// a save finished) and the run ends at the first state that is not reached.
class ScreenshotDriver : public QObject
{
    Q_OBJECT

public:
    ScreenshotDriver(QQmlApplicationEngine& engine, const QString& outDir, const QString& saveDir,
                     QObject* parent = nullptr);

    // Takes every picture; false, after saying on stderr which state was not
    // reached, at the first failure.
    bool run();

private:
    void takePictures();

    // Waits up to `timeoutMs` for `done`; throws, naming `state`, when it is not reached.
    static void waitFor(const QString& state, const std::function<bool()>& done, int timeoutMs = 30000);

    QQuickWindow* mainWindow() const;
    // The view the main window shows, and its name.
    QObject* view() const;
    QString loadedView() const;
    // Selects an object and waits for its view.
    void select(QObject* object, const QString& viewName);
    // The frame display of the loaded view, once it paints a picture.
    bool framePainted() const;

    Camera* connectedCamera(const QString& name) const;
    Take* recordTake(Camera* camera);
    QQuickWindow* openSaveDialog(Take* take);

    void click(QQuickItem* item, Qt::MouseButton button = Qt::LeftButton);
    // Writes the window's picture to <outDir>/<name>.png.
    void grab(QQuickWindow* window, const QString& name);

    QQmlApplicationEngine& m_engine;
    QString m_outDir;
    QString m_saveDir;
};
