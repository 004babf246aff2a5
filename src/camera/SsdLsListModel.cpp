#include "SsdLsListModel.h"

SsdLsListModel::SsdLsListModel(QObject* parent) : QQmlObjectListModel<SsdLsEntry>(parent) {}

int SsdLsListModel::selectedCount() const
{
    int count = 0;
    for (SsdLsEntry* entry : *this)
        count += entry->selected();
    return count;
}

void SsdLsListModel::appendEntry(SsdLsEntry* entry)
{
    append(entry);
    connect(entry, &SsdLsEntry::entrySelected, this, [this, entry](bool multi) {
        if (!multi) {
            for (SsdLsEntry* other : *this)
                if (other->entryId() != entry->entryId())
                    other->unselect();
        }
        emit selectedCountChanged();
    });
    connect(entry, &SsdLsEntry::entryUnselected, this, &SsdLsListModel::selectedCountChanged);
}
