#include "FuzzReply.h"

namespace {

// The error Qt's HTTP stack reports for a status of 400 and above.
QNetworkReply::NetworkError statusError(int status)
{
    static const QHash<int, QNetworkReply::NetworkError> known{
        {400, QNetworkReply::ProtocolInvalidOperationError},
        {401, QNetworkReply::AuthenticationRequiredError},
        {403, QNetworkReply::ContentAccessDenied},
        {404, QNetworkReply::ContentNotFoundError},
        {405, QNetworkReply::ContentOperationNotPermittedError},
        {409, QNetworkReply::ContentConflictError},
        {410, QNetworkReply::ContentGoneError},
        {500, QNetworkReply::InternalServerError},
        {501, QNetworkReply::OperationNotImplementedError},
        {503, QNetworkReply::ServiceUnavailableError}};
    if (status < 400)
        return QNetworkReply::NoError;
    return known.value(status, status >= 500 ? QNetworkReply::UnknownServerError
                                             : QNetworkReply::UnknownContentError);
}

} // namespace

FuzzReply::FuzzReply(QNetworkAccessManager::Operation op, const QNetworkRequest& request,
                     const Fuzz::Answer& answer, QObject* parent)
    : QNetworkReply(parent), m_answer(answer)
{
    setOperation(op);
    setRequest(request);
    setUrl(request.url());
    open(QIODevice::ReadOnly);
    QMetaObject::invokeMethod(this, &FuzzReply::step, Qt::QueuedConnection);
}

void FuzzReply::step()
{
    if (isFinished())
        return;
    if (!m_headSent) {
        m_headSent = true;
        if (!m_answer.transportError || m_answer.status) {
            setAttribute(QNetworkRequest::HttpStatusCodeAttribute, m_answer.status);
            for (const auto& [name, value] : m_answer.headers)
                setRawHeader(name, value);
            emit metaDataChanged();
        }
    } else if (m_delivered < m_answer.body.size()) {
        const qint64 left = m_answer.body.size() - m_delivered;
        const qint64 n = m_answer.chunk > 0 ? qMin(m_answer.chunk, left) : left;
        m_buffer.append(m_answer.body.constData() + m_delivered, n);
        m_delivered += n;
        emit readyRead();
    } else if (m_answer.transportError) {
        end(NetworkError(m_answer.transportError), QStringLiteral("transport failure"));
        return;
    } else {
        end(statusError(m_answer.status), QStringLiteral("HTTP %1").arg(m_answer.status));
        return;
    }
    // A reply deleted meanwhile takes its queued step with it.
    QMetaObject::invokeMethod(this, &FuzzReply::step, Qt::QueuedConnection);
}

void FuzzReply::end(NetworkError error, const QString& text)
{
    if (error != NoError) {
        setError(error, text);
        emit errorOccurred(error);
    }
    setFinished(true);
    emit finished();
}

void FuzzReply::abort()
{
    if (isFinished())
        return;
    m_buffer.clear();
    close();
    end(OperationCanceledError, QStringLiteral("Operation canceled"));
}

qint64 FuzzReply::bytesAvailable() const
{
    return m_buffer.size() + QNetworkReply::bytesAvailable();
}

qint64 FuzzReply::readData(char* data, qint64 maxSize)
{
    const qint64 n = qMin<qint64>(maxSize, m_buffer.size());
    if (n == 0)
        return isFinished() ? -1 : 0;
    memcpy(data, m_buffer.constData(), size_t(n));
    m_buffer.remove(0, n);
    return n;
}
