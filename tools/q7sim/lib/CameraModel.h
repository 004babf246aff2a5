#pragma once

#include "BlackReference.h"
#include "CameraConfig.h"
#include "CameraSettings.h"
#include "FirmwareUpload.h"
#include "PutResult.h"
#include "Recorder.h"
#include "SsdDrive.h"
#include "XferPlan.h"

#include <QJsonObject>
#include <mutex>
#include <optional>
#include <set>

namespace q7sim {

// The simulated camera behind its HTTP interface: settings, acquisition,
// takes, black reference, lens and shutter, and the camera clock. Every
// public call locks, so the server's threads may call it at any time.
class CameraModel
{
public:
    using Clock = std::chrono::steady_clock;
    enum AutosaveMode { AutosaveEnabled = 1, AutosaveSelection = 2, AutosaveDeleteTake = 4 };

    explicit CameraModel(const CameraConfig& config);

    const CameraConfig& config() const { return m_config; }

    // GET / : the state document.
    QJsonObject stateDocument();
    // GET /takes/take<N>: {"takes": {"take<N>": {...}}}.
    PutResult takeDocument(int take, QJsonObject* document);
    // GET /ssd/takes/take<N>: {"ssd": {"takes": {"take<N>": {...}}}}.
    PutResult ssdTakeDocument(int take, QJsonObject* document);
    // PUT /<path> with the body's JSON value (camera values and take values).
    PutResult put(const QString& path, const QJsonValue& value);
    // POST of a command path (/rec, /trig, ...); `reply` gets the reply body.
    PutResult command(const QString& path, const QJsonObject& body, QJsonObject* reply);
    // POST /xfer: what to send, or why not.
    PutResult planTransfer(const QJsonObject& body, XferPlan* plan);

    void setTakeLocked(int take, bool locked);
    // The SSD card: put in (mounts over time), pulled out, or failing.
    void insertSsd(bool formatted);
    void removeSsd();
    void failSsd();
    // POST /q7fw: whether an upload may begin, then the parts that arrived.
    // On success `installMs` is how long the installation holds the answer,
    // after which firmwareInstalled() sets the outcome.
    PutResult firmwareUploadStarting();
    PutResult firmwareUploaded(const QList<FirmwareUpload>& parts, int* installMs);
    void firmwareInstalled();
    // What camera/fw_state becomes after an installation (1: installed).
    void setFirmwareOutcome(int fwState);
    QList<FirmwareUpload> firmwareUploads() const;
    // The frame params of a saved take (tests compute expected bytes from it).
    std::optional<FrameParams> takeFrameParams(int take);

private:
    // Moves acquisition and SSD on to `now`; ends saves that are written.
    void advance(Clock::time_point now);
    PutResult ssdCommand(const QString& path, const QJsonObject& body, QJsonObject* reply,
                         Clock::time_point now);
    PutResult ssdSave(const QJsonObject& body, QJsonObject* reply, Clock::time_point now);
    PutResult queueSsdSave(const TakeRecord& record, int64_t start, int64_t count, const QString& name,
                           bool deleteTake, Clock::time_point now, SsdSave* save);
    // The camera's own autosave: new takes go onto the SSD as ssd/autosave/* says.
    void autosaveNewTakes(Clock::time_point now);
    int64_t cameraNowNs() const;
    int64_t partitionFrames() const;
    int maxPartitions() const;
    Recorder::Setup recordingSetup(Clock::time_point now);
    QJsonObject settingsSnapshot() const;
    QJsonObject takeBody(const TakeRecord& take) const;
    PutResult putTakeValue(const QStringList& path, const QJsonValue& value);
    PutResult setCameraTime(const QString& text);
    PutResult moveFocus(int step);
    PutResult planLiveTransfer(int type, XferPlan* plan);
    double focusDistance() const;
    void readoutChanged(Clock::time_point now);

    const CameraConfig m_config;
    mutable std::mutex m_mutex;
    CameraSettings m_settings;
    Recorder m_recorder;
    SsdDrive m_ssd;
    BlackReference m_blackReference;
    int64_t m_clockOffsetNs = 0;
    Clock::time_point m_startedAt;
    int m_focusPosition = 600; // 0 nearest .. 1000 infinity
    bool m_firmwareInstalling = false;
    int m_firmwareOutcome = 1;
    QList<FirmwareUpload> m_firmwareUploads;
    std::set<int> m_takesSeen; // saved takes known to the autosave
};

} // namespace q7sim
