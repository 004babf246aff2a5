#pragma once

// What the benchmarks against a simulated camera share: a quiet application
// with its own settings, waits that sleep between events, and a take recorded
// on the camera.

#include "Camera.h"
#include "SimCamera.h"
#include "Take.h"
#include "VornApp.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace bench {

// Resident memory of the process in bytes (VmRSS).
inline qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

// Sleeps between events (a 10 ms tick wakes it): a loop that spins would take
// one of the two cores from what it measures.
inline bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    QTimer tick;
    tick.start(10);
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

inline bool send(QNetworkAccessManager& nam, const QByteArray& verb, const QString& url,
                 const QByteArray& body = QByteArray())
{
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Content-Type", "application/json");
    QNetworkReply* reply = nam.sendCustomRequest(request, verb, body);
    waitFor([reply] { return reply->isFinished(); }, 5000);
    const bool ok = reply->error() == QNetworkReply::NoError;
    delete reply;
    return ok;
}

// Settings and data in `home`, offscreen, and only warnings and worse on
// stderr; call before the application object exists.
inline void quietEnvironment(const QTemporaryDir& home)
{
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type != QtDebugMsg)
            fprintf(stderr, "%s\n", qPrintable(msg));
    });
}

// The headless program of a benchmark: its own settings in a temporary
// home, quiet, with a network manager of its own.
class QuietApp
{
public:
    explicit QuietApp(char** argv) : m_app(s_argc, argv, VornApp::StartMode::Headless)
    {
        m_app.set_networkAccessManager(&m_nam);
    }
    VornApp& app() { return m_app; }
    QNetworkAccessManager& nam() { return m_nam; }

private:
    struct Environment
    {
        explicit Environment(const QTemporaryDir& home) { quietEnvironment(home); }
    };
    inline static int s_argc = 1; // QGuiApplication keeps a reference
    QTemporaryDir m_home;
    Environment m_environment{m_home}; // before the application exists
    VornApp m_app;
    QNetworkAccessManager m_nam;
};

// Records a take of `postFrames` frames after the trigger on a started
// camera, connects the program to it and waits for the take's values; null
// (with a message) when any step fails.
inline Take* recordTake(VornApp& app, QNetworkAccessManager& nam, const q7sim::CameraConfig& config,
                        int postFrames)
{
    const QString base = QStringLiteral("http://") + config.address;
    send(nam, "PUT", base + "/acq/trig_offset", QByteArray::number(postFrames));
    send(nam, "POST", base + "/rec");
    waitFor([] { return false; }, 300);
    send(nam, "POST", base + "/trig");
    app.connectCamera(config.address);
    Camera* camera = nullptr;
    for (int i = 0; i < app.vornObjModel()->count(); ++i) {
        auto* candidate = qobject_cast<Camera*>(app.vornObjModel()->get(i));
        if (candidate && candidate->ipString() == config.address)
            camera = candidate;
    }
    if (!camera || !waitFor([&] { return camera->savedTakes()->count() > 0; }, 20000)) {
        fprintf(stderr, "no take\n");
        return nullptr;
    }
    auto* take = qobject_cast<Take*>(camera->savedTakes()->get(0));
    waitFor([&] { return take->valuesInit(); }, 5000);
    return take;
}

} // namespace bench
