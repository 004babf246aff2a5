#pragma once

#include "CameraConfig.h"

#include <QJsonObject>

namespace q7sim {

// What a camera reports after power-up: every stored member of its state
// document. The timing members that depend on the resolution are fitted by
// CameraSettings afterwards.
QJsonObject defaultSettings(const CameraConfig& config);

} // namespace q7sim
