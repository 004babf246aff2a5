#pragma once

#include "CameraConfig.h"
#include "Fault.h"
#include "FirmwareUpload.h"
#include "FrameParams.h"
#include "RequestLog.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>

namespace q7sim {

class CameraModel;
class DiscoveryResponder;
class FaultPlan;
class HttpFrontend;

// One simulated Q7 camera: its HTTP interface on port 80 of its own address
// and, when configured, its discovery answer. Several may run in one process.
//
//   q7sim::CameraConfig config;
//   config.address = "127.0.0.2";
//   q7sim::SimCamera camera(config);
//   camera.start();
//   ... drive it over HTTP ...
//   auto params = camera.takeFrameParams(1);           // expected frame bytes:
//   QByteArray record = q7sim::FrameSynth::record(*params, frame, q7sim::XferBoth);
class SimCamera
{
public:
    explicit SimCamera(const CameraConfig& config);
    ~SimCamera();
    SimCamera(const SimCamera&) = delete;
    SimCamera& operator=(const SimCamera&) = delete;

    bool start();
    void stop();
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    const CameraConfig& config() const { return m_config; }

    // Faults, switchable at any time; they act on requests that arrive later.
    void addFault(const Fault& fault);
    void clearFaults();

    // Every request received since start (or the last clear).
    QList<RecordedRequest> requests() const;
    void clearRequests();

    // The camera's state as a client would see it, without going over HTTP.
    QJsonObject stateDocument();
    // The frame parameters of a saved take: with FrameSynth they give the exact
    // bytes /xfer must send for any of its frames.
    std::optional<FrameParams> takeFrameParams(int take);
    // Holds a take locked (listed in acq/locked_takes, not deletable), as an
    // SSD save in progress does.
    void setTakeLocked(int take, bool locked);

    // The SSD card: put in (it mounts over a few steps; unformatted cards end
    // in state 8), pulled out (state 0), or failing (state 7). Saves under way
    // are lost when it leaves the ready state.
    void insertSsd(bool formatted = true);
    void removeSsd();
    void failSsd();

    // Firmware uploads: what camera/fw_state becomes once an uploaded file is
    // installed (1 installed, the default; another number an error code), and
    // every file part received by POST /q7fw.
    void setFirmwareOutcome(int fwState);
    QList<FirmwareUpload> firmwareUploads() const;

private:
    CameraConfig m_config;
    std::unique_ptr<CameraModel> m_model;
    std::unique_ptr<FaultPlan> m_faults;
    RequestLog m_log;
    std::unique_ptr<HttpFrontend> m_http;
    std::unique_ptr<DiscoveryResponder> m_discovery;
    bool m_running = false;
    QString m_error;
};

} // namespace q7sim
