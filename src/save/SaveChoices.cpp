#include "SaveChoices.h"

#include <QMetaEnum>
#include <algorithm>
#include <cmath>

namespace {

using Choice = SaveChoices::Choice;

const Choice VornFormat{QStringLiteral("VORN"), Util::FormatVorn};
const Choice CsvFormat{QStringLiteral("CSV (Metadata)"), Util::FormatCsv};

Choice codec(const char* text, Util::Codec value)
{
    return Choice{QString::fromLatin1(text), value};
}

QString formatText(Util::Format format)
{
    for (const Choice& choice : SaveChoices::formatChoices(SaveJob::FileDest, VornObject::TakeType)) {
        if (choice.value == format)
            return choice.text;
    }
    return QString::number(int(format));
}

QString codecText(Util::Codec value)
{
    const char* key = QMetaEnum::fromType<Util::Codec>().valueToKey(value);
    return key ? QString::fromLatin1(key).remove(QStringLiteral("Codec")) : QString::number(int(value));
}

bool contains(const QList<Choice>& choices, int value)
{
    return std::any_of(choices.cbegin(), choices.cend(),
                       [value](const Choice& c) { return c.value == value; });
}

QVariantList toVariant(const QList<Choice>& choices)
{
    QVariantList list;
    for (const Choice& choice : choices)
        list.append(
            QVariantMap{{QStringLiteral("text"), choice.text}, {QStringLiteral("value"), choice.value}});
    return list;
}

std::optional<qint64> frameNumber(const QVariant& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::abs(d) > 9.0e15)
        return std::nullopt;
    return qint64(std::llround(d));
}

} // namespace

SaveChoices::SaveChoices(QObject* parent) : QObject(parent) {}

QList<Choice> SaveChoices::destinationChoices(VornObject::Type sourceType)
{
    QList<Choice> list{{QStringLiteral("File"), SaveJob::FileDest}};
    if (sourceType == VornObject::TakeType)
        list.append({QStringLiteral("SSD"), SaveJob::SsdDest});
    return list;
}

QList<Choice> SaveChoices::formatChoices(SaveJob::Dest dest, VornObject::Type sourceType)
{
    if (dest == SaveJob::SsdDest)
        return {VornFormat};
    QList<Choice> list{VornFormat,
                       {QStringLiteral("AVI"), Util::FormatAvi},
                       {QStringLiteral("MP4"), Util::FormatMp4},
                       {QStringLiteral("TIFF"), Util::FormatTiff},
                       {QStringLiteral("DNG"), Util::FormatDng}};
    if (sourceType != VornObject::SsdTakeType)
        list.append(CsvFormat);
    return list;
}

QList<Choice> SaveChoices::codecChoices(Util::Format format, bool batch)
{
    switch (format) {
    case Util::FormatAvi:
        if (batch)
            return {codec("RAW - Gray8", Util::CodecRaw_Gray8), codec("RAW - BGR24", Util::CodecRaw_BGR24)};
        return {codec("RAW - BGR24", Util::CodecRaw_BGR24), codec("RAW - Gray8", Util::CodecRaw_Gray8)};
    case Util::FormatMp4:
        return {codec("AV1 - YUV420P", Util::CodecAV1_YUV420P),
                codec("AV1 - YUV420P10", Util::CodecAV1_YUV420P10),
                codec("H.264 - YUV420P", Util::CodecH264)};
    case Util::FormatTiff:
        if (batch)
            return {codec("RAW - Gray8", Util::CodecRaw_Gray8), codec("RAW - Gray16", Util::CodecRaw_Gray16),
                    codec("RAW - RGB24", Util::CodecRaw_RGB24)};
        return {codec("RAW - RGB24", Util::CodecRaw_RGB24), codec("RAW - Gray8", Util::CodecRaw_Gray8),
                codec("RAW - Gray16", Util::CodecRaw_Gray16)};
    case Util::FormatCsv:
        return {codec("", Util::CodecCsv)};
    case Util::FormatDng:
        return {codec("", Util::CodecDng)};
    case Util::FormatVorn:
        return {codec("", Util::CodecVorn)};
    }
    return {};
}

QString SaveChoices::refusal(VornObject::Type sourceType, SaveJob::Dest dest, Util::Format format,
                             Util::Codec codec)
{
    if (sourceType != VornObject::TakeType && sourceType != VornObject::SsdTakeType &&
        sourceType != VornObject::VornFileType)
        return QStringLiteral(
            "<b>Nothing to save!</b><br>Only takes, SSD takes and VORN files can be saved.");
    if (!contains(destinationChoices(sourceType), dest))
        return dest == SaveJob::SsdDest
                   ? QStringLiteral("<b>Can't save onto the camera's SSD!</b><br>"
                                    "Only takes in camera memory can be saved there.")
                   : QStringLiteral("<b>Can't save there!</b><br>Unknown destination %1.").arg(int(dest));
    if (!contains(formatChoices(dest, sourceType), format)) {
        if (dest == SaveJob::SsdDest)
            return QStringLiteral(
                       "<b>Can't save %1 onto the camera's SSD!</b><br>The SSD takes VORN files only.")
                .arg(formatText(format));
        if (format == Util::FormatCsv)
            return QStringLiteral("<b>Can't save the metadata of an SSD take!</b><br>"
                                  "Save it as VORN, AVI, MP4, TIFF or DNG.");
        return QStringLiteral("<b>Can't save in that format!</b><br>Unknown format %1.").arg(int(format));
    }
    if (!contains(codecChoices(format, false), codec))
        return QStringLiteral("<b>%1 files can't hold the codec %2!</b>")
            .arg(formatText(format), codecText(codec));
    return QString();
}

SaveChoices::Range SaveChoices::normalise(std::optional<qint64> start, std::optional<qint64> end,
                                          qint64 first, qint64 last, Edited edited)
{
    last = std::max(first, last);
    qint64 s = start ? std::clamp(*start, first, last) : first;
    qint64 e = end ? std::clamp(*end, first, last) : last;
    if (edited == Edited::Start)
        s = std::min(s, e);
    else
        e = std::max(e, s);
    return Range{s, e, e - s + 1};
}

QStringList SaveChoices::frameRatePresets()
{
    return {QStringLiteral("1"),     QStringLiteral("23.98"), QStringLiteral("24"), QStringLiteral("25"),
            QStringLiteral("29.97"), QStringLiteral("30"),    QStringLiteral("50"), QStringLiteral("59.94"),
            QStringLiteral("60"),    QStringLiteral("120"),   QStringLiteral("240")};
}

QString SaveChoices::burnInRefusal(Util::Format format, const BurnInOptions& burnIn)
{
    if (!burnIn.active() || allowsBurnIn(format))
        return QString();
    return QStringLiteral("<b>Can't burn text into %1 files!</b><br>"
                          "Burn-in is for TIFF, AVI and MP4 saves.")
        .arg(formatText(format));
}

QVariantList SaveChoices::burnInLines() const
{
    return toVariant({{QStringLiteral("Time"), BurnInOptions::TimeLine},
                      {QStringLiteral("Frame"), BurnInOptions::FrameLine},
                      {QStringLiteral("Trigger"), BurnInOptions::TriggerLine},
                      {QStringLiteral("Camera"), BurnInOptions::CameraLine}});
}

QVariantList SaveChoices::burnInCorners() const
{
    return toVariant({{QStringLiteral("Top Left"), BurnInOptions::TopLeft},
                      {QStringLiteral("Top Right"), BurnInOptions::TopRight},
                      {QStringLiteral("Bottom Left"), BurnInOptions::BottomLeft},
                      {QStringLiteral("Bottom Right"), BurnInOptions::BottomRight}});
}

QVariantList SaveChoices::destinations(VornObject::Type sourceType) const
{
    return toVariant(destinationChoices(sourceType));
}

QVariantList SaveChoices::formats(SaveJob::Dest dest, VornObject::Type sourceType) const
{
    return toVariant(formatChoices(dest, sourceType));
}

QVariantList SaveChoices::codecs(Util::Format format, bool batch) const
{
    return toVariant(codecChoices(format, batch));
}

int SaveChoices::indexOf(const QVariantList& choices, int value) const
{
    for (int i = 0; i < choices.size(); ++i) {
        if (choices.at(i).toMap().value(QStringLiteral("value")).toInt() == value)
            return i;
    }
    return 0;
}

bool SaveChoices::hasCodecChoice(Util::Format format) const
{
    return codecChoices(format, false).size() > 1;
}

bool SaveChoices::hasQuality(Util::Format format, Util::Codec codec) const
{
    return format == Util::FormatMp4 &&
           (codec == Util::CodecAV1_YUV420P || codec == Util::CodecAV1_YUV420P10 || codec == Util::CodecH264);
}

int SaveChoices::worstQuality(Util::Codec codec) const
{
    return codec == Util::CodecH264 ? 51 : 63;
}

QVariantMap SaveChoices::normalise(const QVariant& start, const QVariant& end, qint64 first, qint64 last,
                                   bool startEdited) const
{
    const Range r = normalise(frameNumber(start), frameNumber(end), first, last,
                              startEdited ? Edited::Start : Edited::End);
    return {{QStringLiteral("start"), r.start},
            {QStringLiteral("end"), r.end},
            {QStringLiteral("count"), r.count}};
}
