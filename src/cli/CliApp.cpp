#include "CliApp.h"

#include "CliAcquisitionCommands.h"
#include "CliCameraCommands.h"
#include "CliRigCommands.h"
#include "CliSaveCommands.h"
#include "CliSupport.h"
#include "VornApp.h"

#include <QCommandLineParser>
#include <QNetworkAccessManager>
#include <cstdio>

namespace {

const char* const Help = R"(Usage: vorn-cli [--json] [--timeout SECONDS] COMMAND [ARGUMENTS]

Controls Q7 cameras and converts VORN files without a window.

  --json          machine-readable results on stdout
  --version       print the version and exit
  --timeout S     how long to wait for a camera's answer, and how long a
                  save's transfer may go without a whole frame before it
                  fails as stalled (default 10)

Commands:
  discover                       search the local networks, list the cameras
  info ADDRESS [--take N | --ssd-take NAME]
                                 the camera's values, or a take's
  set ADDRESS NAME=VALUE ...     write camera values, report those that did not stick
  record ADDRESS...              start recording
  trigger ADDRESS...             trigger, wait for the take, print its number
  abort ADDRESS...               stop recording
                                 With several addresses, or --all instead
                                 (every camera discovery finds), on all the
                                 cameras at once: one line per camera,
                                 ADDRESS<tab>result, and after a trigger
                                 each take's trigger time and the spread of
                                 the cameras' trigger time stamps
  bref ADDRESS                   take a black reference
  partition ADDRESS N            divide the memory into N partitions
  delete ADDRESS (--take N | --all)
                                 delete takes
  save ADDRESS (--take N | --ssd-take NAME) --format F [save options]
                                 save a take; prints the file's path
  convert FILE.vorn ... --format F [save options]
                                 save VORN files in another format

Save options:
  --format vorn|avi|mp4|tiff|dng|csv
                  (dng: the raw mosaic, one file per frame)
  --codec C       tiff: rgb24 gray8 gray16; avi: bgr24 gray8;
                  mp4: h264 av1 av1-10 (the first is the default)
  --range A:B     frames A to B, both included (default: all)
  --fps R         frame rate of a video (default 30)
  --quality Q     h264 1-51 (default 20), av1 1-63 (default 30); smaller is better
  --name T        file name template (default: take<N> or the file's name)
  --folder D      output folder (default: the current folder, or the VORN file's)
  --gain G, --gamma G, --rotate 0|90|180|270, --wb auto|R,G,B
                  adjustments instead of the source's own
  --burn-in L,... burn text into the pictures of tiff, avi and mp4 saves,
                  one line each of: time (the frame's time stamp), frame
                  (its number), trigger (its time from the trigger, in ms),
                  camera (camera name and take)
  --burn-in-corner top-left|top-right|bottom-left|bottom-right
                  where the lines stand (default bottom-left)

Exit codes: 0 done, 1 failed, 2 wrong arguments, 3 no camera answers,
4 no such take, SSD take or file, 130 interrupted (Ctrl+C cancels a save
and removes its partial file). On several cameras: 1 when any failed, 3
when those that failed do not answer.
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
    parser.addOptions({{{"h", "help"}, ""},
                       {"version", ""},
                       {"json", ""},
                       {"timeout", "", "seconds", "10"},
                       {"take", "", "n"},
                       {"ssd-take", "", "name"},
                       {"all", ""},
                       {"format", "", "format"},
                       {"codec", "", "codec"},
                       {"range", "", "a:b"},
                       {"fps", "", "rate", "30"},
                       {"quality", "", "q"},
                       {"name", "", "template"},
                       {"folder", "", "folder"},
                       {"gain", "", "gain"},
                       {"gamma", "", "gamma"},
                       {"rotate", "", "degrees"},
                       {"wb", "", "auto|r,g,b"},
                       {"burn-in", "", "lines"},
                       {"burn-in-corner", "", "corner"}});
    if (!parser.parse(arguments)) {
        Cli::error(parser.errorText());
        return Cli::ExitUsage;
    }
    if (parser.isSet("version")) {
        printf("vorn-cli %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return Cli::ExitOk;
    }
    const bool help = parser.isSet("help");
    if (help || parser.positionalArguments().isEmpty()) {
        fputs(Help, help ? stdout : stderr);
        return help ? Cli::ExitOk : Cli::ExitUsage;
    }
    bool ok = false;
    const double seconds = parser.value("timeout").toDouble(&ok);
    if (!ok || seconds <= 0) {
        Cli::error(QStringLiteral("--timeout wants a number of seconds"));
        return Cli::ExitUsage;
    }
    int takeId = 0;
    if (parser.isSet("take") && (!toInt(parser.value("take"), &takeId) || takeId <= 0)) {
        Cli::error(QStringLiteral("--take wants a take number"));
        return Cli::ExitUsage;
    }

    // Every message the program has for its user goes to stderr.
    QObject::connect(m_app, &VornApp::showMessage, m_app,
                     [](const QString& message) { Cli::error(Cli::plainText(message)); });
    m_app->set_networkAccessManager(new QNetworkAccessManager(m_app));

    const int timeoutMs = int(qMin(seconds, 86400.0) * 1000);
    m_app->setTransferStallMs(timeoutMs);
    CliCameraCommands cameras(m_app, parser.isSet("json"), timeoutMs);
    const QString command = parser.positionalArguments().first();
    if (command == "save" || command == "convert")
        return runSave(parser, &cameras, takeId);
    return runCameraCommand(parser, &cameras, takeId);
}

namespace {

// False, with the message, unless the command has exactly `count` words.
bool argumentCount(const QStringList& args, int count)
{
    if (args.size() == count)
        return true;
    Cli::error(
        QStringLiteral("%1 wants %2 argument(s); see vorn-cli --help").arg(args.first()).arg(count - 1));
    return false;
}

} // namespace

int CliApp::runCameraCommand(const QCommandLineParser& parser, CliCameraCommands* cameras, int takeId)
{
    const QStringList args = parser.positionalArguments();
    const QString command = args.first();
    const QString address = args.value(1);
    CliAcquisitionCommands acquisition(cameras);
    if (command == "discover")
        return argumentCount(args, 1) ? cameras->discover() : Cli::ExitUsage;
    if (command == "info")
        return argumentCount(args, 2) ? cameras->info(address, takeId, parser.value("ssd-take"))
                                      : Cli::ExitUsage;
    if (command == "set")
        return args.size() >= 3 ? cameras->set(address, args.mid(2))
                                : (argumentCount(args, 3), Cli::ExitUsage);
    if (command == "record" || command == "trigger" || command == "abort") {
        const bool all = parser.isSet("all");
        if (all == (args.size() > 1)) {
            Cli::error(QStringLiteral("%1 wants addresses or --all; see vorn-cli --help").arg(command));
            return Cli::ExitUsage;
        }
        if (args.size() > 2 || all) {
            const auto rigCommand = command == "record"    ? CliRigCommands::Record
                                    : command == "trigger" ? CliRigCommands::Trigger
                                                           : CliRigCommands::Abort;
            return CliRigCommands(m_app, cameras).run(rigCommand, args.mid(1), all);
        }
        return command == "record"    ? acquisition.record(address)
               : command == "trigger" ? acquisition.trigger(address)
                                      : acquisition.abort(address);
    }
    if (command == "bref")
        return argumentCount(args, 2) ? acquisition.bref(address) : Cli::ExitUsage;
    if (command == "partition") {
        int count = 0;
        if (!argumentCount(args, 3) || !toInt(args.at(2), &count) || count < 1) {
            Cli::error(QStringLiteral("partition wants a count of 1 or more"));
            return Cli::ExitUsage;
        }
        return acquisition.partition(address, count);
    }
    if (command == "delete") {
        if (!argumentCount(args, 2) || (takeId > 0) == parser.isSet("all")) {
            Cli::error(QStringLiteral("delete wants --take N or --all"));
            return Cli::ExitUsage;
        }
        return acquisition.deleteTakes(address, takeId);
    }
    Cli::error(QStringLiteral("unknown command \"%1\"; see vorn-cli --help").arg(command));
    return Cli::ExitUsage;
}

bool CliApp::readSaveOptions(const QCommandLineParser& parser, CliSaveCommands::Options* options)
{
    auto positive = [&parser](const char* name, double* value) {
        bool ok = false;
        *value = parser.value(name).toDouble(&ok);
        if (!ok || *value <= 0)
            Cli::error(QStringLiteral("--%1 wants a number above 0").arg(name));
        return ok && *value > 0;
    };
    if (parser.isSet("quality") &&
        (!toInt(parser.value("quality"), &options->quality) || options->quality < 1)) {
        Cli::error(QStringLiteral("--quality wants a number from 1"));
        return false;
    }
    if (!parser.isSet("format")) {
        Cli::error(QStringLiteral("saving wants --format"));
        return false;
    }
    if (!CliSaveCommands::parseFormat(parser.value("format"), parser.value("codec"), options) ||
        (parser.isSet("range") && !CliSaveCommands::parseRange(parser.value("range"), options)) ||
        !positive("fps", &options->frameRate))
        return false;
    options->name = parser.value("name");
    options->folder = parser.value("folder");
    options->whiteBalance = parser.value("wb");
    if ((parser.isSet("burn-in") || parser.isSet("burn-in-corner")) &&
        !CliSaveCommands::parseBurnIn(parser.value("burn-in"), parser.value("burn-in-corner"), options))
        return false;
    double number = 0;
    if (parser.isSet("gain")) {
        if (!positive("gain", &number))
            return false;
        options->gain = number;
    }
    if (parser.isSet("gamma")) {
        if (!positive("gamma", &number))
            return false;
        options->gamma = number;
    }
    if (parser.isSet("rotate")) {
        int degrees = 0;
        if (!toInt(parser.value("rotate"), &degrees) || degrees % 90 != 0) {
            Cli::error(QStringLiteral("--rotate wants 0, 90, 180 or 270"));
            return false;
        }
        options->rotate = degrees;
    }
    return true;
}

int CliApp::runSave(const QCommandLineParser& parser, CliCameraCommands* cameras, int takeId)
{
    const QStringList args = parser.positionalArguments();
    CliSaveCommands::Options options;
    if (!readSaveOptions(parser, &options))
        return Cli::ExitUsage;
    CliSaveCommands saves(m_app, cameras, parser.isSet("json"), cameras->timeoutMs());
    if (args.first() == "convert")
        return args.size() >= 2 ? saves.convert(args.mid(1), options)
                                : (argumentCount(args, 2), Cli::ExitUsage);
    if (!argumentCount(args, 2) || (takeId > 0) == parser.isSet("ssd-take")) {
        Cli::error(QStringLiteral("save wants an address and --take N or --ssd-take NAME"));
        return Cli::ExitUsage;
    }
    return saves.save(args.at(1), takeId, parser.value("ssd-take"), options);
}
