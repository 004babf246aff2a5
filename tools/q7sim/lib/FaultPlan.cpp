#include "FaultPlan.h"

namespace q7sim {

void FaultPlan::add(const Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(fault);
}

void FaultPlan::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

std::vector<Fault> FaultPlan::take(const QString& method, const QString& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Fault> applying;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        if (!it->matches(method, path)) {
            ++it;
            continue;
        }
        applying.push_back(*it);
        // A hanging camera stays hung until the fault is cleared.
        if (it->kind != Fault::NoAnswer && it->remaining > 0 && --it->remaining == 0)
            it = m_faults.erase(it);
        else
            ++it;
    }
    return applying;
}

bool FaultPlan::hangs(const QString& method, const QString& path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Fault& f : m_faults)
        if (f.kind == Fault::NoAnswer && f.matches(method, path))
            return true;
    return false;
}

bool FaultPlan::silent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Fault& f : m_faults)
        if (f.kind == Fault::NoAnswer && (f.pathPrefix.isEmpty() || f.pathPrefix == QLatin1String("/")))
            return true;
    return false;
}

} // namespace q7sim
