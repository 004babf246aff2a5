#include "FrameSpec.h"

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

FrameSpec FrameSpec::fromTakeDocument(const QJsonObject& doc, uint64_t seed, int take)
{
    FrameSpec spec;
    spec.seed = seed;
    spec.take = take;
    spec.serial = JsonPath::get(doc, QStringLiteral("camera/serial")).toString();
    const QStringList res = JsonPath::get(doc, QStringLiteral("acq/res")).toString().split(QLatin1Char('x'));
    if (res.size() == 2) {
        spec.width = res.at(0).toInt();
        spec.height = res.at(1).toInt();
    }
    const int cfa = JsonPath::get(doc, QStringLiteral("camera/cfa")).toInt();
    spec.cfa = isValidCfa(cfa) ? static_cast<Cfa>(cfa) : Cfa::Mono;
    spec.metaSize = firstPresent(doc, "meta/size", "meta_size").toInt(32);
    const int64_t yearOffset = firstPresent(doc, "meta/year_offset", "time/year_offset").toInteger();
    const int64_t trigS = doc.value(QStringLiteral("trig_ts_s")).toInteger();
    const int64_t trigNs = doc.value(QStringLiteral("trig_ts_ns")).toInteger();
    spec.frame0Ns = (trigS - yearOffset) * 1000000000LL + trigNs;
    spec.frClks = static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/fr_clks")).toInteger());
    spec.clkFreq = static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/clk_freq")).toInteger());
    spec.firstFr = doc.value(QStringLiteral("first_fr")).toInteger();
    spec.fsyncMode = JsonPath::get(doc, QStringLiteral("acq/fsync_mode")).toInt();
    spec.expClks = static_cast<uint32_t>(JsonPath::get(doc, QStringLiteral("acq/exp_clks")).toInteger(50000));
    spec.fstop = JsonPath::get(doc, QStringLiteral("lens/fstop")).toDouble(5.6);
    spec.shutterClosed = JsonPath::get(doc, QStringLiteral("shtr/state")).toInt() == 1;
    return spec;
}

} // namespace q7sim
