#pragma once

#include "RequestLog.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
}

namespace q7sim {

// The maker's update server as far as the program uses it: plain HTTP on an
// address and port of the caller's choosing, answering GET
// /latest-versions.json with the update manifest (the newest application
// version per desktop platform, the newest firmware per camera model id).
// Tests change the manifest, the answer's status, or hold answers back.
class ManifestServer
{
public:
    static constexpr const char* Path = "/latest-versions.json";

    ManifestServer();
    ~ManifestServer();
    ManifestServer(const ManifestServer&) = delete;
    ManifestServer& operator=(const ManifestServer&) = delete;

    // Port 0 picks a free port; port() tells which.
    bool start(const QString& address, uint16_t port, QString* error = nullptr);
    void stop();
    uint16_t port() const { return m_port; }
    // "http://<address>:<port>/latest-versions.json"
    QString url() const;

    void setManifest(const QJsonObject& manifest);
    // Served byte for byte, so tests can serve something that is not JSON.
    void setManifestBody(const QByteArray& body);
    // The answer's HTTP status (200 by default); anything else has an empty body.
    void setStatus(int status);
    // While held, requests wait unanswered; releasing answers them.
    void setHeld(bool held);

    QList<RecordedRequest> requests() const { return m_log.all(); }
    void clearRequests() { m_log.clear(); }

    // What the demo serves: an application version per common platform and a
    // newer firmware for the simulated models.
    static QJsonObject demoManifest();

private:
    mutable std::mutex m_mutex;
    QByteArray m_body;
    int m_status = 200;
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_stopping{false};
    RequestLog m_log;
    QString m_address;
    uint16_t m_port = 0;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
};

} // namespace q7sim
