#pragma once

#include <QJsonObject>
#include <QString>
#include <cstdint>

namespace q7sim {

// One recording in a memory partition. Frame numbers count from the trigger
// frame (0); frames before the trigger are negative.
struct TakeRecord
{
    int number = 0;
    // The camera's settings when recording started (acq, camera, lens, meta,
    // adjust), the part of the take document that describes the recording.
    QJsonObject settings;
    int64_t firstFr = 0;
    int64_t lastFr = -1;
    int64_t ptFrCnt = 0;   // frames at or after the trigger
    int64_t prtnFrCnt = 0; // frames the partition holds
    int64_t prtnPtCnt = 0; // post-trigger frames the recording was set up for
    int64_t trigTsS = 0;   // trigger time, seconds since 1970 (camera clock)
    int64_t trigTsNs = 0;
    int trigSrc = 0;         // 0 trigger command, 1 trigger input
    int blackReference = -1; // reference the frames were corrected with
    QString name;

    int64_t frameCount() const { return lastFr - firstFr + 1; }
    bool contains(int64_t frame) const { return frame >= firstFr && frame <= lastFr; }
};

} // namespace q7sim
