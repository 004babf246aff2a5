#pragma once

#include "BurnInOptions.h"
#include "Util.h"

#include <QString>
#include <QStringList>
#include <optional>

class CliCameraCommands;
class PlaybackVornObject;
class VornApp;

// Saves of takes and conversions of VORN files through the same save jobs
// the save dialogs create, with the source's adjustments or overrides.
class CliSaveCommands
{
public:
    struct Options
    {
        Util::Format format = Util::FormatVorn;
        Util::Codec codec = Util::CodecVorn;
        double frameRate = 30;
        int quality = -1; // -1: the codec's default
        bool hasRange = false;
        qint64 rangeStart = 0;
        qint64 rangeEnd = 0;
        QString name;
        QString folder;
        std::optional<double> gain;
        std::optional<double> gamma;
        std::optional<int> rotate;
        QString whiteBalance; // "auto", "R,G,B" or empty
        BurnInOptions burnIn;
    };

    // Reads format, codec and the rest from their texts; false with the
    // message printed when one does not parse.
    static bool parseFormat(const QString& format, const QString& codec, Options* options);
    static bool parseRange(const QString& range, Options* options);
    // "time,frame,trigger,camera" (any of them; empty: none) and a corner
    // name (empty: the default corner).
    static bool parseBurnIn(const QString& lines, const QString& corner, Options* options);

    CliSaveCommands(VornApp* app, CliCameraCommands* cameras, bool json, int timeoutMs);

    int save(const QString& address, int takeId, const QString& ssdTakeName, const Options& options);
    int convert(const QStringList& files, const Options& options);

private:
    bool applyAdjustments(PlaybackVornObject* source, const Options& options);
    int runSave(PlaybackVornObject* source, const Options& options, const QString& defaultName);

    VornApp* const m_app;
    CliCameraCommands* const m_cameras;
    const bool m_json;
    const int m_timeoutMs;
};
