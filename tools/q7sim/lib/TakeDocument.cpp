#include "TakeDocument.h"

#include "JsonPath.h"

namespace q7sim {

namespace {

QJsonObject pick(const QJsonObject& from, const QStringList& keys)
{
    QJsonObject picked;
    for (const QString& key : keys)
        if (from.contains(key))
            picked.insert(key, from.value(key));
    return picked;
}

} // namespace

QJsonObject recordingSettings(const QJsonObject& all, double focusDistance)
{
    QJsonObject snapshot;
    snapshot.insert(QStringLiteral("acq"),
                    pick(all.value(QStringLiteral("acq")).toObject(),
                         {QStringLiteral("res"), QStringLiteral("bpp"), QStringLiteral("clk_freq"),
                          QStringLiteral("exp_clks"), QStringLiteral("exp_time"), QStringLiteral("fr_clks"),
                          QStringLiteral("fr_rate"), QStringLiteral("fsync_mode"),
                          QStringLiteral("fsync_state"), QStringLiteral("corr_mode")}));
    snapshot.insert(QStringLiteral("camera"),
                    pick(all.value(QStringLiteral("camera")).toObject(),
                         {QStringLiteral("name"), QStringLiteral("serial"), QStringLiteral("model"),
                          QStringLiteral("model_id"), QStringLiteral("cfa"), QStringLiteral("fw_ver")}));
    snapshot.insert(QStringLiteral("meta"), pick(all.value(QStringLiteral("meta")).toObject(),
                                                 {QStringLiteral("size"), QStringLiteral("year_offset")}));
    QJsonObject lens = all.value(QStringLiteral("lens")).toObject();
    lens.remove(QStringLiteral("state"));
    lens.insert(QStringLiteral("focus_dist"), focusDistance);
    snapshot.insert(QStringLiteral("lens"), lens);
    // Not read by the program, but it decides how dark the frames are.
    snapshot.insert(QStringLiteral("shtr"), all.value(QStringLiteral("shtr")));
    snapshot.insert(QStringLiteral("adjust"), all.value(QStringLiteral("adjust")));
    return snapshot;
}

QJsonObject takeDocumentBody(const TakeRecord& take)
{
    QJsonObject body = take.settings;
    body.insert(QStringLiteral("first_fr"), static_cast<qint64>(take.firstFr));
    body.insert(QStringLiteral("last_fr"), static_cast<qint64>(take.lastFr));
    body.insert(QStringLiteral("fr_cnt"), static_cast<qint64>(take.frameCount()));
    body.insert(QStringLiteral("pt_fr_cnt"), static_cast<qint64>(take.ptFrCnt));
    body.insert(QStringLiteral("trig_ts_s"), static_cast<qint64>(take.trigTsS));
    body.insert(QStringLiteral("trig_ts_ns"), static_cast<qint64>(take.trigTsNs));
    body.insert(QStringLiteral("trig_src"), take.trigSrc);
    body.insert(QStringLiteral("prtn_fr_cnt"), static_cast<qint64>(take.prtnFrCnt));
    body.insert(QStringLiteral("prtn_pt_cnt"), static_cast<qint64>(take.prtnPtCnt));
    body.insert(QStringLiteral("name"), take.name);
    return body;
}

void applyOldFirmwareLayout(QJsonObject& document)
{
    // Older firmware keeps the year offset under time/, reports its version
    // as a number and knows no video format list.
    const QJsonValue yearOffset = JsonPath::get(document, QStringLiteral("meta/year_offset"));
    if (document.contains(QStringLiteral("meta"))) {
        QJsonObject meta = document.value(QStringLiteral("meta")).toObject();
        meta.remove(QStringLiteral("year_offset"));
        document.insert(QStringLiteral("meta"), meta);
        JsonPath::set(document, QStringLiteral("time/year_offset"), yearOffset);
    }
    if (JsonPath::get(document, QStringLiteral("camera/fw_ver")).isString())
        JsonPath::set(document, QStringLiteral("camera/fw_ver"), 342);
    if (document.contains(QStringLiteral("video"))) {
        QJsonObject video = document.value(QStringLiteral("video")).toObject();
        video.remove(QStringLiteral("valid_format"));
        document.insert(QStringLiteral("video"), video);
    }
}

} // namespace q7sim
