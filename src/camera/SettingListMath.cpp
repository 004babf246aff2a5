#include "SettingListMath.h"

#include "CameraLimits.h"
#include "FuzzyCompare.h"

#include <QJsonArray>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double fstopTable[] = {1.0, 1.1, 1.2, 1.4, 1.6, 1.8, 2.0, 2.2, 2.5, 2.8, 3.2, 3.5, 4.0, 4.5,
                             5.0, 5.6, 6.3, 7.1, 8.0, 9.0, 10,  11,  13,  14,  16,  18,  20,  22,
                             25,  29,  32,  36,  40,  45,  51,  57,  64,  72,  80,  90};

// Smallest grid count not below x; the grid step is positive here. Worked in
// 64 bits so that extreme limits cannot overflow.
qint64 gridUp(qint64 x, qint64 mult, qint64 ofst)
{
    const qint64 y = x - ofst - 1 + mult;
    const qint64 n = y - (y % mult) + ofst;
    return n < 0 ? 0 : n;
}

qint64 gridDown(qint64 x, qint64 mult, qint64 ofst)
{
    const qint64 y = x - ofst;
    const qint64 n = y - (y % mult) + ofst;
    return n < 0 ? 0 : n;
}

} // namespace

SettingListMath::Choices SettingListMath::frameRates(quint32 clk, quint32 frClks, quint32 frClksMin,
                                                     quint32 frClksMax, double frRate)
{
    if (clk == 0 || frClks == 0)
        return externalFrameRate(frRate); // no rate can be computed; show the camera's own
    const quint32 current = wholeRate(clk, frClks);
    QList<quint32> rates{current};
    if (frClksMin > 0)
        rates.append(clk / frClksMin);
    // Only divisors n of clk give whole rates. Walking the divisors in pairs
    // (d, clk / d) up to the square root finds them all in at most 65536
    // steps, where a walk over every count between the limits could take
    // billions.
    const quint32 low = std::max<quint32>(frClksMin, 1);
    for (quint64 d = 1; d * d <= clk; ++d) {
        if (clk % d != 0)
            continue;
        for (const quint64 n : {d, quint64(clk) / d}) {
            if (n >= low && n <= frClksMax && (clk / n) % 1000 == 0)
                rates.append(quint32(clk / n));
        }
    }
    std::sort(rates.begin(), rates.end(), std::greater<quint32>());
    rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
    Choices choices;
    for (const quint32 rate : rates)
        choices.entries.append(QString::number(rate));
    choices.current = QString::number(current);
    return choices;
}

qint64 SettingListMath::frameClocksForRate(quint32 clk, double rate)
{
    if (clk == 0 || !(rate > 0) || !std::isfinite(rate))
        return -1;
    const double clocks = std::floor(double(clk) / std::min(rate, double(clk)));
    return qint64(std::clamp(clocks, 1.0, double(std::numeric_limits<qint32>::max())));
}

QString SettingListMath::frameRateText(double rate)
{
    if (!std::isfinite(rate) || rate <= 0)
        return QStringLiteral("0");
    // (a rate the camera computed as a double may land a hair below a whole number)
    return QString::number(std::floor(rate + 1e-6), 'f', 0);
}

qint64 SettingListMath::exposureClocks(qint32 clk, double us)
{
    if (clk <= 0 || !(us > 0) || !std::isfinite(us))
        return -1;
    const double clocks = std::round(double(clk) * us / 1000000.0);
    return qint64(std::min(clocks, double(std::numeric_limits<qint32>::max())));
}

SettingListMath::Choices SettingListMath::externalFrameRate(double frRate)
{
    const QString text = QString::number(frRate, 'g', 6);
    return Choices{{text}, text};
}

QString SettingListMath::exposureText(qint64 clocks, qint32 clk)
{
    return QString::number(double(clocks) / double(clk) * 1000000.0, 'f', 3);
}

SettingListMath::Choices SettingListMath::exposures(qint32 clk, qint32 expClks, qint32 expClksMin,
                                                    qint32 expClksMax, qint32 mult, qint32 ofst)
{
    if (clk <= 0)
        return Choices(); // no clock, no time: nothing can be shown
    QList<qint64> counts{expClks};
    if (mult <= 0) {
        // No usable grid: only the values the camera itself reports.
        counts << expClksMax << expClksMin;
    } else {
        const qint64 maxA = gridDown(expClksMax, mult, ofst);
        const qint64 minA = gridUp(expClksMin, mult, ofst);
        const qint64 oneUs = gridUp(clk / 1000000, mult, ofst);
        counts << maxA << expClksMin;
        // Round exposures: 10, 20 .. 100 us, then 1 .. 9 us, each run
        // stopping at its first count above the longest exposure.
        struct Run
        {
            int first, last, step;
        };
        for (const Run run : {Run{10, 100, 10}, Run{1, 9, 1}}) {
            for (int p = run.first; p <= run.last; p += run.step) {
                const qint64 n = gridUp(qint64(p) * clk / 1000000, mult, ofst);
                if (n > maxA)
                    break;
                counts << n;
            }
        }
        // Grid counts below one microsecond: at most clk / 1e6 / mult of them.
        for (qint64 n = minA; n < oneUs && n <= maxA; n += mult)
            counts << n;
    }
    // By value, highest first; a later text of the same value replaces the earlier.
    QMap<double, QString> byValue;
    for (const qint64 n : counts) {
        const QString text = exposureText(n, clk);
        byValue.insert(text.toDouble(), text);
    }
    Choices choices;
    for (auto it = byValue.cbegin(); it != byValue.cend(); ++it)
        choices.entries.prepend(it.value());
    choices.current = exposureText(expClks, clk);
    return choices;
}

SettingListMath::Choices SettingListMath::trigOffsets(quint32 trigOffset, qint32 prtnFrCnt)
{
    const QString current = QString::number(trigOffset);
    const QStringList texts{current, QStringLiteral("2"), QString::number(prtnFrCnt / 2),
                            QString::number(qint64(prtnFrCnt) - 1)};
    // Sorted as signed 32-bit numbers, lowest first, the first text of a value kept.
    QMap<qint32, QString> byValue;
    for (const QString& text : texts) {
        const qint32 value = qint32(text.toLongLong());
        if (!byValue.contains(value))
            byValue.insert(value, text);
    }
    return Choices{byValue.values(), current};
}

QStringList SettingListMath::fstops(double lo, double hi)
{
    QStringList entries;
    for (const double f : fstopTable) {
        if (fuzzyEqual(f, lo) || fuzzyEqual(f, hi) || (hi < f && f < lo))
            entries.append(QString::number(f, 'g', 6));
    }
    return entries;
}

QString SettingListMath::fstopText(double fstop)
{
    return QString::asprintf("%g", fstop);
}

const QStringList& SettingListMath::defaultVideoFormats()
{
    static const QStringList formats{
        QStringLiteral("1280x720p23.98"), QStringLiteral("1280x720p24"),  QStringLiteral("1280x720p25"),
        QStringLiteral("1280x720p29.97"), QStringLiteral("1280x720p30"),  QStringLiteral("1280x720p50"),
        QStringLiteral("1280x720p59.94"), QStringLiteral("1280x720p60"),  QStringLiteral("1920x1080p23.98"),
        QStringLiteral("1920x1080p24"),   QStringLiteral("1920x1080p25"), QStringLiteral("1920x1080p29.97"),
        QStringLiteral("1920x1080p30")};
    return formats;
}

QStringList SettingListMath::stringArray(const QJsonObject& document, const QString& group,
                                         const QString& member)
{
    QStringList entries;
    const QJsonValue array = document.value(group).toObject().value(member);
    for (const QJsonValue& element : array.toArray()) {
        if (entries.size() == CameraLimits::MaxListEntries)
            break;
        if (element.isString())
            entries.append(element.toString());
    }
    return entries;
}
