#pragma once

#include "Fault.h"

#include <mutex>
#include <vector>

namespace q7sim {

// The faults a camera currently shows; shared by its server threads.
class FaultPlan
{
public:
    void add(const Fault& fault);
    void clear();
    // The faults that apply to one request, used up as they apply.
    std::vector<Fault> take(const QString& method, const QString& path);
    // Whether a request of this method and path still hangs.
    bool hangs(const QString& method, const QString& path) const;
    // Whether the camera currently hangs on every request (it then ignores
    // discovery as well).
    bool silent() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Fault> m_faults;
};

} // namespace q7sim
