#include "RequestLog.h"

namespace q7sim {

QByteArray RecordedRequest::header(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

void RequestLog::append(const RecordedRequest& request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.append(request);
}

QList<RecordedRequest> RequestLog::all() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void RequestLog::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

} // namespace q7sim
