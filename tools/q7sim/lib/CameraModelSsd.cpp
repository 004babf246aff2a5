// The SSD commands of CameraModel: listing, opening and closing files,
// ejecting, formatting and saving memory takes onto the SSD.
#include "CameraModel.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace q7sim {

namespace {

int64_t bodyInteger(const QJsonObject& body, const char* key, int64_t fallback)
{
    const QJsonValue value = body.value(QLatin1String(key));
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || std::fabs(value.toDouble()) > 9e15)
        return fallback;
    return static_cast<int64_t>(std::llround(value.toDouble()));
}

} // namespace

PutResult CameraModel::ssdCommand(const QString& path, const QJsonObject& body, QJsonObject* reply,
                                  Clock::time_point now)
{
    if (path == QLatin1String("/ssd-ls")) {
        // Older firmware knows only bare names.
        const bool longForm = bodyInteger(body, "long", 0) != 0 && !m_config.oldFirmware;
        QJsonArray entries;
        const PutResult result = m_ssd.list(longForm, &entries);
        if (result.ok())
            reply->insert(QStringLiteral("ssd-ls"), entries);
        return result;
    }
    if (path == QLatin1String("/ssd-fopen")) {
        int take = 0;
        const PutResult result = m_ssd.open(body.value(QStringLiteral("name")).toString(), &take);
        if (result.ok())
            reply->insert(QStringLiteral("take"), take);
        return result;
    }
    if (path == QLatin1String("/ssd-fclose"))
        return m_ssd.close(static_cast<int>(bodyInteger(body, "take", 0)));
    if (path == QLatin1String("/ssd-umount"))
        return m_ssd.unmount(now);
    if (path == QLatin1String("/ssd-format")) {
        if (m_settings.integer(QStringLiteral("features/ssd-format")) < 1)
            return PutResult::failure(501, QStringLiteral("formatting not supported"));
        return m_ssd.format(now, body.value(QStringLiteral("name")).toString());
    }
    if (path == QLatin1String("/ssd-save"))
        return ssdSave(body, reply, now);
    return PutResult::failure(404, QStringLiteral("unknown command"));
}

PutResult CameraModel::ssdSave(const QJsonObject& body, QJsonObject* reply, Clock::time_point now)
{
    // The firmware's level decides which members it reads and what it answers.
    const int64_t level = m_settings.integer(QStringLiteral("features/ssd-save"));
    if (level < 1)
        return PutResult::failure(501, QStringLiteral("SSD save not supported"));
    const int take = static_cast<int>(bodyInteger(body, "take", 0));
    const TakeRecord* record = m_recorder.savedTake(take);
    if (!record)
        return PutResult::failure(404, QStringLiteral("take %1 is empty").arg(take));
    const int64_t start = bodyInteger(body, "start", record->firstFr);
    const int64_t count = bodyInteger(body, "cnt", record->frameCount());
    const QString name = level >= 2 ? body.value(QStringLiteral("name")).toString() : QString();
    const bool deleteTake = level >= 3 && bodyInteger(body, "del_take", 0) != 0;
    SsdSave save;
    const PutResult result = queueSsdSave(*record, start, count, name, deleteTake, now, &save);
    if (!result.ok())
        return result;
    if (level >= 2) {
        reply->insert(QStringLiteral("name"), save.file.name);
        reply->insert(QStringLiteral("seq"), static_cast<qint64>(save.seq));
    }
    return PutResult::success();
}

PutResult CameraModel::queueSsdSave(const TakeRecord& record, int64_t start, int64_t count,
                                    const QString& name, bool deleteTake, Clock::time_point now,
                                    SsdSave* save)
{
    if (count < 1 || !record.contains(start) || !record.contains(start + count - 1))
        return PutResult::failure(416, QStringLiteral("frame out of range"));
    save->memoryTake = record.number;
    save->deleteTake = deleteTake;
    save->file.time = cameraNowNs() / 1000000000LL;
    save->file.params = FrameParams::fromTakeDocument(takeBody(record), m_config.seed, record.number);
    save->file.take = record;
    save->file.take.firstFr = start;
    save->file.take.lastFr = start + count - 1;
    save->file.take.ptFrCnt = std::max<int64_t>(0, std::min<int64_t>(count, start + count));
    save->file.name = name;
    const PutResult result = m_ssd.queueSave(now, *save);
    if (result.ok())
        m_recorder.setLocked(record.number, true);
    return result;
}

void CameraModel::autosaveNewTakes(Clock::time_point now)
{
    std::set<int> saved;
    for (const QJsonValue& number : m_recorder.savedTakes())
        saved.insert(number.toInt());
    std::set<int> fresh;
    std::set_difference(saved.begin(), saved.end(), m_takesSeen.begin(), m_takesSeen.end(),
                        std::inserter(fresh, fresh.begin()));
    m_takesSeen = saved;

    const int64_t mode = m_settings.integer(QStringLiteral("ssd/autosave/mode"));
    if (!(mode & AutosaveEnabled) || m_ssd.state() != SsdDrive::Ready)
        return;
    for (int take : fresh) {
        const TakeRecord* record = m_recorder.savedTake(take);
        if (!record)
            continue;
        // A selection counts frames from the trigger frame, like the rest of
        // the camera; it is cut to what the take holds. No count: to the end.
        int64_t start = record->firstFr;
        int64_t last = record->lastFr;
        if (mode & AutosaveSelection) {
            const int64_t count = m_settings.integer(QStringLiteral("ssd/autosave/cnt"));
            start = std::clamp<int64_t>(m_settings.integer(QStringLiteral("ssd/autosave/start")),
                                        record->firstFr, record->lastFr);
            if (count > 0)
                last = std::min<int64_t>(last, start + count - 1);
        }
        SsdSave save;
        queueSsdSave(*record, start, last - start + 1, m_settings.text(QStringLiteral("ssd/autosave/name")),
                     (mode & AutosaveDeleteTake) != 0, now, &save);
    }
}

} // namespace q7sim
