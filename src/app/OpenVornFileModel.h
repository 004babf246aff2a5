#pragma once

#include <QSortFilterProxyModel>

// The open VORN files among the application's selectable objects.
class OpenVornFileModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit OpenVornFileModel(QObject* parent = nullptr);

    int count() const { return rowCount(); }

signals:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
