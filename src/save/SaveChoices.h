#pragma once

#include "BurnInOptions.h"
#include "SaveJob.h"
#include "Util.h"
#include "VornObject.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>
#include <optional>

// What a save may be: the destinations a source allows, the formats a
// destination and a source allow, the codecs of each format with the texts
// the dialogs show them with, the frame-rate presets and quality ranges of
// video files, and the frame range that a dialog's start and end make. The
// save manager refuses what these rules forbid; the dialogs only show them,
// through the one instance QML knows as the singleton SaveChoices.
class SaveChoices : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList frameRatePresets READ frameRatePresets CONSTANT)

public:
    struct Choice
    {
        QString text;
        int value;
    };
    // Frames start..end, count = end - start + 1 (at least 1).
    struct Range
    {
        qint64 start;
        qint64 end;
        qint64 count;
    };
    enum class Edited { Start, End };

    explicit SaveChoices(QObject* parent = nullptr);

    // "File" always; "SSD" only for a take in camera memory (the camera
    // copies from its memory).
    static QList<Choice> destinationChoices(VornObject::Type sourceType);
    // VORN alone onto the SSD; no metadata file of an SSD take.
    static QList<Choice> formatChoices(SaveJob::Dest dest, VornObject::Type sourceType);
    // The batch dialog lists the grey codecs first.
    static QList<Choice> codecChoices(Util::Format format, bool batch);
    // Why this save cannot be made, as a message for the user; empty when it can.
    static QString refusal(VornObject::Type sourceType, SaveJob::Dest dest, Util::Format format,
                           Util::Codec codec);
    // The frames to save of a source with frames first..last, from a start
    // and an end that may be missing (then the first or last frame). Both
    // stay inside the recording; then the value being edited gives way to
    // the other one, so that at least one frame is saved.
    static Range normalise(std::optional<qint64> start, std::optional<qint64> end, qint64 first, qint64 last,
                           Edited edited);

    static QStringList frameRatePresets();
    // Text is burned into processed pictures: image sequences and videos,
    // not raw or metadata files.
    static bool allowsBurnIn(Util::Format format)
    {
        return format == Util::FormatTiff || format == Util::FormatAvi || format == Util::FormatMp4;
    }
    // Why these burn-in options cannot go with the format; empty when they can.
    static QString burnInRefusal(Util::Format format, const BurnInOptions& burnIn);
    static bool isVideo(Util::Format format)
    {
        return format == Util::FormatAvi || format == Util::FormatMp4;
    }

    // The lists as QML shows them: [{ text, value }].
    Q_INVOKABLE QVariantList destinations(VornObject::Type sourceType) const;
    Q_INVOKABLE QVariantList formats(SaveJob::Dest dest, VornObject::Type sourceType) const;
    Q_INVOKABLE QVariantList codecs(Util::Format format, bool batch) const;
    // The row of `value` among choices, or 0 (the first) when absent.
    Q_INVOKABLE int indexOf(const QVariantList& choices, int value) const;
    Q_INVOKABLE bool hasCodecChoice(Util::Format format) const;
    Q_INVOKABLE bool hasFrameRate(Util::Format format) const { return isVideo(format); }
    Q_INVOKABLE bool hasQuality(Util::Format format, Util::Codec codec) const;
    // The worst quality of an encoder; 1 is the best.
    Q_INVOKABLE int worstQuality(Util::Codec codec) const;
    // An MP4's size depends on the pictures; the other formats can be estimated.
    Q_INVOKABLE bool hasSizeEstimate(Util::Format format) const { return format != Util::FormatMp4; }
    Q_INVOKABLE bool hasBurnIn(Util::Format format) const { return allowsBurnIn(format); }
    // The burn-in lines (flags of BurnInOptions::Line) and corners.
    Q_INVOKABLE QVariantList burnInLines() const;
    Q_INVOKABLE QVariantList burnInCorners() const;
    Q_INVOKABLE int defaultBurnInCorner() const { return BurnInOptions().corner; }
    // normalise() for the dialogs: a start or end that is not a number is
    // missing. Gives { start, end, count }.
    Q_INVOKABLE QVariantMap normalise(const QVariant& start, const QVariant& end, qint64 first, qint64 last,
                                      bool startEdited) const;
};
