#pragma once

#include "BandwidthLimiter.h"

#include <atomic>
#include <string>

namespace httplib {
struct Response;
}

namespace q7sim {

class CameraModel;
struct Fault;
struct XferPlan;

// Answers POST /xfer: the size headers, then the frame records streamed one
// by one as they are generated, so a long range never sits in memory. A
// transfer fault shapes the stream (cut short, broken off, sent in pieces).
// All transfers of a camera share its link speed when one is set.
class TransferResponder
{
public:
    TransferResponder(CameraModel& model, const std::atomic<bool>& stopping);

    void respond(const std::string& body, httplib::Response& response, const Fault* transferFault);

private:
    void setSizeHeaders(httplib::Response& response, const XferPlan& plan) const;
    static void setFalseSizeHeaders(httplib::Response& response, const Fault& fault);
    bool sleepUnlessStopping(int ms) const;

    CameraModel& m_model;
    const std::atomic<bool>& m_stopping;
    BandwidthLimiter m_link;
};

} // namespace q7sim
