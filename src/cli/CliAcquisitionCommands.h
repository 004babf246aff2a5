#pragma once

#include <QString>

class CliCameraCommands;

// The commands that change what a camera records, each waiting for the state
// it causes: record, trigger (until the take is saved), abort, black
// reference, partitions and deleting takes.
class CliAcquisitionCommands
{
public:
    explicit CliAcquisitionCommands(CliCameraCommands* cameras);

    int record(const QString& address);
    int trigger(const QString& address);
    int abort(const QString& address);
    int bref(const QString& address);
    int partition(const QString& address, int count);
    // All saved takes when takeId is 0.
    int deleteTakes(const QString& address, int takeId);

private:
    CliCameraCommands* const m_cameras;
};
