#include "CameraConfig.h"

#include <QHostAddress>

namespace q7sim {

QString CameraConfig::effectiveSerial() const
{
    if (!serial.isEmpty())
        return serial;
    // Cameras at 127.0.0.2 and 10.77.0.2 must still differ: use the whole address.
    const quint32 ip = QHostAddress(address).toIPv4Address();
    return QStringLiteral("Q7S%1").arg(ip % 100000, 5, 10, QLatin1Char('0'));
}

QString CameraConfig::effectiveName() const
{
    return name.isEmpty() ? QStringLiteral("Q7 ") + effectiveSerial() : name;
}

} // namespace q7sim
