#include "FrameParams.h"

#include "JsonPath.h"

namespace q7sim {

namespace {
QJsonValue firstPresent(const QJsonObject& doc, const char* path, const char* altPath)
{
    const QJsonValue value = JsonPath::get(doc, QString::fromLatin1(path));
    if (!value.isUndefined() && !value.isNull())
        return value;
    return JsonPath::get(doc, QString::fromLatin1(altPath));
}
} // namespace

FrameParams FrameParams::fromTakeDocument(const QJsonObject& doc, uint64_t seed, int take)
{
    FrameParams params;
    params.seed = seed;
    params.take = take;
    params.serial = JsonPath::get(doc, QStringLiteral("camera/serial")).toString();
    const QStringList res = JsonPath::get(doc, QStringLiteral("acq/res")).toString().split(QLatin1Char('x'));
    if (res.size() == 2) {
        params.width = res.at(0).toInt();
        params.height = res.at(1).toInt();
    }
    const int cfa = JsonPath::get(doc, QStringLiteral("camera/cfa")).toInt();
    params.cfa = isValidCfa(cfa) ? static_cast<Cfa>(cfa) : Cfa::Mono;
    params.metaSize = firstPresent(doc, "meta/size", "meta_size").toInt(32);
    const int64_t yearOffset = firstPresent(doc, "meta/year_offset", "time/year_offset").toInteger();
    const int64_t trigS = doc.value(QStringLiteral("trig_ts_s")).toInteger();
    const int64_t trigNs = doc.value(QStringLiteral("trig_ts_ns")).toInteger();
    params.frame0Ns = (trigS - yearOffset) * 1000000000LL + trigNs;
    params.frClks = static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/fr_clks")).toInteger());
    params.clkFreq = static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/clk_freq")).toInteger());
    params.firstFr = doc.value(QStringLiteral("first_fr")).toInteger();
    params.fsyncMode = JsonPath::get(doc, QStringLiteral("acq/fsync_mode")).toInt();
    params.expClks =
        static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/exp_clks")).toInteger(50000));
    params.fstop = JsonPath::get(doc, QStringLiteral("lens/fstop")).toDouble(5.6);
    params.shutterClosed = JsonPath::get(doc, QStringLiteral("shtr/state")).toInt() == 1;
    return params;
}

} // namespace q7sim
