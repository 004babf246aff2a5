#include "OpenVornFileModel.h"

#include "VornObject.h"

OpenVornFileModel::OpenVornFileModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &OpenVornFileModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &OpenVornFileModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &OpenVornFileModel::countChanged);
}

bool OpenVornFileModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const auto* object = qvariant_cast<QObject*>(sourceModel()->data(index, Qt::UserRole));
    const auto* vornObject = qobject_cast<const VornObject*>(object);
    return vornObject && vornObject->type() == VornObject::VornFileType;
}
