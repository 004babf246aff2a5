#include "ManifestServer.h"

#include <QJsonDocument>
#include <httplib.h>

namespace q7sim {

ManifestServer::ManifestServer() : m_body(QJsonDocument(demoManifest()).toJson()) {}

ManifestServer::~ManifestServer()
{
    stop();
}

QJsonObject ManifestServer::demoManifest()
{
    const QJsonObject application{{QStringLiteral("version"), QStringLiteral("12.0")},
                                  {QStringLiteral("msg"), QStringLiteral("")}};
    QJsonObject platforms;
    for (const char* platform : {"debian", "ubuntu", "fedora", "windows", "macos"})
        platforms.insert(QLatin1String(platform), application);
    const QJsonObject firmware{
        {QStringLiteral("version"), QStringLiteral("3.5.0")},
        {QStringLiteral("msg"), QStringLiteral("Faster SSD saves and a steadier external sync lock.")}};
    QJsonObject models;
    for (const char* modelId : {"7200", "7201"})
        models.insert(QLatin1String(modelId), firmware);
    return QJsonObject{{QStringLiteral("vorn"), platforms}, {QStringLiteral("q7fw"), models}};
}

bool ManifestServer::start(const QString& address, uint16_t port, QString* error)
{
    stop();
    m_stopping = false;
    m_server = std::make_unique<httplib::Server>();
    // One request per connection: stopping never waits for an idle client.
    m_server->set_keep_alive_max_count(1);
    m_server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        RecordedRequest recorded;
        recorded.method = QStringLiteral("GET");
        recorded.path = QString::fromStdString(request.path);
        for (const auto& header : request.headers)
            recorded.headers.append(
                {QByteArray::fromStdString(header.first), QByteArray::fromStdString(header.second)});
        m_log.append(recorded);
        while (m_held && !m_stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (request.path != Path) {
            response.status = 404;
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        response.status = m_status;
        if (m_status == 200)
            response.set_content(m_body.toStdString(), "application/json");
    });
    int bound = port;
    if (port == 0)
        bound = m_server->bind_to_any_port(address.toStdString());
    else if (!m_server->bind_to_port(address.toStdString(), port))
        bound = -1;
    if (bound <= 0) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2").arg(address).arg(port);
        m_server.reset();
        return false;
    }
    m_address = address;
    m_port = static_cast<uint16_t>(bound);
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void ManifestServer::stop()
{
    if (!m_server)
        return;
    m_stopping = true;
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_server.reset();
}

QString ManifestServer::url() const
{
    return QStringLiteral("http://%1:%2%3").arg(m_address).arg(m_port).arg(QLatin1String(Path));
}

void ManifestServer::setManifest(const QJsonObject& manifest)
{
    setManifestBody(QJsonDocument(manifest).toJson());
}

void ManifestServer::setManifestBody(const QByteArray& body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_body = body;
}

void ManifestServer::setStatus(int status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

void ManifestServer::setHeld(bool held)
{
    m_held = held;
}

} // namespace q7sim
