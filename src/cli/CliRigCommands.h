#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Camera;
class CliCameraCommands;
class VornApp;

// Record, trigger and abort on several cameras at once, as one rig: the
// cameras connect together, every command leaves before any answer is
// looked at, and each camera is reported on its own line. A camera that
// refuses, does not answer or does not get there in time is named, and the
// others go on. Trigger also prints how far apart the cameras' trigger time
// stamps lie.
class CliRigCommands
{
public:
    enum Command { Record, Trigger, Abort };

    CliRigCommands(VornApp* app, CliCameraCommands* cameras);

    // On the cameras at `addresses`, or with `all` on every camera discovery
    // finds.
    int run(Command command, const QStringList& addresses, bool all);

    // "850 µs", "12.345 ms", "1.500 s".
    static QString durationText(qint64 ns);

private:
    struct Member;
    bool connectAll(const QStringList& addresses, QList<Member>* members);
    void report(Command command, const QList<Member>& members) const;

    VornApp* const m_app;
    CliCameraCommands* const m_cameras;
};
