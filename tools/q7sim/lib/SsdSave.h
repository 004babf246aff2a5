#pragma once

#include "SsdFile.h"

namespace q7sim {

// One save onto the SSD, queued on the camera until it is written. Saves are
// numbered; ssd/wr_seq is the number of the last one written, so a client
// knows its own save is being written when wr_seq is one below its number.
struct SsdSave
{
    int64_t seq = 0;
    int memoryTake = 0;      // the take in frame memory it copies
    bool deleteTake = false; // "del_take": delete the memory take once written
    bool written = false;    // set when it ends: written, or dropped
    SsdFile file;
};

} // namespace q7sim
