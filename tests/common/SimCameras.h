#pragma once

#include "SimCamera.h"

#include <QList>
#include <memory>

class Camera;
class Take;

// Simulated cameras started in-process for a test, each on its own loopback
// address (127.0.0.2, 127.0.0.3 ...) port 80, stopped when the test ends.
class SimCameras
{
public:
    // Starts a camera; fails the test (returns null) when it cannot listen.
    q7sim::SimCamera* start(q7sim::CameraConfig config = q7sim::CameraConfig());
    void stopAll() { m_cameras.clear(); }

    // The requests one camera received with this method and path.
    static QList<q7sim::RecordedRequest> requests(const q7sim::SimCamera* camera, const QString& method,
                                                  const QString& path);

    // Changes a value on the camera behind the program's back (a PUT over
    // HTTP); true when the camera accepted it.
    static bool put(const QString& address, const QString& path, const QByteArray& body);
    // Sends a command to the camera (a POST over HTTP); true when it was accepted.
    static bool post(const QString& address, const QString& path, const QByteArray& body);

    // Connects the program to the camera through the application object and
    // waits for the first poll; null when it did not connect within 5 s (or
    // there is no camera).
    static Camera* connect(const q7sim::SimCamera* camera);

    // Records a take on the camera over HTTP: about `preMs` ms of frames
    // before the trigger and `postFrames` after it; returns the saved take's
    // number, or 0 when none appeared.
    static int recordTake(q7sim::SimCamera* camera, int preMs, int postFrames);

    // Records a take as recordTake does, connects the program and waits until
    // the take's values arrived; null when any step failed.
    static Take* recordedTake(q7sim::SimCamera* camera, int preMs, int postFrames);

    // The four burned-in lines of a frame of a simulated take, worked out
    // from the simulator's own time stamps and clocks: time stamp, frame
    // number, time from the trigger and `camera`.
    static QStringList burnInLines(const q7sim::FrameParams& params, qint64 fr, quint64 yearOffset,
                                   const QString& camera);

private:
    std::vector<std::unique_ptr<q7sim::SimCamera>> m_cameras;
};
