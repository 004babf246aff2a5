#include "CommandLine.h"

#include <QHostAddress>
#include <QStringList>

namespace q7sim {

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: q7sim [--seed N] [--discovery ADDR] --camera ADDR[,KEY=VALUE...] [--camera ...]\n"
        "\n"
        "Runs simulated Q7 high-speed cameras until interrupted (SIGINT/SIGTERM). Each camera\n"
        "serves the camera HTTP interface (state document, value writes, recording, takes,\n"
        "frame transfer) on port 80 of its own address and binds nothing but the addresses\n"
        "given here. Pictures are synthetic and repeat exactly for the same seed, serial,\n"
        "take and frame number.\n"
        "\n"
        "Options:\n"
        "  --camera ADDR[,KEY=VALUE...]  start a camera on IPv4 address ADDR (repeatable)\n"
        "  --seed N                      picture seed of cameras without seed= (default 1)\n"
        "  --discovery ADDR              answer discovery searches arriving on ADDR, UDP port\n"
        "                                8890, for cameras without discovery= (for example\n"
        "                                0.0.0.0 or the network's broadcast address)\n"
        "  -h, --help                    show this text\n"
        "\n"
        "Camera keys:\n"
        "  cfa=mono|rggb|gbrg|bggr|grbg  sensor colour filter (default rggb; mono: grey)\n"
        "  serial=TEXT, name=TEXT        identity (default serial from the address)\n"
        "  res=WxH                       initial resolution, one of the offered ones:\n"
        "                                1920x1080 1280x1024 1280x720 1024x768 800x600\n"
        "                                640x480 (default) 320x240 128x64\n"
        "  seed=N                        picture seed\n"
        "  port=N                        HTTP port (default 80)\n"
        "  meta-size=N                   metadata bytes per frame, at least 32 (default 32)\n"
        "  memory-mb=N                   frame memory in MiB (default 4096)\n"
        "  bref-slots=N                  black reference slots (default 8)\n"
        "  bref-ms=N                     duration of a black reference (default 400)\n"
        "  old-firmware                  older firmware: time/year_offset, numeric fw_ver,\n"
        "                                no video/valid_format\n"
        "  headers=img|fr|both           frame size headers Img-*, Fr-* or both (default img)\n"
        "  discovery=ADDR                answer discovery searches arriving on ADDR\n"
        "  fault=KIND[:N][@PATH]         switch a fault on from the start (repeatable);\n"
        "                                PATH limits it to paths beginning so. KIND:\n"
        "                                  delay:MS          answer after MS milliseconds\n"
        "                                  error:STATUS      HTTP error, empty body\n"
        "                                  error-json:STATUS HTTP error with {\"error\": ...}\n"
        "                                  malformed         a reply that is not JSON\n"
        "                                  silent            never answer (nor discovery)\n"
        "                                  end-early:N       transfers end after N records\n"
        "                                  drop:N            transfers break off inside record N\n"
        "                                  pieces:BYTES      transfers sent in BYTES-sized pieces\n"
        "\n"
        "Example (in scripts/sandbox, on the camera host):\n"
        "  q7sim --discovery 0.0.0.0 --camera 10.77.0.2,cfa=rggb --camera 10.77.0.3,cfa=mono\n");
}

bool CommandLine::parseFault(const QString& text, Fault* fault)
{
    QString spec = text;
    QString path;
    const int at = spec.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        path = spec.mid(at + 1);
        spec = spec.left(at);
    }
    const QString kind = spec.section(QLatin1Char(':'), 0, 0);
    const QString argument = spec.section(QLatin1Char(':'), 1);
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
    if (key == QLatin1String("cfa")) {
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
    } else if (key == QLatin1String("bref-slots")) {
        c.brefSlots = value.toInt(&ok);
    } else if (key == QLatin1String("bref-ms")) {
        c.brefDurationMs = value.toInt(&ok);
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

bool CommandLine::parseCamera(const QString& text, CameraSetup* setup)
{
    const QStringList parts = text.split(QLatin1Char(','));
    setup->config.address = parts.first();
    if (QHostAddress(setup->config.address).protocol() != QAbstractSocket::IPv4Protocol) {
        m_error = QStringLiteral("not an IPv4 address: %1").arg(setup->config.address);
        return false;
    }
    setup->config.seed = m_seed;
    setup->config.discoveryListen = m_discovery;
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
    QStringList cameraTexts;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        auto next = [&](QString* value) {
            if (i + 1 >= argc) {
                m_error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            *value = QString::fromLocal8Bit(argv[++i]);
            return true;
        };
        QString value;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            m_help = true;
            return true;
        } else if (arg == QLatin1String("--camera")) {
            if (!next(&value))
                return false;
            cameraTexts.append(value);
        } else if (arg == QLatin1String("--seed")) {
            if (!next(&value))
                return false;
            bool ok = false;
            m_seed = value.toULongLong(&ok);
            if (!ok) {
                m_error = QStringLiteral("invalid seed %1").arg(value);
                return false;
            }
        } else if (arg == QLatin1String("--discovery")) {
            if (!next(&value))
                return false;
            m_discovery = value;
        } else {
            m_error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    if (cameraTexts.isEmpty()) {
        m_error = QStringLiteral("no --camera given");
        return false;
    }
    // Defaults apply to every camera wherever they stand on the line.
    for (const QString& text : cameraTexts) {
        CameraSetup setup;
        if (!parseCamera(text, &setup))
            return false;
        m_cameras.append(setup);
    }
    return true;
}

} // namespace q7sim
