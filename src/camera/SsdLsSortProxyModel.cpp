#include "SsdLsSortProxyModel.h"

#include "SsdLsEntry.h"

namespace {

int compareNames(const SsdLsEntry* l, const SsdLsEntry* r)
{
    return QString::compare(l->name(), r->name(), Qt::CaseInsensitive);
}

} // namespace

SsdLsSortProxyModel::SsdLsSortProxyModel(QAbstractItemModel* source, QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSourceModel(source);
    sort(0, Qt::AscendingOrder);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &SsdLsSortProxyModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &SsdLsSortProxyModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &SsdLsSortProxyModel::countChanged);
}

void SsdLsSortProxyModel::setSortMode(int sortMode)
{
    if (sortMode == m_sortMode)
        return;
    m_sortMode = sortMode;
    emit sortModeChanged();
    invalidate();
}

QObject* SsdLsSortProxyModel::get(int row) const
{
    return qvariant_cast<QObject*>(data(index(row, 0), Qt::UserRole));
}

SsdLsEntry* SsdLsSortProxyModel::entryAt(const QModelIndex& index) const
{
    return qobject_cast<SsdLsEntry*>(qvariant_cast<QObject*>(sourceModel()->data(index, Qt::UserRole)));
}

bool SsdLsSortProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const SsdLsEntry* l = entryAt(left);
    const SsdLsEntry* r = entryAt(right);
    if (!l || !r)
        return false;
    switch (m_sortMode) {
    case NameSortAscending:
        return compareNames(l, r) < 0;
    case NameSortDescending:
        return compareNames(l, r) > 0;
    case SizeSortAscending:
        return l->size() != r->size() ? l->size() < r->size() : compareNames(l, r) < 0;
    case SizeSortDescending:
        return l->size() != r->size() ? l->size() > r->size() : compareNames(l, r) < 0;
    case DateSortAscending:
        return l->date() != r->date() ? l->date() < r->date() : compareNames(l, r) < 0;
    case DateSortDescending:
        return l->date() != r->date() ? l->date() > r->date() : compareNames(l, r) < 0;
    default:
        // Unsorted: the camera's order.
        return left.row() < right.row();
    }
}
