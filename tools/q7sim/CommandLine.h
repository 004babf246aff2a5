#pragma once

#include "CameraConfig.h"
#include "Fault.h"

#include <QList>
#include <QString>

namespace q7sim {

struct CameraSetup
{
    CameraConfig config;
    QList<Fault> faults;
    int fwOutcome = 1; // camera/fw_state after an installation
};

// The q7sim command line: one --camera option per camera, each with its own
// comma-separated settings, plus defaults for all cameras.
class CommandLine
{
public:
    bool parse(int argc, char** argv);
    bool helpRequested() const { return m_help; }
    QString error() const { return m_error; }
    const QList<CameraSetup>& cameras() const { return m_cameras; }
    // The update-manifest server: "ADDR:PORT" (empty: none) and the file it
    // serves (empty: the built-in demo manifest).
    QString manifestListen() const { return m_manifestListen; }
    QString manifestFile() const { return m_manifestFile; }

    static QString helpText();
    static bool parseFault(const QString& text, Fault* fault);

private:
    static bool isFlag(const QString& key);
    bool parseCamera(const QString& text, CameraSetup* setup);
    bool parseCameraKey(const QString& key, const QString& value, CameraSetup* setup);

    bool m_help = false;
    QString m_error;
    QList<CameraSetup> m_cameras;
    QString m_manifestListen;
    QString m_manifestFile;
};

} // namespace q7sim
