// The SSD commands of CameraModel: listing, opening and closing files,
// ejecting, formatting and saving memory takes onto the SSD.
#include "CameraModel.h"

#include <cmath>

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
    if (count < 1 || !record->contains(start) || !record->contains(start + count - 1))
        return PutResult::failure(416, QStringLiteral("frame out of range"));

    SsdSave save;
    save.memoryTake = take;
    save.deleteTake = level >= 3 && bodyInteger(body, "del_take", 0) != 0;
    save.file.time = cameraNowNs() / 1000000000LL;
    save.file.params = FrameParams::fromTakeDocument(takeBody(*record), m_config.seed, take);
    save.file.take = *record;
    save.file.take.firstFr = start;
    save.file.take.lastFr = start + count - 1;
    save.file.take.ptFrCnt = std::max<int64_t>(0, std::min<int64_t>(count, start + count));
    if (level >= 2)
        save.file.name = body.value(QStringLiteral("name")).toString();
    const PutResult result = m_ssd.queueSave(now, save);
    if (!result.ok())
        return result;
    m_recorder.setLocked(take, true);
    if (level >= 2) {
        reply->insert(QStringLiteral("name"), save.file.name);
        reply->insert(QStringLiteral("seq"), static_cast<qint64>(save.seq));
    }
    return PutResult::success();
}

} // namespace q7sim
