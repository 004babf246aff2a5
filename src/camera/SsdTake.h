#pragma once

#include "AbstractTake.h"
#include <QtQml/qqmlregistration.h>

// A take file on the camera's SSD that the camera has open under a take
// number: it plays like a memory take, its frames read from the SSD.
class SsdTake : public AbstractTake
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QString name READ name CONSTANT)

public:
    SsdTake(int takeId, const QString& name, Camera* camera);

    QString name() const { return m_name; }
    // The number of camera polls sent when the camera opened the file for
    // the program: the answers to those may still list the camera without it.
    quint64 openedAfterPoll() const { return m_openedAfterPoll; }
    void setOpenedAfterPoll(quint64 polls) { m_openedAfterPoll = polls; }
    QString takesPath() const override { return QStringLiteral("/ssd/takes"); }
    int xferSource() const override { return 2; }

public slots:
    // Asks the camera to close the file; the next poll removes the take.
    void fclose();

signals:
    void fcloseFinished();

protected:
    void onOpened() override {}
    // An open file does not change: it is read only while it is shown.
    bool pollNeededOnTick() const override { return false; }

private slots:
    void fcloseHandleFinished();

private:
    const QString m_name;
    quint64 m_openedAfterPoll = 0;
};
