#include "XferPlan.h"

#include "FrameSynth.h"

namespace q7sim {

int XferPlan::recordSize() const
{
    return FrameSynth::recordSize(params, type);
}

} // namespace q7sim
