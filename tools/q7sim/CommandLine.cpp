#include "CommandLine.h"

#include <QHostAddress>
#include <QStringList>

namespace q7sim {

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: q7sim [DEFAULTS] --camera ADDR[,KEY=VALUE...] [CAMERA OPTIONS] [--camera ...]\n"
        "\n"
        "Runs simulated Q7 high-speed cameras until interrupted (SIGINT/SIGTERM). Each camera\n"
        "serves the camera HTTP interface (state document, value writes, recording, takes,\n"
        "frame transfer) on port 80 of its own address, and answers discovery searches\n"
        "(\"VORN_BCAST\\n\" to UDP port 8890) that reach the broadcast address of its\n"
        "network. It binds nothing but the addresses given and their network's broadcast\n"
        "address. Pictures are synthetic and repeat exactly for the same seed, serial, take\n"
        "and frame number.\n"
        "\n"
        "  --camera ADDR[,KEY=VALUE...]  start a camera on IPv4 address ADDR (repeatable)\n"
        "  -h, --help                    show this text\n"
        "\n"
        "Camera options: given before the first --camera they set defaults for every\n"
        "camera, after a --camera they apply to that camera. Each can also be written as\n"
        "KEY=VALUE after the address, e.g. --camera 10.77.0.3,cfa=mono,name=Mono.\n"
        "  --colour                      colour sensor with an RGGB filter (the default)\n"
        "  --mono                        monochrome sensor\n"
        "  --cfa mono|rggb|gbrg|bggr|grbg  sensor colour filter layout\n"
        "  --name TEXT, --serial TEXT    identity (default serial from the address)\n"
        "  --res WxH                     initial resolution, one of those offered:\n"
        "                                1920x1080 1280x1024 1280x720 1024x768 800x600\n"
        "                                640x480 (default) 320x240 128x64\n"
        "  --seed N                      picture seed (default 1)\n"
        "  --port N                      HTTP port (default 80)\n"
        "  --meta-size N                 metadata bytes per frame, at least 32 (default 32)\n"
        "  --memory-mb N                 frame memory in MiB (default 4096)\n"
        "  --ssd-gb N                    an SSD of N GiB in the camera (default none)\n"
        "  --ssd-old-firmware            older SSD firmware: unnumbered saves without progress\n"
        "  --ssd-save-start-ms N         an idle SSD begins writing a save after N ms (default 0)\n"
        "  --clock-offset MS             the camera's clock runs MS milliseconds ahead of true\n"
        "                                time (negative: behind; default 0), also after the\n"
        "                                program sets it to its own time in whole seconds; trigger\n"
        "                                and frame time stamps carry it\n"
        "  --bref-slots N                black reference slots (default 8)\n"
        "  --bref-ms N                   duration of a black reference in ms (default 400)\n"
        "  --old-firmware                older firmware: time/year_offset, numeric fw_ver,\n"
        "                                no video/valid_format\n"
        "  --headers img|fr|both         frame size headers Img-*, Fr-* or both (default img)\n"
        "  --discovery ADDR              listen for discovery searches on ADDR instead (for\n"
        "                                example 0.0.0.0)\n"
        "  --no-discovery                do not answer discovery searches\n"
        "  --print-requests              print each request received on stderr\n"
        "  --bandwidth MBIT              frame transfers of the camera share MBIT Mbit/s of\n"
        "                                payload (default 940, about gigabit Ethernet; 0: no limit)\n"
        "  --upload-mbit MBIT            firmware uploads are read at MBIT Mbit/s (default 80)\n"
        "  --fw-install-ms N             installing a firmware file takes N ms (default 3000)\n"
        "  --fw-outcome N                camera/fw_state after an installation: 1 installed\n"
        "                                (default), another number an error code\n"
        "  --fault KIND[:N][@PATH]       switch a fault on from the start (repeatable); PATH\n"
        "                                limits it to request paths beginning so. KIND:\n"
        "                                  delay:MS          answer after MS milliseconds\n"
        "                                  error:STATUS      HTTP error, empty body\n"
        "                                  error-json:STATUS HTTP error with {\"error\": ...}\n"
        "                                  malformed         replies that are not JSON\n"
        "                                  silent            never answer (nor discovery)\n"
        "                                  end-early:N       transfers end after N records\n"
        "                                  drop:N            transfers break off inside record N\n"
        "                                  pieces:BYTES      transfers sent in BYTES-sized pieces\n"
        "                                  trickle:N         transfers send N records, then 1 KiB\n"
        "                                                    every 20 s\n"
        "\n"
        "Update manifest (the maker's update server, plain HTTP):\n"
        "  --manifest ADDR:PORT          serve GET /latest-versions.json on ADDR:PORT\n"
        "  --manifest-file FILE          serve FILE instead of the built-in demo manifest\n"
        "\n"
        "Example, inside scripts/sandbox:\n"
        "  scripts/on-camera-host q7sim --camera 10.77.0.2 --colour --name \"Q7 Colour\" \\\n"
        "                               --camera 10.77.0.3 --mono --name \"Q7 Mono\"\n");
}

bool CommandLine::parseFault(const QString& text, Fault* fault)
{
    QString params = text;
    QString path;
    const int at = params.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        path = params.mid(at + 1);
        params = params.left(at);
    }
    const QString kind = params.section(QLatin1Char(':'), 0, 0);
    const QString argument = params.section(QLatin1Char(':'), 1);
    bool ok = true;
    const int n = argument.isEmpty() ? 0 : argument.toInt(&ok);
    if (!ok)
        return false;
    if (kind == QLatin1String("delay"))
        *fault = Fault::delay(n);
    else if (kind == QLatin1String("error"))
        *fault = Fault::httpError(n ? n : 500, false);
    else if (kind == QLatin1String("error-json"))
        *fault = Fault::httpError(n ? n : 500, true);
    else if (kind == QLatin1String("malformed"))
        *fault = Fault::malformedJson();
    else if (kind == QLatin1String("silent"))
        *fault = Fault::noAnswer();
    else if (kind == QLatin1String("end-early"))
        *fault = Fault::xferEndEarly(n);
    else if (kind == QLatin1String("drop"))
        *fault = Fault::xferDropMidRecord(n);
    else if (kind == QLatin1String("pieces"))
        *fault = Fault::xferPieces(n ? n : 1000);
    else if (kind == QLatin1String("trickle"))
        *fault = Fault::xferTrickle(n);
    else
        return false;
    if (!path.isEmpty())
        fault->pathPrefix = path;
    return true;
}

bool CommandLine::parseCameraKey(const QString& key, const QString& value, CameraSetup* setup)
{
    CameraConfig& c = setup->config;
    bool ok = true;
    if (key == QLatin1String("colour") || key == QLatin1String("color")) {
        c.cfa = Cfa::RGGB;
    } else if (key == QLatin1String("mono")) {
        c.cfa = Cfa::Mono;
    } else if (key == QLatin1String("no-discovery")) {
        c.discoveryListen.clear();
    } else if (key == QLatin1String("cfa")) {
        const QStringList names = {QStringLiteral("mono"), QStringLiteral("rggb"), QStringLiteral("gbrg"),
                                   QStringLiteral("bggr"), QStringLiteral("grbg")};
        const int index = names.indexOf(value.toLower());
        ok = index >= 0;
        c.cfa = static_cast<Cfa>(index < 0 ? 0 : index);
    } else if (key == QLatin1String("serial")) {
        c.serial = value;
    } else if (key == QLatin1String("name")) {
        c.name = value;
    } else if (key == QLatin1String("res")) {
        c.res = value;
    } else if (key == QLatin1String("seed")) {
        c.seed = value.toULongLong(&ok);
    } else if (key == QLatin1String("port")) {
        c.httpPort = static_cast<uint16_t>(value.toUShort(&ok));
    } else if (key == QLatin1String("meta-size")) {
        c.metaSize = value.toInt(&ok);
        ok = ok && c.metaSize >= 32;
    } else if (key == QLatin1String("memory-mb")) {
        c.memoryBytes = value.toULongLong(&ok) << 20;
    } else if (key == QLatin1String("ssd-gb")) {
        c.ssdBytes = value.toULongLong(&ok) << 30;
    } else if (key == QLatin1String("ssd-old-firmware")) {
        c.ssdOldFirmware = true;
    } else if (key == QLatin1String("ssd-save-start-ms")) {
        c.ssdSaveStartMs = value.toInt(&ok);
        ok = ok && c.ssdSaveStartMs >= 0;
    } else if (key == QLatin1String("bandwidth")) {
        c.xferBytesPerSecond = value.toLongLong(&ok) * 1000000 / 8;
        ok = ok && c.xferBytesPerSecond >= 0;
    } else if (key == QLatin1String("upload-mbit")) {
        c.fwUploadBytesPerSecond = value.toLongLong(&ok) * 1000000 / 8;
        ok = ok && c.fwUploadBytesPerSecond >= 0;
    } else if (key == QLatin1String("fw-install-ms")) {
        c.fwInstallMs = value.toInt(&ok);
        ok = ok && c.fwInstallMs >= 0;
    } else if (key == QLatin1String("fw-outcome")) {
        setup->fwOutcome = value.toInt(&ok);
    } else if (key == QLatin1String("clock-offset")) {
        const double ms = value.toDouble(&ok);
        ok = ok && qAbs(ms) < 1e9;
        c.clockOffsetNs = ok ? qRound64(ms * 1e6) : 0;
    } else if (key == QLatin1String("bref-slots")) {
        c.brefSlots = value.toInt(&ok);
    } else if (key == QLatin1String("bref-ms")) {
        c.brefDurationMs = value.toInt(&ok);
    } else if (key == QLatin1String("print-requests")) {
        c.printRequests = true;
    } else if (key == QLatin1String("old-firmware")) {
        c.oldFirmware = true;
    } else if (key == QLatin1String("headers")) {
        ok = value == QLatin1String("img") || value == QLatin1String("fr") || value == QLatin1String("both");
        c.sizeHeaders = value == QLatin1String("fr")     ? CameraConfig::SizeHeaders::Fr
                        : value == QLatin1String("both") ? CameraConfig::SizeHeaders::Both
                                                         : CameraConfig::SizeHeaders::Img;
    } else if (key == QLatin1String("discovery")) {
        c.discoveryListen = value;
        ok = !QHostAddress(value).isNull();
    } else if (key == QLatin1String("fault")) {
        Fault fault;
        ok = parseFault(value, &fault);
        setup->faults.append(fault);
    } else {
        m_error = QStringLiteral("unknown camera key %1").arg(key);
        return false;
    }
    if (!ok)
        m_error = QStringLiteral("invalid value for %1: %2").arg(key, value);
    return ok;
}

bool CommandLine::isFlag(const QString& key)
{
    return key == QLatin1String("colour") || key == QLatin1String("color") || key == QLatin1String("mono") ||
           key == QLatin1String("old-firmware") || key == QLatin1String("ssd-old-firmware") ||
           key == QLatin1String("no-discovery") || key == QLatin1String("print-requests");
}

bool CommandLine::parseCamera(const QString& text, CameraSetup* setup)
{
    const QStringList parts = text.split(QLatin1Char(','));
    setup->config.address = parts.first();
    if (QHostAddress(setup->config.address).protocol() != QAbstractSocket::IPv4Protocol) {
        m_error = QStringLiteral("not an IPv4 address: %1").arg(setup->config.address);
        return false;
    }
    for (int i = 1; i < parts.size(); ++i) {
        const QString key = parts.at(i).section(QLatin1Char('='), 0, 0);
        const QString value = parts.at(i).section(QLatin1Char('='), 1);
        if (!parseCameraKey(key, value, setup))
            return false;
    }
    return true;
}

bool CommandLine::parse(int argc, char** argv)
{
    // Options before the first --camera shape this template for every camera.
    CameraSetup defaults;
    defaults.config.discoveryListen = QString::fromLatin1(CameraConfig::DiscoveryOnCameraNetwork);
    // A demo camera behaves like one on gigabit Ethernet.
    defaults.config.xferBytesPerSecond = 940LL * 1000000 / 8;
    defaults.config.fwUploadBytesPerSecond = 80LL * 1000000 / 8;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            m_help = true;
            return true;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            m_error = QStringLiteral("unexpected argument %1").arg(arg);
            return false;
        }
        const QString key = arg.mid(2);
        static const QStringList keys = {QStringLiteral("camera"),        QStringLiteral("colour"),
                                         QStringLiteral("color"),         QStringLiteral("mono"),
                                         QStringLiteral("cfa"),           QStringLiteral("name"),
                                         QStringLiteral("serial"),        QStringLiteral("res"),
                                         QStringLiteral("seed"),          QStringLiteral("port"),
                                         QStringLiteral("meta-size"),     QStringLiteral("memory-mb"),
                                         QStringLiteral("bref-slots"),    QStringLiteral("bref-ms"),
                                         QStringLiteral("old-firmware"),  QStringLiteral("headers"),
                                         QStringLiteral("discovery"),     QStringLiteral("no-discovery"),
                                         QStringLiteral("fault"),         QStringLiteral("print-requests"),
                                         QStringLiteral("ssd-gb"),        QStringLiteral("bandwidth"),
                                         QStringLiteral("upload-mbit"),   QStringLiteral("fw-install-ms"),
                                         QStringLiteral("fw-outcome"),    QStringLiteral("manifest"),
                                         QStringLiteral("manifest-file"), QStringLiteral("clock-offset")};
        if (!keys.contains(key)) {
            m_error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
        QString value;
        if (!isFlag(key)) {
            if (i + 1 >= argc) {
                m_error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            value = QString::fromLocal8Bit(argv[++i]);
        }
        if (key == QLatin1String("manifest")) {
            const int colon = value.lastIndexOf(QLatin1Char(':'));
            bool portOk = false;
            value.mid(colon + 1).toUShort(&portOk);
            if (colon < 1 || !portOk || QHostAddress(value.left(colon)).isNull()) {
                m_error = QStringLiteral("--manifest needs ADDR:PORT, not %1").arg(value);
                return false;
            }
            m_manifestListen = value;
            continue;
        }
        if (key == QLatin1String("manifest-file")) {
            m_manifestFile = value;
            continue;
        }
        if (key == QLatin1String("camera")) {
            CameraSetup setup = defaults;
            if (!parseCamera(value, &setup))
                return false;
            m_cameras.append(setup);
            continue;
        }
        if (!parseCameraKey(key, value, m_cameras.isEmpty() ? &defaults : &m_cameras.last())) {
            if (m_error.startsWith(QLatin1String("unknown camera key")))
                m_error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    if (m_cameras.isEmpty() && m_manifestListen.isEmpty()) {
        m_error = QStringLiteral("no --camera given");
        return false;
    }
    return true;
}

} // namespace q7sim
