#include "SensorModes.h"

namespace q7sim {

QStringList SensorModes::validResolutions()
{
    return {QStringLiteral("1920x1080"), QStringLiteral("1280x1024"), QStringLiteral("1280x720"),
            QStringLiteral("1024x768"),  QStringLiteral("800x600"),   QStringLiteral("640x480"),
            QStringLiteral("320x240"),   QStringLiteral("128x64")};
}

Resolution SensorModes::parse(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    Resolution res;
    if (parts.size() == 2) {
        res.width = parts.at(0).toInt();
        res.height = parts.at(1).toInt();
    }
    return res;
}

bool SensorModes::isOffered(const QString& text)
{
    return validResolutions().contains(text);
}

uint32_t SensorModes::frameClocksMin(const Resolution& res)
{
    const uint64_t pixels = static_cast<uint64_t>(res.width) * static_cast<uint64_t>(res.height);
    const uint64_t clocks = (pixels * ClockHz + 2000000000ULL - 1) / 2000000000ULL;
    return static_cast<uint32_t>(clocks < 200 ? 200 : clocks);
}

} // namespace q7sim
