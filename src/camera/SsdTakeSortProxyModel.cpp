#include "SsdTakeSortProxyModel.h"

#include "SsdTake.h"

SsdTakeSortProxyModel::SsdTakeSortProxyModel(QAbstractItemModel* source, QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSourceModel(source);
    sort(0, Qt::AscendingOrder);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &SsdTakeSortProxyModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &SsdTakeSortProxyModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &SsdTakeSortProxyModel::countChanged);
}

QObject* SsdTakeSortProxyModel::get(int row) const
{
    return qvariant_cast<QObject*>(data(index(row, 0), Qt::UserRole));
}

bool SsdTakeSortProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* l = qobject_cast<SsdTake*>(qvariant_cast<QObject*>(sourceModel()->data(left, Qt::UserRole)));
    const auto* r = qobject_cast<SsdTake*>(qvariant_cast<QObject*>(sourceModel()->data(right, Qt::UserRole)));
    if (!l || !r)
        return false;
    return QString::compare(l->name(), r->name(), Qt::CaseInsensitive) < 0;
}
