#pragma once

#include "VornValue.h"

class QTimer;

// A value read from a VORN file header. Local edits mark it dirty; the file
// itself is not rewritten.
class VornFileValue : public VornValue
{
    Q_OBJECT
    Q_PROPERTY(QVariant value READ value WRITE setValueProperty NOTIFY valueChanged)

public:
    VornFileValue(const QStringList& key, int type, QObject* parent, QVariant* storage = nullptr,
                  const QStringList& altKey = QStringList{QString()});

    bool dirty() const { return m_dirty; }

public slots:
    void setValue(const QVariant& value, bool quiet = false) override;
    bool setRemoteValue(const QVariant& value) override;
    void writeVornFileValue();

signals:
    void valueChangedRemote();

private:
    void setValueProperty(const QVariant& value) { setValue(value, false); }

    bool m_dirty = false;
    QTimer* m_writeTimer;
};
