#pragma once

#include <QJsonValue>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// One observable value of a camera, take, VORN file or image adjustment model,
// mirrored from (and for some kinds sent back to) a JSON document at a key
// path. The type code decides how JSON members convert and how the value is
// written back as text.
class VornValue : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QVariant value READ value WRITE setValueProperty NOTIFY valueChanged)
    Q_PROPERTY(int type READ valueType CONSTANT)

public:
    enum Type {
        Bool = 1,
        Int = 2,
        UInt = 3,
        Double = 6,
        String = 10,
        Variant = 41,
        HexU64 = 65536,
    };
    Q_ENUM(Type)

    VornValue(const QStringList& key, int type, QObject* parent = nullptr, QVariant* storage = nullptr,
              const QStringList& altKey = QStringList{QString()});
    ~VornValue() override;

    const QStringList& key() const { return m_key; }
    const QStringList& altKey() const { return m_altKey; }
    int valueType() const { return m_valueType; }
    QVariant value() const { return *m_storage; }

    // The value's text as it is sent to a camera: "true"/"false", decimal,
    // fixed with 6 decimals, or quoted text (JSON-escaped).
    QByteArray valueText() const;

    // The value converted for a JSON document (VORN file headers).
    QJsonValue toJsonValue() const;

    // Converts a JSON member by the type code (wrong kinds give the
    // conversion's default).
    QVariant fromJson(const QJsonValue& value) const;

public slots:
    // A change made by this program (QML or C++).
    virtual void setValue(const QVariant& value, bool quiet = false);
    // A change from a JSON document.
    virtual bool setJsonValue(const QJsonValue& value);
    // Stores a value from outside; returns whether it changed.
    virtual bool setRemoteValue(const QVariant& value);

signals:
    void valueChangedLocal(VornValue* vornValue);
    void valueChanged();

protected:
    // Converts to the type code and stores; emits valueChanged() and returns
    // true when the stored value changed.
    bool store(const QVariant& value);

private:
    void setValueProperty(const QVariant& value) { setValue(value, false); }

    QStringList m_key;
    QVariant* m_storage;
    bool m_ownsStorage;
    int m_valueType;
    QStringList m_altKey;
};
