#include "CliApp.h"

#include "CliCameraCommands.h"
#include "CliSaveCommands.h"
#include "CliSupport.h"
#include "VornApp.h"

#include <QCommandLineParser>
#include <QNetworkAccessManager>
#include <cstdio>

namespace {

const char* const Help = R"(Usage: vorn-cli [--json] [--timeout SECONDS] COMMAND [ARGUMENTS]

Controls Q7 cameras and converts VORN files without a window.

Commands:
  discover                       search the local networks, list the cameras
  info ADDRESS [--take N | --ssd-take NAME]
                                 the camera's values, or a take's
  set ADDRESS NAME=VALUE ...     write camera values, report those that did not stick
  record ADDRESS                 start recording
  trigger ADDRESS                trigger, wait for the take, print its number
  abort ADDRESS                  stop recording
  bref ADDRESS                   take a black reference
  partition ADDRESS N            divide the memory into N partitions
  delete ADDRESS (--take N | --all)
                                 delete takes
  save ADDRESS (--take N | --ssd-take NAME) --format F [save options]
                                 save a take; prints the file's path
  convert FILE.vorn ... --format F [save options]
                                 save VORN files in another format

Save options:
  --format vorn|avi|mp4|tiff|csv
  --codec C       tiff: rgb24 gray8 gray16; avi: bgr24 gray8;
                  mp4: h264 av1 av1-10 (the first is the default)
  --range A:B     frames A to B, both included (default: all)
  --fps R         frame rate of a video (default 30)
  --quality Q     h264 1-51 (default 20), av1 1-63 (default 30); smaller is better
  --name T        file name template (default: take<N> or the file's name)
  --folder D      output folder (default: the current folder, or the VORN file's)
  --gain G, --gamma G, --rotate 0|90|180|270, --wb auto|R,G,B
                  adjustments instead of the source's own

Exit codes: 0 done, 1 failed, 2 wrong arguments, 3 no camera answers,
4 no such take, SSD take or file, 130 interrupted (Ctrl+C cancels a save
and removes its partial file).
)";

bool toInt(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

} // namespace

CliApp::CliApp(VornApp* app) : m_app(app) {}

QString CliApp::helpText()
{
    return QString::fromUtf8(Help);
}

int CliApp::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({"h", "help"}, "");
    const QCommandLineOption json("json", "");
    const QCommandLineOption timeout("timeout", "", "seconds", "10");
    const QCommandLineOption take("take", "", "n");
    const QCommandLineOption ssdTake("ssd-take", "", "name");
    const QCommandLineOption all("all", "");
    const QCommandLineOption format("format", "", "format");
    const QCommandLineOption codec("codec", "", "codec");
    const QCommandLineOption range("range", "", "a:b");
    const QCommandLineOption fps("fps", "", "rate", "30");
    const QCommandLineOption quality("quality", "", "q");
    const QCommandLineOption name("name", "", "template");
    const QCommandLineOption folder("folder", "", "folder");
    const QCommandLineOption gain("gain", "", "gain");
    const QCommandLineOption gamma("gamma", "", "gamma");
    const QCommandLineOption rotate("rotate", "", "degrees");
    const QCommandLineOption wb("wb", "", "auto|r,g,b");
    parser.addOptions({help, json, timeout, take, ssdTake, all, format, codec, range, fps, quality, name,
                       folder, gain, gamma, rotate, wb});
    if (!parser.parse(arguments)) {
        Cli::error(parser.errorText());
        return Cli::ExitUsage;
    }
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(help) || args.isEmpty()) {
        fputs(Help, parser.isSet(help) ? stdout : stderr);
        return parser.isSet(help) ? Cli::ExitOk : Cli::ExitUsage;
    }
    bool ok = false;
    const double seconds = parser.value(timeout).toDouble(&ok);
    if (!ok || seconds <= 0) {
        Cli::error(QStringLiteral("--timeout wants a number of seconds"));
        return Cli::ExitUsage;
    }
    const int timeoutMs = int(qMin(seconds, 86400.0) * 1000);

    // Every message the program has for its user goes to stderr.
    QObject::connect(m_app, &VornApp::showMessage, m_app,
                     [](const QString& message) { Cli::error(message); });
    auto* network = new QNetworkAccessManager(m_app);
    m_app->set_networkAccessManager(network);

    CliCameraCommands cameras(m_app, parser.isSet(json), timeoutMs);
    const QString command = args.first();
    const QString address = args.value(1);
    auto need = [&](int count) {
        if (args.size() == count)
            return true;
        Cli::error(
            QStringLiteral("%1 wants %2 argument(s); see vorn-cli --help").arg(command).arg(count - 1));
        return false;
    };
    int takeId = 0;
    if (parser.isSet(take) && (!toInt(parser.value(take), &takeId) || takeId <= 0)) {
        Cli::error(QStringLiteral("--take wants a take number"));
        return Cli::ExitUsage;
    }

    if (command == "discover")
        return need(1) ? cameras.discover() : Cli::ExitUsage;
    if (command == "info")
        return need(2) ? cameras.info(address, takeId, parser.value(ssdTake)) : Cli::ExitUsage;
    if (command == "set")
        return args.size() >= 3 ? cameras.set(address, args.mid(2)) : (need(3), Cli::ExitUsage);
    if (command == "record")
        return need(2) ? cameras.record(address) : Cli::ExitUsage;
    if (command == "trigger")
        return need(2) ? cameras.trigger(address) : Cli::ExitUsage;
    if (command == "abort")
        return need(2) ? cameras.abort(address) : Cli::ExitUsage;
    if (command == "bref")
        return need(2) ? cameras.bref(address) : Cli::ExitUsage;
    if (command == "partition") {
        int count = 0;
        if (!need(3) || !toInt(args.at(2), &count) || count < 1) {
            Cli::error(QStringLiteral("partition wants a count of 1 or more"));
            return Cli::ExitUsage;
        }
        return cameras.partition(address, count);
    }
    if (command == "delete") {
        if (!need(2) || (takeId > 0) == parser.isSet(all)) {
            Cli::error(QStringLiteral("delete wants --take N or --all"));
            return Cli::ExitUsage;
        }
        return cameras.deleteTakes(address, takeId);
    }
    if (command != "save" && command != "convert") {
        Cli::error(QStringLiteral("unknown command \"%1\"; see vorn-cli --help").arg(command));
        return Cli::ExitUsage;
    }

    CliSaveCommands::Options options;
    if (parser.isSet(quality) && (!toInt(parser.value(quality), &options.quality) || options.quality < 1)) {
        Cli::error(QStringLiteral("--quality wants a number from 1"));
        return Cli::ExitUsage;
    }
    if (!parser.isSet(format)) {
        Cli::error(QStringLiteral("%1 wants --format").arg(command));
        return Cli::ExitUsage;
    }
    if (!CliSaveCommands::parseFormat(parser.value(format), parser.value(codec), &options) ||
        (parser.isSet(range) && !CliSaveCommands::parseRange(parser.value(range), &options)))
        return Cli::ExitUsage;
    options.frameRate = parser.value(fps).toDouble(&ok);
    if (!ok || options.frameRate <= 0) {
        Cli::error(QStringLiteral("--fps wants a frame rate above 0"));
        return Cli::ExitUsage;
    }
    options.name = parser.value(name);
    options.folder = parser.value(folder);
    options.whiteBalance = parser.value(wb);
    if (parser.isSet(gain))
        options.gain = parser.value(gain).toDouble();
    if (parser.isSet(gamma))
        options.gamma = parser.value(gamma).toDouble();
    if (parser.isSet(rotate)) {
        int degrees = 0;
        if (!toInt(parser.value(rotate), &degrees) || degrees % 90 != 0) {
            Cli::error(QStringLiteral("--rotate wants 0, 90, 180 or 270"));
            return Cli::ExitUsage;
        }
        options.rotate = degrees;
    }
    CliSaveCommands saves(m_app, &cameras, parser.isSet(json), timeoutMs);
    if (command == "convert")
        return args.size() >= 2 ? saves.convert(args.mid(1), options) : (need(2), Cli::ExitUsage);
    if (!need(2) || (takeId > 0) == parser.isSet(ssdTake)) {
        Cli::error(QStringLiteral("save wants an address and --take N or --ssd-take NAME"));
        return Cli::ExitUsage;
    }
    return saves.save(address, takeId, parser.value(ssdTake), options);
}
