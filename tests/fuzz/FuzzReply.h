#pragma once

#include "FuzzSupport.h"

// A reply whose head and body come from the fuzz input. Like a reply of Qt's
// HTTP stack it delivers asynchronously: the head, then the body in chunks
// (readyRead each), then the end, each step from the event loop; an HTTP
// error status or a transport failure ends it with the error Qt would set.
class FuzzReply : public QNetworkReply
{
public:
    FuzzReply(QNetworkAccessManager::Operation op, const QNetworkRequest& request, const Fuzz::Answer& answer,
              QObject* parent);

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    void step();
    void end(NetworkError error, const QString& text);

    const Fuzz::Answer m_answer;
    QByteArray m_buffer;
    qint64 m_delivered = 0;
    bool m_headSent = false;
};
