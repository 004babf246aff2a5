#pragma once

#include <QJsonObject>
#include <QStringList>
#include <functional>

class AbstractTake;
class Camera;
class QObject;
class VornApp;

// The commands that talk to cameras: discovery, the mirrored values, setting
// them, and the acquisition commands, each waiting for the change it causes.
// Results go to stdout as text or, with `json`, as one JSON document.
class CliCameraCommands
{
public:
    CliCameraCommands(VornApp* app, bool json, int timeoutMs);

    int discover();
    int info(const QString& address, int takeId, const QString& ssdTakeName);
    int set(const QString& address, const QStringList& assignments);
    int record(const QString& address);
    int trigger(const QString& address);
    int abort(const QString& address);
    int bref(const QString& address);
    int partition(const QString& address, int count);
    int deleteTakes(const QString& address, int takeId);

    // Connects to the camera and waits for its first poll; null (and the
    // message printed) when no camera answers in time.
    Camera* connect(const QString& address);
    // A saved take of the camera, or an SSD take opened by file name; null
    // with the message printed when there is none. `exitCode` tells why.
    AbstractTake* findTake(Camera* camera, int takeId, int* exitCode);
    AbstractTake* openSsdTake(Camera* camera, const QString& name, int* exitCode);

    // Every value object of `object` by property name.
    static QJsonObject values(const QObject* object);

private:
    void print(const QJsonObject& object, const QString& text) const;
    int waitForState(Camera* camera, const QString& what, const std::function<bool()>& reached);
    // Waits for `polls` complete polls of the camera after now.
    bool waitForPolls(Camera* camera, int polls);

    VornApp* const m_app;
    const bool m_json;
    const int m_timeoutMs;
};
