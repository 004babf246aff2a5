#include "VornObject.h"

#include <QRandomGenerator>

VornObject::VornObject(Type type, QObject* parent) : QObject(parent), m_type(type)
{
    setObjectName(randomName(QString()));
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
