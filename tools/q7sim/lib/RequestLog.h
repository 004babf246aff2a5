#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <mutex>

namespace q7sim {

// One request as the camera received it.
struct RecordedRequest
{
    QString method;
    QString path;
    QList<QPair<QByteArray, QByteArray>> headers; // names as sent
    QByteArray body;

    QByteArray header(const QByteArray& name) const;
};

// Every request a camera received, in arrival order, for tests that check
// exactly what the program sent.
class RequestLog
{
public:
    void append(const RecordedRequest& request);
    QList<RecordedRequest> all() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QList<RecordedRequest> m_requests;
};

} // namespace q7sim
