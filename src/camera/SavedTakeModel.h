#pragma once

#include <QSortFilterProxyModel>

// The camera's takes that hold a finished recording, in take order.
class SavedTakeModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit SavedTakeModel(QObject* parent = nullptr);

    int count() const { return rowCount(); }
    Q_INVOKABLE QObject* get(int row) const;

public slots:
    void refilter() { invalidateFilter(); }

signals:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
