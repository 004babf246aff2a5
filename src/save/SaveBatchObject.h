#pragma once

#include "PlaybackVornObject.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// One row of a batch save: a take or VORN file and the range of its frames to
// save, kept inside the source's frames.
class SaveBatchObject : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(PlaybackVornObject* source READ source CONSTANT)
    Q_PROPERTY(qint64 aFr READ aFr WRITE setAFr NOTIFY aFrChanged)
    Q_PROPERTY(qint64 bFr READ bFr WRITE setBFr NOTIFY bFrChanged)

public:
    SaveBatchObject(PlaybackVornObject* source, QObject* parent);

    // Null once the source is gone.
    PlaybackVornObject* source() const { return m_source; }
    qint64 aFr() const { return m_aFr; }
    qint64 bFr() const { return m_bFr; }
    void setAFr(qint64 aFr);
    void setBFr(qint64 bFr);

signals:
    void aFrChanged();
    void bFrChanged();

private:
    qint64 first() const;
    qint64 last() const;

    QPointer<PlaybackVornObject> m_source;
    qint64 m_aFr;
    qint64 m_bFr;
};
