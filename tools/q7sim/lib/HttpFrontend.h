#pragma once

#include "RequestLog.h"

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
class ContentReader;
} // namespace httplib

namespace q7sim {

class CameraModel;
class FaultPlan;
class TransferResponder;
struct Fault;

// The camera's HTTP server on port 80 of its own address: logs each request,
// applies the faults that are switched on, and turns requests into calls of
// the CameraModel. Frame transfers are streamed frame by frame as they are
// generated, so a long range never sits in memory.
class HttpFrontend
{
public:
    HttpFrontend(CameraModel& model, FaultPlan& faults, RequestLog& log);
    ~HttpFrontend();

    bool start(const QString& address, uint16_t port, QString* error);
    void stop();

private:
    RecordedRequest record(const httplib::Request& request, const QByteArray& body);
    void dispatch(const httplib::Request& request, httplib::Response& response);
    void firmwareUpload(const httplib::Request& request, httplib::Response& response,
                        const httplib::ContentReader& reader);
    // Applies the request's faults; true when a fault already answered.
    bool applyFaults(const QString& method, const QString& path, httplib::Response& response,
                     const Fault** transferFault, std::vector<Fault>& faults);
    void route(const httplib::Request& request, const QString& path, httplib::Response& response,
               const Fault* transferFault);
    bool sleepUnlessStopping(int ms) const;

    CameraModel& m_model;
    FaultPlan& m_faults;
    RequestLog& m_log;
    std::atomic<bool> m_stopping{false};
    std::unique_ptr<TransferResponder> m_transfers;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
};

} // namespace q7sim
