#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace q7sim {

struct Resolution
{
    int width = 0;
    int height = 0;
    QString text() const { return QStringLiteral("%1x%2").arg(width).arg(height); }
    bool isValid() const { return width > 0 && height > 0; }
};

// The sensor's read-out modes and the timing limits that follow from them.
class SensorModes
{
public:
    static constexpr uint32_t ClockHz = 100000000;          // the acquisition clock
    static constexpr uint32_t FrameClocksMax = 4000000;     // slowest frame: 25 fps
    static constexpr uint32_t ExposureOverheadClocks = 200; // read-out gap between exposures
    static constexpr int ExposureGridOffset = 3;
    static constexpr int ExposureGridStep = 10;
    static constexpr int ExposureClocksMin = 43;

    // Every resolution the camera offers, largest first.
    static QStringList validResolutions();
    static Resolution parse(const QString& text);
    static bool isOffered(const QString& text);
    // Shortest frame period at a resolution: the sensor reads about two
    // gigapixels a second, and no frame is shorter than 2 microseconds.
    static uint32_t frameClocksMin(const Resolution& res);
};

} // namespace q7sim
