#include "SavedTakeModel.h"

#include "AbstractTake.h"

SavedTakeModel::SavedTakeModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &SavedTakeModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &SavedTakeModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &SavedTakeModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &SavedTakeModel::countChanged);
}

bool SavedTakeModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const auto* take =
        qobject_cast<const AbstractTake*>(qvariant_cast<QObject*>(sourceModel()->data(index, Qt::UserRole)));
    return take && take->savedOpened();
}

QObject* SavedTakeModel::get(int row) const
{
    return qvariant_cast<QObject*>(data(index(row, 0), Qt::UserRole));
}
