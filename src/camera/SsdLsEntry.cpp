#include "SsdLsEntry.h"

SsdLsEntry::SsdLsEntry(int entryId, const QString& name, qint64 size, qint64 time, bool oldFW,
                       QObject* parent)
    : QObject(parent), m_entryId(entryId), m_name(name), m_size(size),
      m_date(QDateTime::fromSecsSinceEpoch(time)), m_oldFW(oldFW)
{
}

void SsdLsEntry::select(bool multi)
{
    if (m_selected)
        return;
    m_selected = true;
    emit selectedChanged();
    emit entrySelected(multi);
}

void SsdLsEntry::unselect()
{
    if (!m_selected)
        return;
    m_selected = false;
    emit selectedChanged();
    emit entryUnselected();
}
