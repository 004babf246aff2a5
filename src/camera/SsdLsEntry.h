#pragma once

#include <QDateTime>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// One file of the camera's SSD listing, as the open dialog shows it.
class SsdLsEntry : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int entryId READ entryId CONSTANT)
    Q_PROPERTY(bool selected READ selected NOTIFY selectedChanged)
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(qint64 size READ size CONSTANT)
    Q_PROPERTY(QDateTime date READ date CONSTANT)
    Q_PROPERTY(QString dateStr READ dateStr CONSTANT)
    Q_PROPERTY(bool oldFW READ oldFW CONSTANT)

public:
    // `time` in seconds since 1970; older firmware lists bare names only.
    SsdLsEntry(int entryId, const QString& name, qint64 size, qint64 time, bool oldFW, QObject* parent);

    int entryId() const { return m_entryId; }
    bool selected() const { return m_selected; }
    QString name() const { return m_name; }
    qint64 size() const { return m_size; }
    QDateTime date() const { return m_date; }
    QString dateStr() const { return m_date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }
    bool oldFW() const { return m_oldFW; }

    // A plain click selects this entry alone (multi false); Ctrl or Shift
    // add it to the others (multi true).
    Q_INVOKABLE void select(bool multi);
    Q_INVOKABLE void unselect();

signals:
    void selectedChanged();
    void entrySelected(bool multi);
    void entryUnselected();

private:
    const int m_entryId;
    bool m_selected = false;
    const QString m_name;
    const qint64 m_size;
    const QDateTime m_date;
    const bool m_oldFW;
};
