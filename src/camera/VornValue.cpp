#include "VornValue.h"

#include "JsonText.h"

namespace {

int knownType(int type)
{
    switch (type) {
    case VornValue::Bool:
    case VornValue::Int:
    case VornValue::UInt:
    case VornValue::Double:
    case VornValue::String:
    case VornValue::HexU64:
    case VornValue::Variant:
        return type;
    default:
        return VornValue::Variant;
    }
}

QVariant convert(const QVariant& value, int type)
{
    switch (type) {
    case VornValue::Double:
        return value.toDouble();
    case VornValue::Bool:
        return value.toBool();
    case VornValue::Int:
        return value.toInt();
    case VornValue::UInt:
        return value.toUInt();
    case VornValue::String:
        return value.toString();
    case VornValue::HexU64:
        // Cameras write these as hexadecimal text; a number is already one.
        if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
            return value.toString().toULongLong(nullptr, 16);
        return value.toULongLong();
    default:
        return value;
    }
}

} // namespace

VornValue::VornValue(const QStringList& key, int type, QObject* parent, QVariant* storage,
                     const QStringList& altKey)
    : QObject(parent), m_key(key), m_storage(storage ? storage : new QVariant), m_ownsStorage(!storage),
      m_valueType(knownType(type)), m_altKey(altKey)
{
}

VornValue::~VornValue()
{
    if (m_ownsStorage)
        delete m_storage;
}

QVariant VornValue::fromJson(const QJsonValue& value) const
{
    switch (m_valueType) {
    case Bool:
        return value.toBool(false);
    case Int:
        return value.toInt(0);
    case UInt:
        return uint(value.toInteger(0));
    case Double:
        return value.toDouble(0.0);
    case String:
        return value.toString();
    case HexU64:
        // Kept as text: store() reads it as a hexadecimal number, once.
        return value.toString();
    default:
        return value.toVariant();
    }
}

bool VornValue::store(const QVariant& value)
{
    if (value == *m_storage)
        return false;
    // Also compare after conversion: "1a" read into a HexU64 value holding 26
    // is no change, and must not signal one at every poll.
    const QVariant converted = convert(value, m_valueType);
    if (converted == *m_storage && converted.typeId() == m_storage->typeId())
        return false;
    *m_storage = converted;
    emit valueChanged();
    return true;
}

void VornValue::setValue(const QVariant& value, bool quiet)
{
    if (store(value) && !quiet)
        emit valueChangedLocal(this);
}

bool VornValue::setJsonValue(const QJsonValue& value)
{
    return setRemoteValue(fromJson(value));
}

bool VornValue::setRemoteValue(const QVariant& value)
{
    return store(value);
}

QByteArray VornValue::valueText() const
{
    switch (m_valueType) {
    case Bool:
        return m_storage->toBool() ? "true" : "false";
    case Int:
        return QByteArray::number(m_storage->toInt());
    case UInt:
        return QByteArray::number(m_storage->toUInt());
    case Double:
        return QByteArray::number(m_storage->toDouble(), 'f', 6);
    case String:
        return JsonText::quoted(m_storage->toString());
    case HexU64:
        return '"' + QByteArray::number(m_storage->toULongLong()) + '"';
    default:
        return m_storage->toString().toUtf8();
    }
}

QJsonValue VornValue::toJsonValue() const
{
    return QJsonValue::fromVariant(*m_storage);
}
