#pragma once

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

// The camera's open SSD takes by file name, as their tabs list them.
class SsdTakeSortProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit SsdTakeSortProxyModel(QAbstractItemModel* source, QObject* parent = nullptr);

    int count() const { return rowCount(); }
    Q_INVOKABLE QObject* get(int row) const;

signals:
    void countChanged();

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};
