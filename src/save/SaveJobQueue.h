#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class SaveJob;
Q_MOC_INCLUDE("SaveJob.h")

// The saves of one camera: one job runs at a time, the others wait in order.
// A job that cannot start is skipped and the next one starts at once.
class SaveJobQueue : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(SaveJob* activeSaveJob READ activeSaveJob NOTIFY activeSaveJobChanged)

public:
    explicit SaveJobQueue(QObject* parent = nullptr) : QObject(parent) {}
    ~SaveJobQueue() override;

    SaveJob* activeSaveJob() const;
    const QList<SaveJob*>& waiting() const { return m_waiting; }

    void enqueue(SaveJob* job);
    // Takes a waiting job out of the queue; nothing when it does not wait.
    void remove(SaveJob* job);

signals:
    void activeSaveJobChanged();

private slots:
    void finishSaveJob();

private:
    void startSaveJob(SaveJob* job);
    void startQueuedSaveJob();
    void setActiveSaveJob(SaveJob* job);

    QList<SaveJob*> m_waiting;
    QPointer<SaveJob> m_activeSaveJob;
};
