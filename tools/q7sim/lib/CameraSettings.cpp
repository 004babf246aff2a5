#include "CameraSettings.h"

#include "ClockRules.h"
#include "DefaultSettings.h"
#include "JsonPath.h"
#include "SensorModes.h"

#include <QJsonArray>
#include <cmath>

namespace q7sim {

namespace {

// The f-numbers a lens stops at, in third stops.
const double fstopTable[] = {1.0, 1.1, 1.2, 1.4, 1.6, 1.8, 2.0, 2.2, 2.5, 2.8, 3.2, 3.5, 4.0, 4.5,
                             5.0, 5.6, 6.3, 7.1, 8.0, 9.0, 10,  11,  13,  14,  16,  18,  20,  22,
                             25,  29,  32,  36,  40,  45,  51,  57,  64,  72,  80,  90};

const char* const ioTokens[] = {"trigger", "io1", "io2", "io3", "io4", "io5", "io6"};

// Inputs arrive as JSON numbers (doubles); keep them in a range where the
// 64-bit clock arithmetic cannot overflow.
int64_t toClockCount(const QJsonValue& value)
{
    double d = value.isString() ? value.toString().toDouble() : value.toDouble();
    if (value.isBool())
        d = value.toBool() ? 1 : 0;
    if (!std::isfinite(d))
        return 0;
    const double limit = 1099511627776.0; // 2^40
    d = d < -limit ? -limit : (d > limit ? limit : d);
    return static_cast<int64_t>(std::llround(d));
}

double toDouble(const QJsonValue& value)
{
    if (value.isString())
        return value.toString().toDouble();
    if (value.isBool())
        return value.toBool() ? 1.0 : 0.0;
    return value.toDouble();
}

} // namespace

CameraSettings::CameraSettings(const CameraConfig& config) : m_values(defaultSettings(config))
{
    fitTimingToResolution();
}

QJsonValue CameraSettings::value(const QString& path) const
{
    return JsonPath::get(m_values, path);
}
int64_t CameraSettings::integer(const QString& path) const
{
    return toClockCount(value(path));
}
double CameraSettings::number(const QString& path) const
{
    return toDouble(value(path));
}
QString CameraSettings::text(const QString& path) const
{
    return value(path).toString();
}
void CameraSettings::store(const QString& path, const QJsonValue& value)
{
    JsonPath::set(m_values, path, value);
}

bool CameraSettings::takeReadoutChanged()
{
    const bool changed = m_readoutChanged;
    m_readoutChanged = false;
    return changed;
}

bool CameraSettings::isDerivedPath(const QString& path)
{
    static const QStringList derived = {
        QStringLiteral("acq/state"),       QStringLiteral("acq/active_take"),
        QStringLiteral("acq/saved_takes"), QStringLiteral("acq/locked_takes"),
        QStringLiteral("acq/bref_state"),  QStringLiteral("acq/valid_res"),
        QStringLiteral("acq/fsync_state"), QStringLiteral("video/valid_format"),
        QStringLiteral("ssd/open_takes")};
    return derived.contains(path) || path.startsWith(QLatin1String("takes/")) ||
           path.startsWith(QLatin1String("ssd/takes"));
}

void CameraSettings::fitTimingToResolution()
{
    const Resolution res = SensorModes::parse(text(QStringLiteral("acq/res")));
    store(QStringLiteral("acq/fr_clks_min"), static_cast<qint64>(SensorModes::frameClocksMin(res)));
    putFrameClocks(integer(QStringLiteral("acq/fr_clks")));
}

PutResult CameraSettings::putFrameClocks(int64_t clocks)
{
    const int64_t frClks = ClockRules::clampFrameClocks(clocks, integer(QStringLiteral("acq/fr_clks_min")),
                                                        integer(QStringLiteral("acq/fr_clks_max")));
    store(QStringLiteral("acq/fr_clks"), static_cast<qint64>(frClks));
    store(QStringLiteral("acq/fr_rate"), ClockRules::rate(frClks, integer(QStringLiteral("acq/clk_freq"))));
    // The exposure ends before the next frame's read-out starts.
    const int64_t expMax = frClks - SensorModes::ExposureOverheadClocks;
    const int64_t expMin = integer(QStringLiteral("acq/exp_clks_min"));
    store(QStringLiteral("acq/exp_clks_max"), static_cast<qint64>(expMax < expMin ? expMin : expMax));
    fitExposures();
    return PutResult::success();
}

void CameraSettings::fitExposures()
{
    ExposureGrid grid;
    grid.min = integer(QStringLiteral("acq/exp_clks_min"));
    grid.max = integer(QStringLiteral("acq/exp_clks_max"));
    grid.mult = integer(QStringLiteral("acq/exp_clks_mult"));
    grid.ofst = integer(QStringLiteral("acq/exp_clks_ofst"));
    const int64_t exp = grid.snap(integer(QStringLiteral("acq/exp_clks")));
    store(QStringLiteral("acq/exp_clks"), static_cast<qint64>(exp));
    store(QStringLiteral("acq/exp_time"),
          ClockRules::microseconds(exp, integer(QStringLiteral("acq/clk_freq"))));
    // Low light exposes across frames: only the grid and the slowest frame limit it.
    grid.max = integer(QStringLiteral("acq/fr_clks_max")) - SensorModes::ExposureOverheadClocks;
    store(QStringLiteral("camera/low_light/exp_clks"),
          static_cast<qint64>(grid.snap(integer(QStringLiteral("camera/low_light/exp_clks")))));
}

PutResult CameraSettings::putLensFstop(double fstop)
{
    const double a = number(QStringLiteral("lens/fstop_max")), b = number(QStringLiteral("lens/fstop_min"));
    const double lo = a < b ? a : b, hi = a < b ? b : a;
    double best = lo;
    double bestDistance = INFINITY;
    bool found = false;
    for (double f : fstopTable) { // the lens stops only at table f-numbers within its range
        if (f < lo - 1e-9 || f > hi + 1e-9)
            continue;
        const double distance = std::fabs(std::log(f) - std::log(fstop > 0 ? fstop : lo));
        if (distance < bestDistance)
            best = f, bestDistance = distance, found = true;
    }
    store(QStringLiteral("lens/fstop"), found ? best : lo);
    return PutResult::success();
}

PutResult CameraSettings::putIo(const QStringList& path, const QJsonValue& value)
{
    bool knownLine = false;
    for (const char* token : ioTokens)
        knownLine = knownLine || path.at(1) == QLatin1String(token);
    if (!knownLine || path.size() != 3 || JsonPath::get(m_values, path).isUndefined())
        return PutResult::failure(404, QStringLiteral("unknown value"));
    const QString key = path.at(2);
    if (key == QLatin1String("signal")) {
        JsonPath::set(m_values, path, value.toString());
        return PutResult::success();
    }
    // Filters count in 18 bits, the other timings in 28.
    const int64_t limit = key == QLatin1String("filter") ? (1 << 18) - 1 : (1 << 28) - 1;
    JsonPath::set(m_values, path, static_cast<qint64>(ClockRules::clamp(toClockCount(value), 0, limit)));
    return PutResult::success();
}

PutResult CameraSettings::put(const QString& path, const QJsonValue& value)
{
    const QStringList parts = JsonPath::split(path);
    if (parts.isEmpty())
        return PutResult::failure(404, QStringLiteral("unknown value"));
    if (isDerivedPath(path))
        return PutResult::failure(403, QStringLiteral("read-only value"));
    if (path == QLatin1String("acq/res")) {
        const QString res = value.toString();
        if (!SensorModes::isOffered(res))
            return PutResult::failure(400, QStringLiteral("invalid resolution"));
        if (res != text(path)) {
            store(path, res);
            m_readoutChanged = true;
            fitTimingToResolution();
        }
        return PutResult::success();
    }
    if (path == QLatin1String("acq/fr_clks"))
        return putFrameClocks(toClockCount(value));
    if (path == QLatin1String("acq/fr_rate"))
        return putFrameClocks(ClockRules::frameClocksForRate(toDouble(value),
                                                             integer(QStringLiteral("acq/clk_freq")),
                                                             integer(QStringLiteral("acq/fr_clks_max"))));
    if (path == QLatin1String("acq/exp_clks") || path == QLatin1String("camera/low_light/exp_clks")) {
        store(path, static_cast<qint64>(toClockCount(value)));
        fitExposures();
        return PutResult::success();
    }
    if (path == QLatin1String("acq/exp_time")) {
        store(QStringLiteral("acq/exp_clks"), static_cast<qint64>(ClockRules::clocksForMicroseconds(
                                                  toDouble(value), integer(QStringLiteral("acq/clk_freq")))));
        fitExposures();
        return PutResult::success();
    }
    if (path == QLatin1String("acq/trig_offset")) {
        store(path, static_cast<qint64>(ClockRules::clamp(toClockCount(value), 0, 0xFFFFFFFFLL)));
        return PutResult::success();
    }
    if (path == QLatin1String("acq/fsync_mode")) {
        const int mode = static_cast<int>(toClockCount(value));
        if (mode < 0 || mode > 3)
            return PutResult::failure(400, QStringLiteral("invalid frame sync mode"));
        store(path, mode);
        // Nothing drives the sync inputs, so external and IRIG sync report no signal.
        store(QStringLiteral("acq/fsync_state"), mode == 1 || mode == 2 ? -1 : 0);
        return PutResult::success();
    }
    if (path == QLatin1String("video/format")) {
        const QJsonArray valid = this->value(QStringLiteral("video/valid_format")).toArray();
        if (!valid.contains(value.toString()))
            return PutResult::failure(400, QStringLiteral("invalid video format"));
        store(path, value.toString());
        return PutResult::success();
    }
    if (path == QLatin1String("lens/fstop"))
        return putLensFstop(toDouble(value));
    if (parts.first() == QLatin1String("io") && parts.size() >= 2)
        return putIo(parts, value);
    const PutResult result = putCoerced(path, value);
    // Limits written directly (test fixtures) still bind the current settings.
    if (result.ok() && parts.first() == QLatin1String("acq") &&
        (path.startsWith(QLatin1String("acq/exp_clks_")) || path.startsWith(QLatin1String("acq/fr_clks_")) ||
         path == QLatin1String("acq/clk_freq")))
        putFrameClocks(integer(QStringLiteral("acq/fr_clks")));
    return result;
}

PutResult CameraSettings::putCoerced(const QString& path, const QJsonValue& value)
{
    const QJsonValue current = JsonPath::get(m_values, path);
    if (current.isUndefined() || current.isObject() || current.isArray())
        return PutResult::failure(404, QStringLiteral("unknown value"));
    if (current.isString())
        store(path, value.isString() ? value.toString() : QString::number(toDouble(value), 'g', 15));
    else if (current.isBool())
        store(path, value.isBool() ? value.toBool() : toDouble(value) != 0.0);
    else if (current.isDouble() && std::floor(current.toDouble()) == current.toDouble() &&
             !path.startsWith(QLatin1String("adjust/")) && !path.startsWith(QLatin1String("lens/")))
        store(path, static_cast<qint64>(toClockCount(value))); // an integer member stays an integer
    else
        store(path, toDouble(value));
    return PutResult::success();
}

} // namespace q7sim
