#pragma once

#include "CameraConfig.h"
#include "PutResult.h"

#include <QJsonObject>
#include <QJsonValue>

namespace q7sim {

// The camera's stored settings: every member of the state document that is
// not derived from the acquisition state, kept as the JSON tree it is served
// as, with the camera's rules for writes (clamping, exposure grid, lists of
// allowed values). Not thread-safe: the owner locks.
class CameraSettings
{
public:
    explicit CameraSettings(const CameraConfig& config);

    const QJsonObject& values() const { return m_values; }
    QJsonValue value(const QString& path) const;
    int64_t integer(const QString& path) const;
    double number(const QString& path) const;
    QString text(const QString& path) const;

    // A write of one value path, as PUT /<path> does. Paths the camera derives
    // itself (acquisition state, take lists ...) are refused.
    PutResult put(const QString& path, const QJsonValue& value);
    // Direct store without rules, for values the camera itself changes.
    void store(const QString& path, const QJsonValue& value);

    // Whether the last accepted put changed the sensor read-out (which makes
    // the black reference invalid and restarts a recording).
    bool takeReadoutChanged();

    static bool isDerivedPath(const QString& path);

private:
    void fitTimingToResolution();
    void fitExposures();
    PutResult putFrameClocks(int64_t clocks);
    PutResult putLensFstop(double fstop);
    PutResult putIo(const QStringList& path, const QJsonValue& value);
    PutResult putCoerced(const QString& path, const QJsonValue& value);

    QJsonObject m_values;
    bool m_readoutChanged = false;
};

} // namespace q7sim
