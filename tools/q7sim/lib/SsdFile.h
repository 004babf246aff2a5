#pragma once

#include "FrameParams.h"
#include "TakeRecord.h"

#include <QString>
#include <cstdint>

namespace q7sim {

// One take file on the SSD. It keeps the frame params of the memory take it
// was saved from: since FrameSynth makes every frame from those alone, the
// file holds exactly the frames the memory take had, frame numbers included.
struct SsdFile
{
    QString name;     // with its extension
    int64_t size = 0; // bytes
    int64_t time = 0; // when it was written, seconds since 1970 (camera clock)
    TakeRecord take;  // the saved range: first_fr .. last_fr of the memory take
    FrameParams params;
};

} // namespace q7sim
