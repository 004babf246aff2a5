#pragma once

#include "TakeRecord.h"

#include <QJsonObject>

namespace q7sim {

// The part of the camera's settings a take keeps from the start of its
// recording: acq, camera, meta, lens and adjust members.
QJsonObject recordingSettings(const QJsonObject& cameraSettings, double focusDistance);
// The take's document as /takes/take<N> serves it (without the nesting).
QJsonObject takeDocumentBody(const TakeRecord& take);
// Older firmware keeps the year offset under time/, reports its version as a
// number and knows no video format list; applies to state and take documents.
void applyOldFirmwareLayout(QJsonObject& document);

} // namespace q7sim
