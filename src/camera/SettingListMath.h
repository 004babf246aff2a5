#pragma once

#include <QJsonObject>
#include <QStringList>

// The arithmetic of the camera's setting lists (frame rates, exposures,
// trigger offsets, f-numbers, resolutions, video formats), kept apart from
// `Camera` so that it can be checked without a camera. Every function is a
// pure function of the values the camera reports and always ends: the
// camera may report any number, including zeros and negative grids.
class SettingListMath
{
public:
    // A list of choices and the text of the camera's current value in it.
    struct Choices
    {
        QStringList entries;
        QString current;
    };

    // Rates clk / n for clock counts n in [frClksMin, frClksMax] that are
    // whole multiples of 1000, plus the current and the highest rate, highest
    // first. All as unsigned 32-bit numbers. Without a usable clock or frame
    // count only the reported rate `frRate` is offered.
    static Choices frameRates(quint32 clk, quint32 frClks, quint32 frClksMin, quint32 frClksMax,
                              double frRate);
    // Frame rates are whole frames per second, truncated, wherever they are
    // shown (the list, a recording's rate) or sent: a rate r becomes the
    // period clk / min(r, clk) clocks, truncated, so that the camera runs at
    // r or a little faster and the list then shows r again. Every rate the
    // list offers is thus reachable within the camera's period limits.
    static quint32 wholeRate(quint32 clk, quint32 frClks) { return frClks ? clk / frClks : 0; }
    // The frame period for `rate` fps, at least 1 clock and at most INT32_MAX;
    // -1 without a usable rate or clock.
    static qint64 frameClocksForRate(quint32 clk, double rate);
    // A rate the camera reports (a double) as the list would show it.
    static QString frameRateText(double rate);
    // Microseconds to the nearest clock count, at most INT32_MAX; -1 without
    // a usable time or clock. Exposure texts carry three decimals, so every
    // entry of the exposure list comes back as the count it was made from.
    static qint64 exposureClocks(qint32 clk, double us);
    // Under external frame sync the camera's rate is the only choice.
    static Choices externalFrameRate(double frRate);
    // Exposures on the camera's grid ofst + k * mult, shown in microseconds.
    static Choices exposures(qint32 clk, qint32 expClks, qint32 expClksMin, qint32 expClksMax, qint32 mult,
                             qint32 ofst);
    static QString exposureText(qint64 clocks, qint32 clk);
    static Choices trigOffsets(quint32 trigOffset, qint32 prtnFrCnt);
    // Table f-numbers inside the lens range; `lo` is the smallest aperture
    // (largest f-number), `hi` the largest aperture.
    static QStringList fstops(double lo, double hi);
    static QString fstopText(double fstop);
    static const QStringList& defaultVideoFormats();
    // The string elements of document[group][member] in order, at most
    // CameraLimits::MaxListEntries; empty when that is no array.
    static QStringList stringArray(const QJsonObject& document, const QString& group, const QString& member);
};
