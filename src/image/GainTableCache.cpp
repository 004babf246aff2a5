#include "GainTableCache.h"

#include <cmath>
#include <cstring>

std::vector<quint16> GainTableCache::build(double gain)
{
    std::vector<quint16> table(65536);
    for (int i = 0; i < 65536; ++i) {
        const double x = double(i) * gain;
        // A gain that is not a number gives 0.
        table[size_t(i)] = !(x > 0.0) ? 0 : x >= 65535.0 ? 65535 : quint16(std::floor(x + 0.5));
    }
    return table;
}

GainTableCache::Table GainTableCache::table(double gain)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_tables.begin(); it != m_tables.end(); ++it) {
        // Bitwise, so that NaN gains find their table too.
        if (std::memcmp(&it->first, &gain, sizeof gain) == 0) {
            auto entry = *it;
            m_tables.erase(it);
            m_tables.push_back(entry);
            return entry.second;
        }
    }
    lock.unlock();
    // Built outside the lock: another thread may build the same table at the
    // same time, which costs only time.
    Table made = std::make_shared<const std::vector<quint16>>(build(gain));
    lock.relock();
    if (int(m_tables.size()) >= capacity)
        m_tables.erase(m_tables.begin());
    m_tables.emplace_back(gain, made);
    return made;
}
