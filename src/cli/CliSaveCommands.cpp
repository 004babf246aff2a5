#include "CliSaveCommands.h"

#include "AbstractTake.h"
#include "Camera.h"
#include "CliCameraCommands.h"
#include "CliSupport.h"
#include "ImgAdjModel.h"
#include "SaveJob.h"
#include "SaveManager.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFrame.h"
#include "VornValue.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QUrl>
#include <cstdio>

namespace {

struct CodecName
{
    const char* name;
    Util::Codec codec;
};

const CodecName CodecNames[] = {
    {"vorn", Util::CodecVorn},       {"csv", Util::CodecCsv},
    {"bgr24", Util::CodecRaw_BGR24}, {"rgb24", Util::CodecRaw_RGB24},
    {"gray8", Util::CodecRaw_Gray8}, {"gray16", Util::CodecRaw_Gray16},
    {"av1", Util::CodecAV1_YUV420P}, {"av1-10", Util::CodecAV1_YUV420P10},
    {"h264", Util::CodecH264},       {"dng", Util::CodecDng},
};

// The codecs each format can hold; the first is the default.
QList<Util::Codec> codecsOf(Util::Format format)
{
    switch (format) {
    case Util::FormatVorn:
        return {Util::CodecVorn};
    case Util::FormatCsv:
        return {Util::CodecCsv};
    case Util::FormatDng:
        return {Util::CodecDng};
    case Util::FormatTiff:
        return {Util::CodecRaw_RGB24, Util::CodecRaw_Gray8, Util::CodecRaw_Gray16};
    case Util::FormatAvi:
        return {Util::CodecRaw_BGR24, Util::CodecRaw_Gray8};
    case Util::FormatMp4:
        return {Util::CodecH264, Util::CodecAV1_YUV420P, Util::CodecAV1_YUV420P10};
    }
    return {};
}

int defaultQuality(Util::Codec codec)
{
    return codec == Util::CodecH264                                               ? 20
           : codec == Util::CodecAV1_YUV420P || codec == Util::CodecAV1_YUV420P10 ? 30
                                                                                  : 0;
}

QString outputPath(const SaveJob* job)
{
    // An image sequence is a folder of images.
    if (Util::isImageSequence(job->format()))
        return QDir(job->outputName().folder()).absolutePath();
    return QFileInfo(job->outputName().filePath(0)).absoluteFilePath();
}

} // namespace

CliSaveCommands::CliSaveCommands(VornApp* app, CliCameraCommands* cameras, bool json, int timeoutMs)
    : m_app(app), m_cameras(cameras), m_json(json), m_timeoutMs(timeoutMs)
{
}

bool CliSaveCommands::parseFormat(const QString& format, const QString& codec, Options* options)
{
    const QStringList formats{"vorn", "avi", "mp4", "tiff", "csv", "dng"};
    const Util::Format byName[] = {Util::FormatVorn, Util::FormatAvi, Util::FormatMp4,
                                   Util::FormatTiff, Util::FormatCsv, Util::FormatDng};
    const qsizetype index = formats.indexOf(format.toLower());
    if (index < 0) {
        Cli::error(QStringLiteral("unknown format \"%1\" (vorn, avi, mp4, tiff, dng or csv)").arg(format));
        return false;
    }
    options->format = byName[index];
    const QList<Util::Codec> allowed = codecsOf(options->format);
    options->codec = allowed.first();
    if (!codec.isEmpty()) {
        QStringList names;
        bool found = false;
        for (const CodecName& entry : CodecNames) {
            if (!allowed.contains(entry.codec))
                continue;
            names.append(QString::fromLatin1(entry.name));
            if (codec.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
                options->codec = entry.codec;
                found = true;
            }
        }
        if (!found) {
            Cli::error(
                QStringLiteral("%1 cannot hold codec \"%2\" (%3)").arg(format, codec, names.join(", ")));
            return false;
        }
    }
    if (options->quality < 0)
        options->quality = defaultQuality(options->codec);
    return true;
}

bool CliSaveCommands::parseRange(const QString& range, Options* options)
{
    // "A:B" with signed frame numbers, both included.
    const QStringList parts = range.split(':');
    bool startOk = false;
    bool endOk = false;
    if (parts.size() == 2) {
        options->rangeStart = parts.at(0).toLongLong(&startOk);
        options->rangeEnd = parts.at(1).toLongLong(&endOk);
    }
    if (!startOk || !endOk || options->rangeEnd < options->rangeStart) {
        Cli::error(QStringLiteral("a range is FIRST:LAST with FIRST <= LAST, got \"%1\"").arg(range));
        return false;
    }
    options->hasRange = true;
    return true;
}

bool CliSaveCommands::parseBurnIn(const QString& lines, const QString& corner, Options* options)
{
    const QStringList lineNames = BurnInOptions::lineNames();
    options->burnIn.lines = 0;
    for (const QString& name : lines.split(',', Qt::SkipEmptyParts)) {
        const qsizetype index = lineNames.indexOf(name.trimmed().toLower());
        if (index < 0) {
            Cli::error(QStringLiteral("unknown burn-in line \"%1\" (%2)").arg(name, lineNames.join(", ")));
            return false;
        }
        options->burnIn.lines |= 1 << index;
    }
    if (corner.isEmpty())
        return true;
    const QStringList cornerNames = BurnInOptions::cornerNames();
    const qsizetype index = cornerNames.indexOf(corner.toLower());
    if (index < 0) {
        Cli::error(QStringLiteral("unknown burn-in corner \"%1\" (%2)").arg(corner, cornerNames.join(", ")));
        return false;
    }
    options->burnIn.corner = BurnInOptions::Corner(index);
    return true;
}

bool CliSaveCommands::applyAdjustments(PlaybackVornObject* source, const Options& options)
{
    ImgAdjModel* adjustments = source->imgAdjModel();
    if (!adjustments)
        return true;
    if (options.gain) {
        for (VornValue* value : {adjustments->gainR(), adjustments->gain(), adjustments->gainB()})
            value->setValue(*options.gain);
    }
    if (options.gamma) {
        for (VornValue* value : {adjustments->gammaR(), adjustments->gamma(), adjustments->gammaB()})
            value->setValue(*options.gamma);
    }
    if (options.rotate)
        adjustments->setRotate(*options.rotate);
    if (options.whiteBalance.isEmpty())
        return true;
    if (options.whiteBalance != QLatin1String("auto")) {
        const QStringList gains = options.whiteBalance.split(',');
        QList<double> numbers;
        for (const QString& gain : gains) {
            bool ok = false;
            numbers.append(gain.toDouble(&ok));
            if (!ok || numbers.last() <= 0)
                numbers.clear();
        }
        if (numbers.size() != 3) {
            Cli::error(QStringLiteral("white balance is \"auto\" or three gains R,G,B, got \"%1\"")
                           .arg(options.whiteBalance));
            return false;
        }
        adjustments->wbR()->setValue(numbers.at(0));
        adjustments->wbG()->setValue(numbers.at(1));
        adjustments->wbB()->setValue(numbers.at(2));
        return true;
    }
    // Automatic white balance measures the frame on show: show the first
    // frame of the range, then go back to no selection.
    m_app->setSelectedVornObject(source);
    source->pause();
    if (options.hasRange)
        source->setProperty("fr", options.rangeStart);
    const bool shown = Cli::waitFor(
        [source] { return source->vornFrame() && !source->vornFrame()->raw16().isEmpty(); }, m_timeoutMs);
    if (shown)
        source->autoWhiteBalance();
    source->pause();
    m_app->setNullVornObject();
    if (!shown)
        Cli::error(QStringLiteral("no frame arrived to balance the colours with"));
    return shown;
}

int CliSaveCommands::runSave(PlaybackVornObject* source, const Options& options, const QString& defaultName)
{
    if (!applyAdjustments(source, options))
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitFailed;
    const qint64 first = options.hasRange ? options.rangeStart : source->firstFrame();
    const qint64 last = options.hasRange ? options.rangeEnd : source->lastFrame();
    if (first < source->firstFrame() || last > source->lastFrame()) {
        Cli::error(QStringLiteral("frames %1 to %2 are outside %3 to %4")
                       .arg(first)
                       .arg(last)
                       .arg(source->firstFrame())
                       .arg(source->lastFrame()));
        return Cli::ExitUsage;
    }
    const QString folder = options.folder.isEmpty() ? QDir::currentPath() : options.folder;
    const QString name = options.name.isEmpty() ? defaultName : options.name;
    QPointer<SaveJob> job = m_app->saveManager()->createSaveJob(
        source, first, last - first + 1, SaveManager::FileDest, options.format, options.codec,
        options.frameRate, options.quality, name, folder, SaveJob::DontDeleteClose, options.burnIn.lines,
        options.burnIn.corner);
    if (!job) {
        Cli::error(QStringLiteral("this source cannot be saved in that format"));
        return Cli::ExitUsage;
    }
    auto ended = [&job] {
        return !job || job->state() >= SaveJob::Done;
    };
    while (!ended()) {
        Cli::waitFor(ended, 200);
        if (Cli::interrupted()) {
            // A cancel removes a partial VORN, CSV or video file.
            job->cancel();
            Cli::waitFor(ended, 10000);
            Cli::error(QStringLiteral("interrupted; the save was cancelled"));
            return Cli::ExitInterrupted;
        }
        if (job)
            Cli::progress(QStringLiteral("%1: %2 %").arg(name).arg(job->progress(), 0, 'f', 0));
    }
    Cli::endProgress();
    if (!job || job->state() != SaveJob::Done) {
        Cli::error(QStringLiteral("save failed: %1").arg(job ? job->error() : QStringLiteral("job removed")));
        return Cli::ExitFailed;
    }
    const QString path = outputPath(job);
    if (m_json)
        printf("%s\n",
               QJsonDocument(QJsonObject{{"path", path}, {"frames", last - first + 1}, {"first", first}})
                   .toJson(QJsonDocument::Compact)
                   .constData());
    else
        printf("%s\n", qPrintable(path));
    fflush(stdout);
    return Cli::ExitOk;
}

int CliSaveCommands::save(const QString& address, int takeId, const QString& ssdTakeName,
                          const Options& options)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    int exitCode = Cli::ExitOk;
    AbstractTake* take = takeId > 0 ? m_cameras->findTake(camera, takeId, &exitCode)
                                    : m_cameras->openSsdTake(camera, ssdTakeName, &exitCode);
    if (!take)
        return exitCode;
    const QString defaultName =
        takeId > 0 ? QStringLiteral("take%1").arg(takeId) : QFileInfo(ssdTakeName).completeBaseName();
    return runSave(take, options, defaultName);
}

int CliSaveCommands::convert(const QStringList& files, const Options& options)
{
    for (const QString& path : files) {
        if (!QFileInfo::exists(path)) {
            Cli::error(QStringLiteral("no such file: %1").arg(path));
            return Cli::ExitNotFound;
        }
        QObject guard;
        bool refused = false;
        QObject::connect(m_app, &VornApp::showMessage, &guard, [&refused] { refused = true; });
        m_app->openVornFile(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
        auto* file = qobject_cast<VornFile*>(m_app->selectedVornObject());
        if (!file || refused) {
            if (!refused)
                Cli::error(QStringLiteral("%1 is not a VORN file").arg(path));
            return Cli::ExitFailed;
        }
        // Opening shows and plays the file; the save needs neither.
        file->pause();
        m_app->setNullVornObject();
        Options fileOptions = options;
        if (fileOptions.folder.isEmpty())
            fileOptions.folder = QFileInfo(path).absolutePath();
        const int result = runSave(file, fileOptions, QFileInfo(path).completeBaseName());
        if (result != Cli::ExitOk)
            return result;
    }
    return Cli::ExitOk;
}
