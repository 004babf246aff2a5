#pragma once

#include "Util.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// Base of the frame readers that feed a save: the streaming camera reader and
// the VORN file reader. A reader hands on whole frame records only.
class VornReader : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)

public:
    VornReader(Util::ReqTypes type, QObject* parent = nullptr) : QObject(parent), m_type(type) {}

    Util::ReqTypes type() const { return m_type; }
    QString error() const { return m_error; }

    virtual bool start() = 0;
    virtual void stop() = 0;

signals:
    void errorChanged();
    // `data` holds exactly `dataFrameCnt` whole records; the counters are those
    // after this chunk.
    void readyRead(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);
    // The read ended in a failure; `error` holds the first failure text.
    void readFailed(const QString& error);

protected:
    // Keeps the first failure text only.
    void setError(const QString& text);

private:
    const Util::ReqTypes m_type;
    QString m_error;
};
