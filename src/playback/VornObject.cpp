#include "VornObject.h"

#include "VornValue.h"

#include <QRandomGenerator>

VornObject::VornObject(Type type, QObject* parent, const QString& nameSuffix) : QObject(parent), m_type(type)
{
    setObjectName(randomName(nameSuffix));
}

void VornObject::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    emit selectedChanged();
}

QString VornObject::randomName(const QString& suffix)
{
    return QString::number(QRandomGenerator::global()->generate64(), 16).toUpper() + suffix;
}

QJsonValue VornObject::lookup(const QStringList& keyPath, const QJsonObject& object)
{
    if (keyPath.isEmpty())
        return QJsonValue(QJsonValue::Undefined);
    const QJsonValue member = object.value(keyPath.first());
    if (keyPath.size() == 1)
        return member;
    if (!member.isObject())
        return QJsonValue();
    return lookup(keyPath.mid(1), member.toObject());
}

void VornObject::loadValues(const QJsonObject& document)
{
    for (VornValue* value : std::as_const(m_values)) {
        QJsonValue found = lookup(value->key(), document);
        if (found.isNull() || found.isUndefined())
            found = lookup(value->altKey(), document);
        if (!found.isNull() && !found.isUndefined())
            value->setJsonValue(found);
    }
}

static void insertAt(QJsonObject& object, const QStringList& keyPath, const QJsonValue& value)
{
    if (keyPath.size() == 1) {
        object.insert(keyPath.first(), value);
        return;
    }
    QJsonObject child = object.value(keyPath.first()).toObject();
    insertAt(child, keyPath.mid(1), value);
    object.insert(keyPath.first(), child);
}

QJsonObject VornObject::valuesToJson() const
{
    QJsonObject document;
    for (const VornValue* value : m_values) {
        if (!value->key().isEmpty())
            insertAt(document, value->key(), value->toJsonValue());
    }
    return document;
}
