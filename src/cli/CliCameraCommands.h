#pragma once

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <functional>

class AbstractTake;
class Camera;
class QObject;
class VornApp;

// The commands that read and write cameras: discovery, the mirrored values
// and setting them; and what every camera command needs: connecting, finding
// takes, waiting and printing. Results go to stdout as text or, with `json`,
// as one JSON document.
class CliCameraCommands
{
public:
    CliCameraCommands(VornApp* app, bool json, int timeoutMs);

    int discover();
    // Searches the local networks and waits until the cameras that answered
    // are connected; those, in the order they answered.
    QList<Camera*> discoverCameras();
    int info(const QString& address, int takeId, const QString& ssdTakeName);
    int set(const QString& address, const QStringList& assignments);

    // Connects to the camera and waits for its first poll; null (and the
    // message printed) when no camera answers in time.
    Camera* connect(const QString& address);
    // A saved take of the camera, or an SSD take opened by file name; null
    // with the message printed when there is none. `exitCode` tells why.
    AbstractTake* findTake(Camera* camera, int takeId, int* exitCode);
    AbstractTake* openSsdTake(Camera* camera, const QString& name, int* exitCode);

    // Every value object of `object` by property name.
    static QJsonObject values(const QObject* object);

    int timeoutMs() const { return m_timeoutMs; }
    // The JSON document with --json, otherwise the text.
    void print(const QJsonObject& object, const QString& text) const;
    // Waits until `reached` holds; on a timeout says what the camera did not
    // do ("start recording") and returns the exit code.
    int waitUntil(const QString& what, const std::function<bool()>& reached);
    // Waits for `polls` complete polls of the camera after now.
    bool waitForPolls(Camera* camera, int polls);

private:
    VornApp* const m_app;
    const bool m_json;
    const int m_timeoutMs;
};
