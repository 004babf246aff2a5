#pragma once

#include "AbstractTake.h"
#include <QtQml/qqmlregistration.h>

// One partition of the camera's frame memory and the take it holds.
class Take : public AbstractTake
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(bool locked READ locked WRITE setLocked NOTIFY lockedChanged)
    Q_PROPERTY(VornValue* prtnFrCnt READ prtnFrCnt CONSTANT)
    Q_PROPERTY(VornValue* prtnPtFrCnt READ prtnPtFrCnt CONSTANT)

public:
    Take(int takeId, Camera* camera);

    bool active() const { return m_active; }
    void setActive(bool active);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    VornValue* prtnFrCnt() const { return m_prtnFrCnt; }
    VornValue* prtnPtFrCnt() const { return m_prtnPtFrCnt; }

    QString takesPath() const override { return QStringLiteral("/takes"); }
    int xferSource() const override { return 0; }

public slots:
    // Frees the partition; with restartRecord the camera records again.
    void deleteTake(bool restartRecord = false);

signals:
    void activeChanged();
    void lockedChanged();

protected:
    void onOpened() override;
    bool pollNeededOnTick() const override { return m_active; }

private slots:
    // The automatic save onto the camera's SSD of a take that was just
    // recorded, and, once it is written, the next recording if so set.
    void autosaveStart();
    void autosaveFinish();

private:
    bool m_active = false;
    bool m_locked = false;
    VornValue* m_prtnFrCnt;
    VornValue* m_prtnPtFrCnt;
};
