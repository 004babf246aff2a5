#include "HttpFrontend.h"

#include "BandwidthLimiter.h"
#include "CameraModel.h"
#include "FaultPlan.h"
#include "JsonReply.h"
#include "RequestLog.h"
#include "TransferResponder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <httplib.h>

namespace q7sim {

namespace {

// A PUT body is one JSON scalar: 123, 0.500000, "text", true.
bool parseScalar(const std::string& body, QJsonValue* value)
{
    QJsonParseError error;
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray("[") + QByteArray::fromStdString(body) + QByteArray("]"), &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1)
        return false;
    *value = doc.array().at(0);
    return true;
}

} // namespace

HttpFrontend::HttpFrontend(CameraModel& model, FaultPlan& faults, RequestLog& log)
    : m_model(model), m_faults(faults), m_log(log),
      m_transfers(std::make_unique<TransferResponder>(model, m_stopping))
{
}

HttpFrontend::~HttpFrontend()
{
    stop();
}

bool HttpFrontend::start(const QString& address, uint16_t port, QString* error)
{
    m_stopping = false;
    m_server = std::make_unique<httplib::Server>();
    // Streams, hung requests and the program's parallel connections each hold
    // a thread; the library's default pool of eight is too small for that.
    m_server->new_task_queue = [] {
        return new httplib::ThreadPool(32);
    };
    m_server->set_tcp_nodelay(true);
    m_server->set_keep_alive_max_count(100000);
    m_server->set_keep_alive_timeout(2);
    m_server->set_payload_max_length(64 * 1024 * 1024);
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        dispatch(request, response);
    };
    // The firmware upload is read as it streams in, at the camera's pace.
    m_server->Post(
        "/q7fw", [this](const httplib::Request& request, httplib::Response& response,
                        const httplib::ContentReader& reader) { firmwareUpload(request, response, reader); });
    m_server->Get(".*", handler);
    m_server->Put(".*", handler);
    m_server->Post(".*", handler);
    m_server->Delete(".*", handler);
    if (!m_server->bind_to_port(address.toStdString(), port)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2").arg(address).arg(port);
        m_server.reset();
        return false;
    }
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() acts only on a running server: wait until the accept loop runs.
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void HttpFrontend::stop()
{
    if (!m_server)
        return;
    m_stopping = true;
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_server.reset();
}

bool HttpFrontend::sleepUnlessStopping(int ms) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (m_stopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
    }
    return !m_stopping;
}

RecordedRequest HttpFrontend::record(const httplib::Request& request, const QByteArray& body)
{
    RecordedRequest recorded;
    recorded.method = QString::fromStdString(request.method);
    recorded.path = QString::fromStdString(request.path);
    for (const auto& header : request.headers)
        recorded.headers.append(
            {QByteArray::fromStdString(header.first), QByteArray::fromStdString(header.second)});
    recorded.body = body;
    m_log.append(recorded);
    if (m_model.config().printRequests)
        std::fprintf(stderr, "q7sim %s: %s %s %s\n", qPrintable(m_model.config().address),
                     request.method.c_str(), request.path.c_str(),
                     body.size() <= 200 ? body.constData() : "(long body)");
    return recorded;
}

void HttpFrontend::dispatch(const httplib::Request& request, httplib::Response& response)
{
    const RecordedRequest recorded = record(request, QByteArray::fromStdString(request.body));

    std::vector<Fault> faults = m_faults.take(recorded.method, recorded.path);
    const Fault* transferFault = nullptr;
    if (applyFaults(recorded.method, recorded.path, response, &transferFault, faults))
        return;
    route(request, recorded.path, response, transferFault);
    for (const Fault& fault : faults)
        if (fault.kind == Fault::DelayAnswer)
            sleepUnlessStopping(fault.delayMs);
}

bool HttpFrontend::applyFaults(const QString& method, const QString& path, httplib::Response& response,
                               const Fault** transferFault, std::vector<Fault>& faults)
{
    for (const Fault& fault : faults) {
        switch (fault.kind) {
        case Fault::Delay:
            if (!sleepUnlessStopping(fault.delayMs))
                return true;
            break;
        case Fault::NoAnswer: {
            // Hang until the fault is switched off (then answer late) or the camera stops.
            while (!m_stopping && m_faults.hangs(method, path))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (m_stopping) {
                response.status = 503;
                return true;
            }
            break;
        }
        case Fault::HttpError:
            response.status = fault.status;
            return true;
        case Fault::HttpErrorJson:
            JsonReply::error(response, fault.status, fault.errorText);
            return true;
        case Fault::Reply:
            response.status = fault.status;
            response.set_content(fault.body.toStdString(), JsonReply::ContentType);
            return true;
        case Fault::MalformedJson:
            response.status = 200;
            response.set_content("{\"acq\": {\"state\": 1, \"res\": \"640x4", JsonReply::ContentType);
            return true;
        default:
            if (fault.isTransferFault())
                *transferFault = &fault;
            break;
        }
    }
    return false;
}

void HttpFrontend::firmwareUpload(const httplib::Request& request, httplib::Response& response,
                                  const httplib::ContentReader& reader)
{
    // Logged before the body is read, with no body: the file parts are kept
    // by the model (SimCamera::firmwareUploads()).
    const RecordedRequest recorded = record(request, QByteArray());
    std::vector<Fault> faults = m_faults.take(recorded.method, recorded.path);
    const Fault* transferFault = nullptr;
    if (applyFaults(recorded.method, recorded.path, response, &transferFault, faults))
        return;
    PutResult result = m_model.firmwareUploadStarting();
    if (!result.ok()) {
        JsonReply::error(response, result.status, result.error);
        return;
    }
    if (!request.is_multipart_form_data()) {
        JsonReply::error(response, 400, QStringLiteral("expected a multipart/form-data upload"));
        return;
    }
    // Read at the camera's pace as it streams in.
    BandwidthLimiter link(m_model.config().fwUploadBytesPerSecond);
    QList<FirmwareUpload> parts;
    const bool complete = reader(
        [&parts](const httplib::MultipartFormData& header) {
            FirmwareUpload part;
            part.partName = QString::fromStdString(header.name);
            part.fileName = QString::fromStdString(header.filename);
            part.contentType = QString::fromStdString(header.content_type);
            parts.append(part);
            return true;
        },
        [this, &parts, &link](const char* data, size_t length) {
            if (!link.acquire(static_cast<int64_t>(length), m_stopping) || parts.isEmpty())
                return false;
            parts.last().content.append(data, static_cast<qsizetype>(length));
            return true;
        });
    if (!complete || m_stopping) {
        JsonReply::error(response, 400, QStringLiteral("upload incomplete"));
        return;
    }
    int installMs = 0;
    result = m_model.firmwareUploaded(parts, &installMs);
    if (!result.ok()) {
        JsonReply::error(response, result.status, result.error);
        return;
    }
    if (installMs > 0) {
        sleepUnlessStopping(installMs);
        m_model.firmwareInstalled();
    }
    JsonReply::send(response, 200, QJsonObject());
}

void HttpFrontend::route(const httplib::Request& request, const QString& path, httplib::Response& response,
                         const Fault* transferFault)
{
    const QString method = QString::fromStdString(request.method);
    if (method == QLatin1String("GET")) {
        static const QRegularExpression takePath(QStringLiteral("^/(takes|ssd/takes)/take(\\d+)$"));
        if (path == QLatin1String("/") || path.isEmpty()) {
            JsonReply::send(response, 200, m_model.stateDocument());
            return;
        }
        const QRegularExpressionMatch match = takePath.match(path);
        if (match.hasMatch()) {
            QJsonObject document;
            const int take = match.captured(2).toInt();
            const PutResult result = match.captured(1) == QLatin1String("takes")
                                         ? m_model.takeDocument(take, &document)
                                         : m_model.ssdTakeDocument(take, &document);
            if (result.ok())
                JsonReply::send(response, 200, document);
            else
                JsonReply::error(response, result.status, result.error);
            return;
        }
        JsonReply::error(response, 404, QStringLiteral("not found"));
        return;
    }
    if (method == QLatin1String("PUT")) {
        QJsonValue value;
        if (!parseScalar(request.body, &value)) {
            JsonReply::error(response, 400, QStringLiteral("invalid value"));
            return;
        }
        const PutResult result = m_model.put(path.mid(1), value);
        if (result.ok())
            JsonReply::send(response, 200, QJsonObject());
        else
            JsonReply::error(response, result.status, result.error);
        return;
    }
    if (method == QLatin1String("POST")) {
        if (path == QLatin1String("/xfer")) {
            m_transfers->respond(request.body, response, transferFault);
            return;
        }
        QJsonObject body;
        if (!request.body.empty()) {
            QJsonParseError error;
            const QJsonDocument doc =
                QJsonDocument::fromJson(QByteArray::fromStdString(request.body), &error);
            if (error.error != QJsonParseError::NoError || !doc.isObject()) {
                JsonReply::error(response, 400, QStringLiteral("invalid JSON body"));
                return;
            }
            body = doc.object();
        }
        QJsonObject reply;
        const PutResult result = m_model.command(path, body, &reply);
        if (result.ok())
            JsonReply::send(response, 200, reply);
        else
            JsonReply::error(response, result.status, result.error);
        return;
    }
    JsonReply::error(response, 405, QStringLiteral("method not allowed"));
}

} // namespace q7sim
