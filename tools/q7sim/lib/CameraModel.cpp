#include "CameraModel.h"

#include "ClockRules.h"
#include "JsonPath.h"
#include "SensorModes.h"
#include "TakeDocument.h"

#include <QDateTime>
#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace q7sim {

namespace {

const int64_t NsPerSecond = 1000000000LL;

int64_t systemNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Seconds since 1970 at the start of the UTC year that contains `ns`: frame
// time stamps count from there, so they fit in 25 bits of seconds.
int64_t yearStartSeconds(int64_t ns)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ns / 1000000, Qt::UTC);
    return QDateTime(QDate(t.date().year(), 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
}

int64_t jsonInteger(const QJsonValue& value, int64_t fallback)
{
    if (!value.isDouble())
        return fallback;
    const double d = value.toDouble();
    return std::isfinite(d) && std::fabs(d) < 9e15 ? static_cast<int64_t>(std::llround(d)) : fallback;
}

} // namespace

CameraModel::CameraModel(const CameraConfig& config)
    : m_config(config), m_settings(config),
      m_ssd(config.ssdBytes,
            SsdDrive::Timing{config.ssdStepMs, config.ssdFormatMs, config.ssdWriteBytesPerSecond,
                             config.ssdSaveStartMs},
            config.ssdOldFirmware),
      m_blackReference(config.brefSlots, std::chrono::milliseconds(config.brefDurationMs))
{
    // A camera that boots with a card in it has mounted it before anyone asks.
    if (config.ssdBytes > 0)
        m_ssd.mountAtStart();
    m_startedAt = Clock::now();
    m_clockOffsetNs = config.clockOffsetNs;
    m_settings.store(QStringLiteral("meta/year_offset"),
                     static_cast<qint64>(yearStartSeconds(cameraNowNs())));
}

void CameraModel::advance(Clock::time_point now)
{
    m_recorder.advance(now);
    autosaveNewTakes(now);
    std::vector<SsdSave> ended;
    m_ssd.advance(now, &ended);
    const std::vector<int> stillSaving = m_ssd.takesBeingSaved();
    for (const SsdSave& save : ended) {
        // A take stays locked while any save still reads it.
        if (std::find(stillSaving.begin(), stillSaving.end(), save.memoryTake) != stillSaving.end())
            continue;
        m_recorder.setLocked(save.memoryTake, false);
        if (save.written && save.deleteTake)
            m_recorder.remove(save.memoryTake);
    }
}

int64_t CameraModel::cameraNowNs() const
{
    return systemNowNs() + m_clockOffsetNs;
}

int64_t CameraModel::partitionFrames() const
{
    const Resolution res = SensorModes::parse(m_settings.text(QStringLiteral("acq/res")));
    const uint64_t frameBytes =
        static_cast<uint64_t>(res.width) * res.height + m_settings.integer(QStringLiteral("meta/size"));
    const uint64_t frames = frameBytes ? m_config.memoryBytes / frameBytes : 0;
    const int partitions = m_recorder.partitionCount();
    return static_cast<int64_t>(frames / static_cast<uint64_t>(partitions < 1 ? 1 : partitions));
}

int CameraModel::maxPartitions() const
{
    const int64_t wholeMemory = partitionFrames() * m_recorder.partitionCount();
    return static_cast<int>(std::min<int64_t>(64, std::max<int64_t>(1, wholeMemory / 2)));
}

QJsonObject CameraModel::settingsSnapshot() const
{
    return recordingSettings(m_settings.values(), focusDistance());
}

QJsonObject CameraModel::takeBody(const TakeRecord& take) const
{
    QJsonObject body = takeDocumentBody(take);
    if (m_config.oldFirmware)
        applyOldFirmwareLayout(body);
    return body;
}

Recorder::Setup CameraModel::recordingSetup(Clock::time_point now)
{
    Recorder::Setup setup;
    setup.settings = settingsSnapshot();
    setup.partitionFrames = partitionFrames();
    setup.postTriggerFrames = m_settings.integer(QStringLiteral("acq/trig_offset"));
    setup.frClks = static_cast<uint32_t>(m_settings.integer(QStringLiteral("acq/fr_clks")));
    setup.clkFreq = static_cast<uint32_t>(m_settings.integer(QStringLiteral("acq/clk_freq")));
    setup.blackReference = m_blackReference.current(now);
    return setup;
}

double CameraModel::focusDistance() const
{
    if (m_focusPosition >= 1000)
        return 65535.0; // infinity
    // A lens focuses from 0.38 m; the distance grows ever faster towards infinity.
    const double metres = 0.38 / (1.0 - m_focusPosition / 1000.0);
    return std::round(metres * 100.0) / 100.0;
}

QJsonObject CameraModel::stateDocument()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    advance(now);
    QJsonObject doc = m_settings.values();
    JsonPath::set(doc, QStringLiteral("acq/state"), m_recorder.state());
    JsonPath::set(doc, QStringLiteral("acq/active_take"), m_recorder.activeTake());
    JsonPath::set(doc, QStringLiteral("acq/prtn_cnt"), m_recorder.partitionCount());
    JsonPath::set(doc, QStringLiteral("acq/saved_takes"), m_recorder.savedTakes());
    JsonPath::set(doc, QStringLiteral("acq/locked_takes"), m_recorder.lockedTakes());
    JsonPath::set(doc, QStringLiteral("acq/bref_state"),
                  static_cast<qint64>(m_blackReference.state(now, m_recorder.blackReferencesInUse())));
    QJsonObject takes;
    for (int n = 1; n <= m_recorder.partitionCount(); ++n)
        takes.insert(QStringLiteral("take%1").arg(n),
                     QJsonObject{{QStringLiteral("prtn_fr_cnt"), static_cast<qint64>(partitionFrames())}});
    doc.insert(QStringLiteral("takes"), takes);
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(cameraNowNs() / 1000000, Qt::UTC);
    JsonPath::set(doc, QStringLiteral("meta/time"), time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    JsonPath::set(doc, QStringLiteral("lens/focus_dist"), focusDistance());
    QJsonObject ssd = doc.value(QStringLiteral("ssd")).toObject();
    m_ssd.describe(now, ssd);
    doc.insert(QStringLiteral("ssd"), ssd);
    if (m_config.oldFirmware)
        applyOldFirmwareLayout(doc);
    return doc;
}

PutResult CameraModel::takeDocument(int take, QJsonObject* document)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    advance(now);
    if (take < 1 || take > m_recorder.partitionCount())
        return PutResult::failure(404, QStringLiteral("no such take"));
    TakeRecord record;
    if (const TakeRecord* saved = m_recorder.savedTake(take)) {
        record = *saved;
    } else if (auto active = m_recorder.activeRecording(now); active && active->number == take) {
        record = *active;
    } else {
        // An empty partition describes what it would record now.
        record.number = take;
        record.settings = settingsSnapshot();
        record.firstFr = 0;
        record.lastFr = -1;
        record.prtnFrCnt = partitionFrames();
        record.prtnPtCnt = m_settings.integer(QStringLiteral("acq/trig_offset"));
    }
    *document = QJsonObject{
        {QStringLiteral("takes"), QJsonObject{{QStringLiteral("take%1").arg(take), takeBody(record)}}}};
    return PutResult::success();
}

void CameraModel::readoutChanged(Clock::time_point now)
{
    m_blackReference.invalidate();
    // A new sensor set-up restarts a recording that waits for its trigger.
    const int state = m_recorder.state();
    if (state == Recorder::Recording || state == Recorder::RecordingWrapped) {
        m_recorder.abort(now);
        m_recorder.record(now, recordingSetup(now));
    }
}

PutResult CameraModel::put(const QString& path, const QJsonValue& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    advance(now);
    QString canonical = path;
    if (canonical == QLatin1String("time/year_offset")) // the older firmware's name
        canonical = QStringLiteral("meta/year_offset");
    const QStringList parts = JsonPath::split(canonical);
    if (parts.size() >= 3 && parts.first() == QLatin1String("takes"))
        return putTakeValue(parts, value);
    if (canonical == QLatin1String("meta/time"))
        return setCameraTime(value.toString());
    if (canonical == QLatin1String("acq/prtn_cnt"))
        return m_recorder.partition(static_cast<int>(jsonInteger(value, 0)), maxPartitions());
    if (canonical.startsWith(QLatin1String("ssd/")) && !canonical.startsWith(QLatin1String("ssd/autosave/")))
        return PutResult::failure(403, QStringLiteral("read-only value"));
    if (canonical == QLatin1String("lens/focus_dist"))
        return PutResult::failure(403, QStringLiteral("read-only value"));
    const PutResult result = m_settings.put(canonical, value);
    if (m_settings.takeReadoutChanged())
        readoutChanged(now);
    return result;
}

PutResult CameraModel::putTakeValue(const QStringList& parts, const QJsonValue& value)
{
    const QString takeName = parts.at(1);
    const int take = takeName.startsWith(QLatin1String("take")) ? takeName.mid(4).toInt() : 0;
    TakeRecord* record = m_recorder.savedTake(take);
    if (!record)
        return PutResult::failure(404, QStringLiteral("no such take"));
    const QStringList rest = parts.mid(2);
    const QString restPath = rest.join(QLatin1Char('/'));
    if (restPath == QLatin1String("name")) {
        record->name = value.toString();
        return PutResult::success();
    }
    // Only how the frames are shown may change; what was recorded stays.
    const bool adjustable = (rest.first() == QLatin1String("adjust") && rest.size() == 2) ||
                            restPath == QLatin1String("acq/corr_mode");
    const QJsonValue current = JsonPath::get(takeBody(*record), rest);
    if (current.isUndefined() || current.isObject())
        return PutResult::failure(404, QStringLiteral("unknown value"));
    if (!adjustable)
        return PutResult::failure(403, QStringLiteral("read-only value"));
    QJsonValue stored = value;
    if (value.isString())
        stored = value.toString().toDouble();
    if (restPath == QLatin1String("acq/corr_mode") || rest.last() == QLatin1String("cfa"))
        stored = static_cast<qint64>(jsonInteger(stored, 0));
    JsonPath::set(record->settings, rest, stored);
    return PutResult::success();
}

PutResult CameraModel::setCameraTime(const QString& text)
{
    const QDateTime parsed = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!parsed.isValid())
        return PutResult::failure(400, QStringLiteral("invalid time"));
    const QDateTime time(parsed.date(), parsed.time(), Qt::UTC); // the program sends UTC
    // The program sets its own time in whole seconds, a second or less behind
    // true time when it arrives: the clock then runs with the camera's own
    // error again. A time farther off moves the clock there, error and all.
    const int64_t fromTrueNs = time.toMSecsSinceEpoch() * 1000000 - systemNowNs();
    const bool settingNow = fromTrueNs > -3 * NsPerSecond && fromTrueNs < 2 * NsPerSecond;
    m_clockOffsetNs = (settingNow ? 0 : fromTrueNs) + m_config.clockOffsetNs;
    m_settings.store(QStringLiteral("meta/year_offset"),
                     static_cast<qint64>(yearStartSeconds(cameraNowNs())));
    return PutResult::success();
}

PutResult CameraModel::moveFocus(int step)
{
    if (m_settings.integer(QStringLiteral("lens/state")) != 3)
        return PutResult::failure(409, QStringLiteral("lens not ready"));
    if (step == 32767)
        m_focusPosition = 1000; // infinity
    else if (step == 0)
        m_focusPosition = 0; // nearest focus
    else
        m_focusPosition =
            static_cast<int>(ClockRules::clamp(static_cast<int64_t>(m_focusPosition) + step, 0, 1000));
    return PutResult::success();
}

PutResult CameraModel::command(const QString& path, const QJsonObject& body, QJsonObject* reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    advance(now);
    if (path == QLatin1String("/rec"))
        return m_recorder.record(now, recordingSetup(now));
    if (path == QLatin1String("/trig"))
        return m_recorder.trigger(now, cameraNowNs());
    if (path == QLatin1String("/abort"))
        return m_recorder.abort(now);
    if (path == QLatin1String("/del"))
        return m_recorder.remove(static_cast<int>(jsonInteger(body.value(QStringLiteral("take")), 0)));
    if (path == QLatin1String("/prtn"))
        return m_recorder.partition(static_cast<int>(jsonInteger(body.value(QStringLiteral("cnt")), 0)),
                                    maxPartitions());
    if (path == QLatin1String("/bref")) {
        const std::set<int> inUse = m_recorder.blackReferencesInUse();
        if (m_recorder.state() != Recorder::Triggered)
            m_blackReference.start(now, inUse);
        reply->insert(QStringLiteral("bref_state"), static_cast<qint64>(m_blackReference.state(now, inUse)));
        return PutResult::success();
    }
    if (path.startsWith(QLatin1String("/ssd-")))
        return ssdCommand(path, body, reply, now);
    if (path == QLatin1String("/focus"))
        return moveFocus(static_cast<int>(jsonInteger(body.value(QStringLiteral("step")), 0)));
    if (path == QLatin1String("/shtr")) {
        const int64_t pos = jsonInteger(body.value(QStringLiteral("pos")), -1);
        if (pos != 0 && pos != 1)
            return PutResult::failure(400, QStringLiteral("invalid shutter position"));
        m_settings.store(QStringLiteral("shtr/state"), static_cast<int>(pos)); // 0 open, 1 closed
        return PutResult::success();
    }
    return PutResult::failure(404, QStringLiteral("unknown command"));
}

PutResult CameraModel::planLiveTransfer(int type, XferPlan* plan)
{
    const Resolution res = SensorModes::parse(m_settings.text(QStringLiteral("acq/res")));
    FrameParams& params = plan->params;
    params.seed = m_config.seed;
    params.serial = m_settings.text(QStringLiteral("camera/serial"));
    params.take = 0;
    params.width = res.width;
    params.height = res.height;
    const int cfa = static_cast<int>(m_settings.integer(QStringLiteral("camera/cfa")));
    params.cfa = isValidCfa(cfa) ? static_cast<Cfa>(cfa) : Cfa::Mono;
    params.metaSize = static_cast<int>(m_settings.integer(QStringLiteral("meta/size")));
    params.frClks = static_cast<uint32_t>(m_settings.integer(QStringLiteral("acq/fr_clks")));
    params.clkFreq = static_cast<uint32_t>(m_settings.integer(QStringLiteral("acq/clk_freq")));
    params.fsyncMode = static_cast<int>(m_settings.integer(QStringLiteral("acq/fsync_mode")));
    // Low-light mode exposes across frames with its own exposure.
    const bool lowLight = m_settings.integer(QStringLiteral("camera/low_light/mode")) == 1;
    params.expClks = static_cast<uint32_t>(m_settings.integer(
        lowLight ? QStringLiteral("camera/low_light/exp_clks") : QStringLiteral("acq/exp_clks")));
    params.fstop = m_settings.number(QStringLiteral("lens/fstop"));
    params.shutterClosed = m_settings.integer(QStringLiteral("shtr/state")) == 1;
    params.firstFr = 0;
    // The live image is the frame the sensor is reading right now; the sensor
    // has run since power-up, which the camera clock (perhaps set since) dates.
    const int64_t elapsedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - m_startedAt).count();
    params.frame0Ns =
        cameraNowNs() - elapsedNs - m_settings.integer(QStringLiteral("meta/year_offset")) * NsPerSecond;
    plan->start = params.frClks ? static_cast<int64_t>(static_cast<__int128>(elapsedNs) * params.clkFreq /
                                                       (static_cast<__int128>(params.frClks) * NsPerSecond))
                                : 0;
    plan->count = 1;
    plan->type = type;
    return PutResult::success();
}

PutResult CameraModel::planTransfer(const QJsonObject& body, XferPlan* plan)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    advance(now);
    const int64_t type = jsonInteger(body.value(QStringLiteral("type")), 3);
    if (type < 1 || type > 3)
        return PutResult::failure(400, QStringLiteral("invalid type"));
    const int64_t src = jsonInteger(body.value(QStringLiteral("src")), 0);
    if (src == 1)
        return planLiveTransfer(static_cast<int>(type), plan);
    if (src != 0 && src != 2)
        return PutResult::failure(400, QStringLiteral("invalid source"));
    const int take = static_cast<int>(jsonInteger(body.value(QStringLiteral("take")), 0));
    if (src == 2) {
        const SsdFile* file = m_ssd.openFile(take);
        if (!file)
            return PutResult::failure(404, QStringLiteral("SSD take %1 is not open").arg(take));
        const TakeRecord& range = file->take;
        const int64_t start = jsonInteger(body.value(QStringLiteral("start")), range.firstFr);
        const int64_t count = jsonInteger(body.value(QStringLiteral("cnt")), 1);
        if (count < 1 || !range.contains(start) || !range.contains(start + count - 1))
            return PutResult::failure(416, QStringLiteral("frame out of range"));
        plan->params = file->params;
        plan->start = start;
        plan->count = count;
        plan->type = static_cast<int>(type);
        return PutResult::success();
    }
    const TakeRecord* record = m_recorder.savedTake(take);
    if (!record) {
        if (m_recorder.activeTake() == take && take != 0)
            return PutResult::failure(409, QStringLiteral("take %1 is still recording").arg(take));
        return PutResult::failure(404, QStringLiteral("take %1 is empty").arg(take));
    }
    const int64_t start = jsonInteger(body.value(QStringLiteral("start")), record->firstFr);
    const int64_t count = jsonInteger(body.value(QStringLiteral("cnt")), 1);
    if (count < 1 || !record->contains(start) || !record->contains(start + count - 1))
        return PutResult::failure(416, QStringLiteral("frame out of range"));
    plan->params = FrameParams::fromTakeDocument(takeBody(*record), m_config.seed, take);
    plan->start = start;
    plan->count = count;
    plan->type = static_cast<int>(type);
    plan->lockTake = jsonInteger(body.value(QStringLiteral("lock")), 0) != 0 ? take : 0;
    return PutResult::success();
}

PutResult CameraModel::ssdTakeDocument(int take, QJsonObject* document)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    advance(Clock::now());
    const SsdFile* file = m_ssd.openFile(take);
    if (!file)
        return PutResult::failure(404, QStringLiteral("SSD take %1 is not open").arg(take));
    TakeRecord record = file->take;
    record.number = take;
    const QJsonObject takes{{QStringLiteral("take%1").arg(take), takeBody(record)}};
    *document = QJsonObject{{QStringLiteral("ssd"), QJsonObject{{QStringLiteral("takes"), takes}}}};
    return PutResult::success();
}

void CameraModel::insertSsd(bool formatted)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    advance(Clock::now());
    m_ssd.insert(Clock::now(), formatted);
}

void CameraModel::removeSsd()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ssd.remove();
    advance(Clock::now());
}

void CameraModel::failSsd()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ssd.fail();
    advance(Clock::now());
}

void CameraModel::setTakeLocked(int take, bool locked)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recorder.setLocked(take, locked);
}

std::optional<FrameParams> CameraModel::takeFrameParams(int take)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    advance(Clock::now());
    const TakeRecord* record = m_recorder.savedTake(take);
    if (!record)
        return std::nullopt;
    return FrameParams::fromTakeDocument(takeBody(*record), m_config.seed, take);
}

} // namespace q7sim
