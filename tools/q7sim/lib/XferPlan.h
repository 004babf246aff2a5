#pragma once

#include "FrameParams.h"

namespace q7sim {

// What one /xfer request sends: `count` records of `params` from frame `start`.
struct XferPlan
{
    FrameParams params;
    int64_t start = 0;
    int64_t count = 1;
    int type = 3;
    int lockTake = 0; // take held locked while the transfer runs (0: none)

    int recordSize() const;
};

} // namespace q7sim
